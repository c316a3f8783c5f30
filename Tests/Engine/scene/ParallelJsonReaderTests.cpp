#include "../properties/JsonErrorExpectations.h"

#include "TemporaryFolder.h"

#include "scene/JsonReading.h"
#include "scene/ParallelJsonReader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;

namespace
{
    // More files than the readers may run ahead of the owner, so that they wait for it.
    constexpr int FILE_COUNT = static_cast<int>(Vra::impl::ParallelJsonReader::WINDOW) * 3 / 2;
    constexpr int MISSING_AT = 100;
    constexpr int MALFORMED_AT = 300;

    std::string NameOf(int anIndex)
    {
        char name[16];
        std::snprintf(name, sizeof(name), "f%04d", anIndex);
        return name;
    }

    // The files are written once for every thread count.
    class ParallelJsonReaderTest : public testing::TestWithParam<unsigned>
    {
    protected:
        static void SetUpTestSuite()
        {
            theFolder = new TestSupport::TemporaryFolder();
            for (int i = 0; i < FILE_COUNT; ++i)
            {
                theNames.push_back(NameOf(i));
                if (i == MALFORMED_AT)
                {
                    theFolder->Write(NameOf(i), R"({"i": )");
                }
                else if (i != MISSING_AT)
                {
                    theFolder->Write(NameOf(i), R"({"i": )" + std::to_string(i) + "}");
                }
            }
        }

        static void TearDownTestSuite()
        {
            delete theFolder;
            theFolder = nullptr;
            theNames.clear();
        }

        static inline TestSupport::TemporaryFolder* theFolder = nullptr;
        static inline std::vector<std::string> theNames;
    };

    TEST_P(ParallelJsonReaderTest, HandsEveryFileBackInListOrderWithItsOwnOutcome)
    {
        Vra::impl::ParallelJsonReader reader(theFolder->Path(), theNames, GetParam());
        for (int i = 0; i < FILE_COUNT; ++i)
        {
            SCOPED_TRACE(i);
            if (i == MALFORMED_AT)
            {
                EXPECT_TRUE(RaisesJsonError([&] { reader.TakeNext(); },
                                            {101, "parse error at line 1, column 7: syntax error while parsing value - unexpected end of "
                                                  "input; expected '[', '{', or a literal"}));
                continue;
            }
            const nlohmann::json* root = reader.TakeNext();
            if (i == MISSING_AT)
            {
                EXPECT_EQ(root, nullptr);
                continue;
            }
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(root->at("i").get<int>(), i);
            // A slow owner now and then lets the other threads fill the window and wait.
            if (i % 251 == 0)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }

    TEST_P(ParallelJsonReaderTest, StopsCleanlyWhenTheOwnerLeavesEarly)
    {
        Vra::impl::ParallelJsonReader reader(theFolder->Path(), theNames, GetParam());
        for (int i = 0; i < 10; ++i)
        {
            ASSERT_EQ(reader.TakeNext()->at("i").get<int>(), i);
        }
        // Long enough for the other threads to fill the window and wait for the owner, who must
        // wake them to stop rather than hang.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    INSTANTIATE_TEST_SUITE_P(ThreadCounts, ParallelJsonReaderTest, testing::Values(1u, 2u, 3u, 8u));

    TEST(ParallelJsonReader, StartsNoMoreThreadsThanFiles)
    {
        TestSupport::TemporaryFolder folder;
        folder.Write("only", "{}");
        Vra::impl::ParallelJsonReader reader(folder.Path(), {"only"}, 8);
        EXPECT_EQ(reader.GetThreadCount(), 1u);
        EXPECT_EQ(*reader.TakeNext(), nlohmann::json::object());
    }

    TEST(ChooseReaderThreadCount, OnePerSixtyFourFilesWithinTheUsableProcessorsAndEight)
    {
        cpu_set_t processors;
        CPU_ZERO(&processors);
        ASSERT_EQ(::sched_getaffinity(0, sizeof(processors), &processors), 0);
        const unsigned usable = static_cast<unsigned>(CPU_COUNT(&processors));
        EXPECT_EQ(Vra::impl::ChooseReaderThreadCount(0), 1u);
        EXPECT_EQ(Vra::impl::ChooseReaderThreadCount(127), 1u);
        EXPECT_EQ(Vra::impl::ChooseReaderThreadCount(3 * 64), std::min(3u, usable));
        EXPECT_EQ(Vra::impl::ChooseReaderThreadCount(1u << 20), std::min(8u, usable));
    }

    TEST(ReadWholeFileInto, ReadsFilesAroundAndPastTheFirstBufferIntoOneReusedBuffer)
    {
        TestSupport::TemporaryFolder folder;
        const int handle = ::open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(handle, 0);
        std::string buffer;
        // Largest first, so that each later file lands in a buffer holding more than it.
        for (const std::size_t size : {300000u, 65537u, 65536u, 65535u, 1u, 0u})
        {
            SCOPED_TRACE(size);
            std::string content(size, '\0');
            for (std::size_t i = 0; i < size; ++i)
            {
                content[i] = static_cast<char>('a' + (i * 7 + size) % 26);
            }
            const std::string name = "file" + std::to_string(size);
            const std::filesystem::path path = folder.Write(name, content);

            const std::optional<std::size_t> read = Vra::impl::ReadWholeFileInto(handle, name.c_str(), buffer);
            ASSERT_TRUE(read.has_value());
            ASSERT_EQ(*read, size);
            EXPECT_EQ(buffer.compare(0, size, content), 0);
            EXPECT_EQ(Vra::impl::ReadWholeFile(path), content);
        }
        ::close(handle);
    }

    TEST(ReadWholeFileInto, AMissingFileGivesNothingAndLeavesTheBufferAndAFolderGivesNothing)
    {
        TestSupport::TemporaryFolder folder;
        std::string buffer = "kept";
        EXPECT_FALSE(Vra::impl::ReadWholeFileInto(-1, (folder.Path() / "missing").c_str(), buffer).has_value());
        EXPECT_EQ(buffer, "kept");
        EXPECT_FALSE(Vra::impl::ReadWholeFileInto(-1, folder.Path().c_str(), buffer).has_value());
    }
}
