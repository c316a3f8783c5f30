#pragma once
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Vra
{
    // Polls the last-write times of registered files on a thread of its own and runs the
    // callbacks of the files that changed when the main thread flushes.
    class FileWatcher
    {
    public:
        using Callback = std::function<void()>;
        // Asked on every request: the watcher only works while the engine's file-watcher
        // debug feature is on.
        using FeatureQuery = std::function<bool()>;

        static constexpr std::chrono::milliseconds POLL_INTERVAL{32};

        explicit FileWatcher(FeatureQuery anIsEnabled);
        ~FileWatcher();
        FileWatcher(const FileWatcher&) = delete;
        FileWatcher& operator=(const FileWatcher&) = delete;

        // True when the file is watched; the first successful request starts the thread.
        // Safe from any thread.
        bool WatchFileChange(std::string aPath, Callback aCallback);

        // Runs the callbacks of every file seen changed since the last flush. Main thread only;
        // a callback may watch further files but must not flush.
        void FlushChanges();

        bool IsThreadStarted() const { return myThreadStarted.load(); }

        // Both spellings of a path meet under one key: every slash and backslash becomes '#'.
        static std::string CallbackKey(std::string aPath);

    private:
        using Clock = std::filesystem::file_time_type;

        void Poll();
        bool IsEnabled() const;

        FeatureQuery myIsEnabled;
        std::thread myThread;
        std::map<std::string, std::vector<Callback>> myCallbacks;
        std::vector<std::filesystem::path> myChangedQueue;
        std::vector<std::filesystem::path> myWorkList;
        std::map<std::filesystem::path, Clock> myWatchedFiles;
        std::mutex myQueueMutex;
        std::mutex myWatchMutex;
        // Registrations may come from a loading task while the main thread flushes.
        std::mutex myCallbackMutex;
        std::atomic<bool> myStopRequested = false;
        std::atomic<bool> myThreadFinished = false;
        std::atomic<bool> myThreadStarted = false;
    };
}
