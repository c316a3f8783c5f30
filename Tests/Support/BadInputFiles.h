#pragma once
#include "FileBytes.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// Damaged files that a loader once mishandled, kept as seeds of the fuzz corpora
// (Tests/fuzz/corpus/<target>/<name>, written by Tools/fuzz/make_fuzz_corpus.py).
namespace BadInputFiles
{
    inline std::filesystem::path Path(const std::string& aTarget, const std::string& aName)
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const std::filesystem::path tests = source ? std::filesystem::path(source) / "Tests"
                                                   : std::filesystem::path(__FILE__).parent_path().parent_path();
        return tests / "fuzz" / "corpus" / aTarget / aName;
    }

    inline std::string Read(const std::string& aTarget, const std::string& aName)
    {
        return TestSupport::ReadFileBytes(Path(aTarget, aName));
    }
}
