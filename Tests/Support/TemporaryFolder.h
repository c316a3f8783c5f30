#pragma once
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace TestSupport
{
    // A fresh folder under the system's temporary folder, removed with everything in it.
    class TemporaryFolder
    {
    public:
        TemporaryFolder()
        {
            static std::atomic<int> counter = 0;
            myPath = std::filesystem::temp_directory_path() /
                     ("vra_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
            std::filesystem::remove_all(myPath);
            std::filesystem::create_directories(myPath);
        }
        ~TemporaryFolder()
        {
            std::error_code error;
            std::filesystem::remove_all(myPath, error);
        }
        TemporaryFolder(const TemporaryFolder&) = delete;
        TemporaryFolder& operator=(const TemporaryFolder&) = delete;

        const std::filesystem::path& Path() const { return myPath; }

        // Writes aContent to aRelativePath, making the folders on the way; returns the full path.
        std::filesystem::path Write(const std::filesystem::path& aRelativePath, std::string_view aContent = {}) const
        {
            const std::filesystem::path path = myPath / aRelativePath;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream file(path, std::ios::binary);
            file.write(aContent.data(), static_cast<std::streamsize>(aContent.size()));
            return path;
        }

    private:
        std::filesystem::path myPath;
    };
}
