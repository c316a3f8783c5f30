#include "FileReading.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
    using CommonUtilities::ReadFileBytes;
    using CommonUtilities::ReadFileText;

    TEST(FileReading, ReadsEveryByteOfFilesOfAnySize)
    {
        const TestSupport::TemporaryFolder folder;
        // Empty, with zero bytes inside, and larger than any stream or read buffer.
        std::string large(3 * 1024 * 1024 + 17, '\0');
        for (std::size_t index = 0; index < large.size(); ++index)
        {
            large[index] = static_cast<char>(index * 131 % 256);
        }
        for (const std::string& content : {std::string(), std::string("a\0b\r\n\xff", 6), large})
        {
            const auto path = folder.Write("file.bin", content);
            const auto text = ReadFileText(path);
            ASSERT_TRUE(text.has_value()) << content.size();
            EXPECT_EQ(*text, content);
            const auto bytes = ReadFileBytes(path);
            ASSERT_TRUE(bytes.has_value()) << content.size();
            EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content);
        }
    }

    TEST(FileReading, PipesAreReadToTheirEnd)
    {
        const TestSupport::TemporaryFolder folder;
        const std::filesystem::path path = folder.Path() / "pipe";
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        // More than one read of a pipe returns, written in pieces.
        const std::string content(200 * 1024 + 3, 'p');
        std::thread writer([&] {
            const int pipe = open(path.c_str(), O_WRONLY);
            for (std::size_t at = 0; at < content.size(); at += 4096)
            {
                const std::size_t length = std::min<std::size_t>(4096, content.size() - at);
                EXPECT_EQ(write(pipe, content.data() + at, length), static_cast<ssize_t>(length));
            }
            close(pipe);
        });
        const auto text = ReadFileText(path);
        writer.join();
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->size(), content.size());
        EXPECT_EQ(*text, content);
    }

    TEST(FileReading, MissingFilesAndFoldersGiveNothing)
    {
        const TestSupport::TemporaryFolder folder;
        EXPECT_FALSE(ReadFileBytes(folder.Path() / "missing").has_value());
        EXPECT_FALSE(ReadFileText(folder.Path() / "missing").has_value());
        EXPECT_FALSE(ReadFileBytes(folder.Path()).has_value());
        EXPECT_FALSE(ReadFileText(folder.Path()).has_value());
    }
}
