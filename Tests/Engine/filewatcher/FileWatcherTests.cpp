#include "filewatcher/FileWatcher.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace
{
    namespace fs = std::filesystem;
    using namespace std::chrono_literals;

    // Long enough for the watcher to finish a round that started after the change.
    constexpr auto SETTLE = Vra::FileWatcher::POLL_INTERVAL * 5;

    class FileWatcherTest : public testing::Test
    {
    protected:
        void SetUp() override { fs::create_directories(myFolder / "sub"); }

        fs::path MakeFile(const std::string& aName)
        {
            const fs::path path = myFolder / aName;
            std::ofstream(path) << "first";
            return path;
        }

        // A save whose time differs from every earlier one, whatever the file system's resolution.
        void Save(const fs::path& aPath)
        {
            std::ofstream(aPath) << "saved " << ++mySaves;
            fs::last_write_time(aPath, fs::file_time_type::clock::now() + std::chrono::seconds(mySaves));
        }

        TestSupport::TemporaryFolder myTemporaryFolder;
        const fs::path myFolder = myTemporaryFolder.Path();
        int mySaves = 0;
    };

    Vra::FileWatcher::FeatureQuery FeatureOn()
    {
        return [] { return true; };
    }

    TEST_F(FileWatcherTest, TwoSavesBeforeAFlushRunTheCallbacksOnce)
    {
        const fs::path file = MakeFile("a.dds");
        Vra::FileWatcher watcher(FeatureOn());
        int calls = 0;
        ASSERT_TRUE(watcher.WatchFileChange(file.string(), [&] { ++calls; }));
        EXPECT_TRUE(watcher.IsThreadStarted());

        Save(file);
        Save(file);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 1);

        // Seen in two different rounds, the path is still queued only once.
        Save(file);
        std::this_thread::sleep_for(SETTLE);
        Save(file);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 2);

        watcher.FlushChanges();
        EXPECT_EQ(calls, 2);
    }

    TEST_F(FileWatcherTest, NothingRunsWithoutAChange)
    {
        const fs::path file = MakeFile("a.dds");
        Vra::FileWatcher watcher(FeatureOn());
        int calls = 0;
        ASSERT_TRUE(watcher.WatchFileChange(file.string(), [&] { ++calls; }));
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 0);
    }

    TEST_F(FileWatcherTest, SlashesAndBackslashesMeetUnderOneKey)
    {
        const fs::path file = MakeFile("sub/a.dds");
        std::string backslashed = file.string();
        std::replace(backslashed.begin(), backslashed.end(), '/', '\\');

        Vra::FileWatcher watcher(FeatureOn());
        std::string calls;
        ASSERT_TRUE(watcher.WatchFileChange(file.string(), [&] { calls += "slash "; }));
        ASSERT_TRUE(watcher.WatchFileChange(backslashed, [&] { calls += "backslash"; }));

        Save(file);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, "slash backslash");
    }

    TEST(FileWatcherKey, ReplacesEverySeparator)
    {
        const std::pair<std::string, std::string> cases[] = {
            {"Sprites/a.dds", "Sprites#a.dds"},
            {"Sprites\\a.dds", "Sprites#a.dds"},
            {"C:\\assets/Sprites\\\\a.dds", "C:#assets#Sprites##a.dds"},
            {"a.dds", "a.dds"},
        };
        for (const auto& [path, key] : cases)
        {
            EXPECT_EQ(Vra::FileWatcher::CallbackKey(path), key) << path;
        }
    }

    TEST_F(FileWatcherTest, FeatureOffWatchesNothingAndStartsNoThread)
    {
        const fs::path file = MakeFile("a.dds");
        Vra::FileWatcher watcher([] { return false; });
        int calls = 0;
        EXPECT_FALSE(watcher.WatchFileChange(file.string(), [&] { ++calls; }));
        EXPECT_FALSE(watcher.IsThreadStarted());
        Save(file);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 0);
    }

    TEST_F(FileWatcherTest, MissingFileWatchesNothingAndStartsNoThread)
    {
        Vra::FileWatcher watcher(FeatureOn());
        EXPECT_FALSE(watcher.WatchFileChange((myFolder / "missing.dds").string(), [] {}));
        EXPECT_FALSE(watcher.IsThreadStarted());
    }

    TEST_F(FileWatcherTest, DeletedFileCountsAsOneChangeAndAgainWhenItReturns)
    {
        const fs::path file = MakeFile("a.dds");
        Vra::FileWatcher watcher(FeatureOn());
        int calls = 0;
        ASSERT_TRUE(watcher.WatchFileChange(file.string(), [&] { ++calls; }));

        fs::remove(file);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 1);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 1);

        Save(file);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls, 2);
    }

    TEST_F(FileWatcherTest, CallbackMayWatchAnotherFile)
    {
        const fs::path first = MakeFile("a.dds");
        const fs::path second = MakeFile("b.dds");
        Vra::FileWatcher watcher(FeatureOn());
        int secondCalls = 0;
        bool registered = false;
        ASSERT_TRUE(watcher.WatchFileChange(first.string(), [&] {
            registered = watcher.WatchFileChange(second.string(), [&] { ++secondCalls; });
        }));

        Save(first);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        ASSERT_TRUE(registered);

        Save(second);
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(secondCalls, 1);
    }

    TEST_F(FileWatcherTest, ShutdownReturnsWithinOneRound)
    {
        const fs::path file = MakeFile("a.dds");
        auto watcher = std::make_unique<Vra::FileWatcher>(FeatureOn());
        ASSERT_TRUE(watcher->WatchFileChange(file.string(), [] {}));
        std::this_thread::sleep_for(Vra::FileWatcher::POLL_INTERVAL / 2);

        const auto start = std::chrono::steady_clock::now();
        watcher.reset();
        const auto took = std::chrono::steady_clock::now() - start;
        // One sleep of the thread plus scheduling slack on a busy machine.
        EXPECT_LT(took, Vra::FileWatcher::POLL_INTERVAL * 3);
    }

    TEST_F(FileWatcherTest, RegistrationsFromTwoThreadsWhileTheMainThreadFlushes)
    {
        constexpr int FILES_PER_THREAD = 20;
        std::vector<fs::path> files;
        for (int i = 0; i < FILES_PER_THREAD * 2; ++i)
        {
            files.push_back(MakeFile("f" + std::to_string(i)));
        }
        Vra::FileWatcher watcher(FeatureOn());
        std::atomic<int> calls = 0;
        auto registerRange = [&](int aFirst) {
            for (int i = aFirst; i < aFirst + FILES_PER_THREAD; ++i)
            {
                EXPECT_TRUE(watcher.WatchFileChange(files[i].string(), [&] { ++calls; }));
            }
        };
        std::thread loaderA(registerRange, 0);
        std::thread loaderB(registerRange, FILES_PER_THREAD);
        for (int i = 0; i < 50; ++i)
        {
            watcher.FlushChanges();
        }
        loaderA.join();
        loaderB.join();

        for (const fs::path& file : files)
        {
            Save(file);
        }
        std::this_thread::sleep_for(SETTLE);
        watcher.FlushChanges();
        EXPECT_EQ(calls.load(), FILES_PER_THREAD * 2);
    }
}
