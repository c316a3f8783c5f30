#pragma once
#include "Synth.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ContentTool
{
    // How one sound file of the pack is made, by the path the sound table gives it.
    struct SoundRecipe
    {
        std::string myFile;
        std::function<AudioBuffer()> myMake;
    };
    const std::vector<SoundRecipe>& SoundRecipes();

    // Synthesises every file the sound table names, under aWorkingFolder (the table's paths are
    // relative to the game's working folder); then writes aStamp, one path a line. Throws when
    // the table names a file no recipe makes.
    void WriteSoundPack(const std::filesystem::path& aWorkingFolder, const std::filesystem::path& aSoundTable, const std::filesystem::path& aStamp);
}
