#pragma once
#include <filesystem>

// The videos Tools/video/make_test_videos.sh writes at build time into <build>/tests/fixtures/video.
namespace VideoTestFiles
{
    // Found from the running program, which lies in <build>/tests or <build>/bench.
    inline std::filesystem::path Folder()
    {
        return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "tests" / "fixtures" / "video";
    }

    inline std::filesystem::path File(const char* aName)
    {
        return Folder() / aName;
    }
}
