// libFuzzer target: any bytes as the sound table, settings/LoadSounds.json, read by the audio
// manager's Init twice (as a table read again), then every group it names played and a block
// mixed into memory. The JSON library's exceptions are how the manager refuses a table; anything
// else escaping is a fault. The table's sounds are looked for beside it: sounds/short.wav and
// sounds/loop.wav exist there.
#include "FuzzSupport.h"

#include "InputHandler.h"
#include "audio/AudioManager.h"
#include "sound/System.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

namespace
{
    // A 16-bit mono WAV of aFrames frames of a tone at 48 kHz.
    std::vector<std::uint8_t> Wave(std::uint32_t aFrames)
    {
        std::vector<std::uint8_t> bytes;
        const auto put = [&](std::uint32_t aValue, int aSize) {
            for (int index = 0; index < aSize; ++index)
            {
                bytes.push_back(static_cast<std::uint8_t>(aValue >> (8 * index)));
            }
        };
        const std::uint32_t data = 2 * aFrames;
        bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
        put(36 + data, 4);
        bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put(16, 4);
        put(1, 2);
        put(1, 2);
        put(48000, 4);
        put(96000, 4);
        put(2, 2);
        put(16, 2);
        bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
        put(data, 4);
        for (std::uint32_t frame = 0; frame < aFrames; ++frame)
        {
            put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000.0 * std::sin(frame * 0.1))), 2);
        }
        return bytes;
    }

    void UseSoundFolder()
    {
        const std::filesystem::path& folder = FuzzSupport::Folder();
        for (const auto& [name, frames] : {std::pair<const char*, std::uint32_t>{"sounds/short.wav", 480}, {"sounds/loop.wav", 4800}})
        {
            const std::vector<std::uint8_t> wave = Wave(frames);
            FuzzSupport::WriteFile(folder / name, wave.data(), wave.size());
        }
        if (chdir(folder.c_str()) != 0)
        {
            std::abort();
        }
    }

    // The group names the table gives, as the game would ask for them.
    std::vector<std::string> GroupNames(const uint8_t* someData, size_t aSize)
    {
        std::vector<std::string> names;
        const nlohmann::json root = nlohmann::json::parse(someData, someData + aSize, nullptr, false);
        if (root.is_object() && root.contains("Player") && root["Player"].is_object() && root["Player"].contains("Sounds"))
        {
            for (const auto& [name, members] : root["Player"]["Sounds"].items())
            {
                names.push_back(name);
            }
        }
        return names;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static const bool placed = (UseSoundFolder(), true);
    (void)placed;
    FuzzSupport::WriteFile(FuzzSupport::Folder() / "settings" / "LoadSounds.json", someData, aSize);
    AudioManager manager(Platform::Sound::OutputType::Memory);
    for (int reading = 0; reading < 2; ++reading)
    {
        try
        {
            manager.Init();
        }
        catch (const nlohmann::json::exception&)
        {
        }
    }
    for (const std::string& name : GroupNames(someData, aSize))
    {
        manager.Play(name, true, 1.0f);
    }
    if (Platform::Sound::System* const system = manager.GetSoundSystem())
    {
        std::vector<float> mix(2 * 256);
        (void)system->Render(mix.data(), 256);
    }
    CommonUtilities::InputHandler input;
    manager.Update(input, 1.0f / 60.0f);
    return 0;
}
