#include "FileReading.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CommonUtilities
{
    namespace
    {
        constexpr std::size_t UNSIZED_CHUNK = 64 * 1024;

        class FileHandle
        {
        public:
            explicit FileHandle(const std::filesystem::path& aPath) : myDescriptor(::open(aPath.c_str(), O_RDONLY | O_CLOEXEC)) {}
            FileHandle(const FileHandle&) = delete;
            FileHandle& operator=(const FileHandle&) = delete;
            ~FileHandle()
            {
                if (myDescriptor >= 0)
                {
                    ::close(myDescriptor);
                }
            }
            int Get() const { return myDescriptor; }

        private:
            int myDescriptor;
        };

        template <typename Container>
        std::optional<Container> ReadWhole(const std::filesystem::path& aPath)
        {
            const FileHandle file(aPath);
            struct stat status{};
            if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || S_ISDIR(status.st_mode))
            {
                return std::nullopt;
            }
            // A regular file is read to the size it has; a pipe, a device or an empty file (which
            // may still be generated as it is read) until its end.
            const bool isSized = S_ISREG(status.st_mode) && status.st_size > 0;
            Container content;
            content.resize(isSized ? static_cast<std::size_t>(status.st_size) : UNSIZED_CHUNK);
            std::size_t done = 0;
            while (done < content.size())
            {
                const ssize_t got = ::read(file.Get(), content.data() + done, content.size() - done);
                if (got < 0 && errno == EINTR)
                {
                    continue;
                }
                if (got < 0)
                {
                    return std::nullopt;
                }
                if (got == 0)
                {
                    break;
                }
                done += static_cast<std::size_t>(got);
                if (!isSized && done == content.size())
                {
                    content.resize(content.size() * 2);
                }
            }
            content.resize(done);
            return content;
        }
    }

    std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& aPath)
    {
        return ReadWhole<std::vector<std::uint8_t>>(aPath);
    }

    std::optional<std::string> ReadFileText(const std::filesystem::path& aPath)
    {
        return ReadWhole<std::string>(aPath);
    }
}
