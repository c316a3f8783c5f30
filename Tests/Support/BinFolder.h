#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace TestSupport
{
    // The build's executable folder (<build>/bin), which CTest hands every test as VRA_BIN_DIR:
    // the cooked shaders, the fonts and the generated engine textures lie below it. A test started
    // without it fails with this message instead of reading files from wherever it runs.
    inline std::filesystem::path BinFolder()
    {
        const char* folder = std::getenv("VRA_BIN_DIR");
        if (folder == nullptr || *folder == '\0')
        {
            ADD_FAILURE() << "VRA_BIN_DIR is not set: it names the build's bin folder with the cooked shaders "
                             "(CTest sets it; to run a test executable by hand, export VRA_BIN_DIR=<build>/bin)";
            return {};
        }
        return folder;
    }
}
