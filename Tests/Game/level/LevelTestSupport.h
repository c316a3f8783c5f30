#pragma once
#include "LevelFolder.h"

#include "EngineTestSupport.h"
#include "ModelTestFiles.h"
#include "SoundFiles.h"

#include "audio/AudioManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace LevelTestSupport
{
    // The game's audio manager with one short sound for each of the names, every name a group
    // of itself, so that the channels kept under a name count its plays.
    inline void LoadTestSounds(const fs::path& aFolder, const std::vector<std::string>& someNames)
    {
        static const bool isInitialised = [] {
            AudioManager::GetInstance().Init();
            return true;
        }();
        (void)isInitialised;
        const fs::path sound = aFolder / "sounds" / "beep.wav";
        SoundFiles::Write(sound, SoundFiles::Tone(4800, 440.0f));
        nlohmann::json sounds = nlohmann::json::array();
        nlohmann::json groups = nlohmann::json::object();
        for (const std::string& name : someNames)
        {
            sounds.push_back({ { "name", name }, { "file", sound.string() } });
            groups[name] = { name };
        }
        std::ofstream(aFolder / "sounds" / "sounds.json") << nlohmann::json{ { "sounds", sounds } }.dump();
        std::ofstream(aFolder / "sounds" / "groups.json") << nlohmann::json{ { "Player", { { "Sounds", groups } } } }.dump();
        AudioManager::GetInstance().StopAll();
        AudioManager::GetInstance().LoadSounds((aFolder / "sounds" / "sounds.json").string());
        AudioManager::GetInstance().LoadSoundGroups((aFolder / "sounds" / "groups.json").string());
    }

    inline std::size_t PlayCount(const std::string& aName)
    {
        return AudioManager::GetInstance().GetChannels(aName).size();
    }

    // The engine started headless, its game asset folder empty but for the test box model and
    // the sprites the level asks for.
    class LevelTest : public EngineTestSupport::EngineTest
    {
    protected:
        LevelTest() : EngineTest(160, 90) {}

        void SetUp() override
        {
            EngineTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            ModelTestFiles::CopyModel("box.fbx", GameFolder() / "models");
            WriteDds(GameFolder() / "Sprites" / "A_checkpointBreak.dds", 64, 32);
            WriteDds(GameFolder() / "sprites" / "rock.dds", 8, 8);
        }

        fs::path GameFolder() const { return myFolder.GetRoot() / "game"; }

        LevelFolder MakeLevel(const std::string& aName) const
        {
            LevelFolder folder(GameFolder(), aName);
            DefineCommon(folder);
            return folder;
        }
    };
}
