#pragma once
#include "SoundFiles.h"
#include "TemporaryFolder.h"

#include "audio/AudioManager.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace GameTestSupport
{
    // The game's audio manager with a sound table of the test's own: every named group plays one
    // silent sound of its own name, long enough to stay live through the test (the mixer plays in
    // real time, and frames of a loaded machine are slow).
    class AudioProbe
    {
    public:
        explicit AudioProbe(std::initializer_list<const char*> someGroups)
        {
            std::string sounds;
            std::string groups;
            for (const char* group : someGroups)
            {
                const std::filesystem::path file = myFolder.Path() / (std::string(group) + ".wav");
                SoundFiles::Write(file, SoundFiles::Silence(48000 * 60));
                sounds += std::string(sounds.empty() ? "" : ",") + "{\"name\":\"" + group + "\",\"file\":\"" + file.string() + "\"}";
                groups += std::string(groups.empty() ? "" : ",") + "\"" + group + "\":[\"" + group + "\"]";
            }
            const std::filesystem::path table =
                myFolder.Write("LoadSounds.json", "{\"sounds\":[" + sounds + "],\"Player\":{\"Sounds\":{" + groups + "}}}");
            AudioManager& audio = AudioManager::GetInstance();
            audio.Init();
            audio.LoadSounds(table.string());
            audio.LoadSoundGroups(table.string());
            audio.StopAll();
            for (const char* group : someGroups)
            {
                myBaseCounts.push_back(audio.GetChannels(group).size());
                myNames.push_back(group);
            }
        }

        // Plays of the group since the probe was made.
        std::size_t Plays(const std::string& aGroup) const
        {
            for (std::size_t index = 0; index < myNames.size(); ++index)
            {
                if (myNames[index] == aGroup)
                {
                    return AudioManager::GetInstance().GetChannels(aGroup).size() - myBaseCounts[index];
                }
            }
            return 0;
        }
        float Volume(const std::string& aGroup) const { return AudioManager::GetInstance().GetVolume(aGroup); }

    private:
        TestSupport::TemporaryFolder myFolder;
        std::vector<std::string> myNames;
        std::vector<std::size_t> myBaseCounts;
    };
}
