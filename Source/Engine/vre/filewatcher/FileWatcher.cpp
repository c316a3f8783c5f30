#include "filewatcher/FileWatcher.h"

#include <algorithm>
#include <system_error>

namespace Vra
{
    namespace
    {
        // Callers may spell a path the Windows way; the file system here only knows '/'.
        std::filesystem::path FileSystemPath(std::string aPath)
        {
            std::replace(aPath.begin(), aPath.end(), '\\', '/');
            return std::filesystem::path(aPath);
        }

        // A file that cannot be read (deleted, renamed away) reads as time 0, which counts as a change.
        std::filesystem::file_time_type LastWriteTimeOrZero(const std::filesystem::path& aPath)
        {
            std::error_code error;
            const auto time = std::filesystem::last_write_time(aPath, error);
            return error ? std::filesystem::file_time_type{} : time;
        }
    }

    FileWatcher::FileWatcher(FeatureQuery anIsEnabled)
        : myIsEnabled(std::move(anIsEnabled))
    {
    }

    FileWatcher::~FileWatcher()
    {
        myStopRequested = true;
        if (myThread.joinable())
        {
            myThread.join();
        }
    }

    std::string FileWatcher::CallbackKey(std::string aPath)
    {
        std::replace(aPath.begin(), aPath.end(), '\\', '#');
        std::replace(aPath.begin(), aPath.end(), '/', '#');
        return aPath;
    }

    bool FileWatcher::IsEnabled() const
    {
        return myIsEnabled && myIsEnabled();
    }

    bool FileWatcher::WatchFileChange(std::string aPath, Callback aCallback)
    {
        if (!IsEnabled())
        {
            return false;
        }
        const std::filesystem::path path = FileSystemPath(aPath);
        std::error_code error;
        if (!std::filesystem::exists(path, error))
        {
            return false;
        }
        // Read the time before registering, so a file that vanishes in between registers nothing.
        const auto lastWrite = std::filesystem::last_write_time(path, error);
        if (error)
        {
            return false;
        }
        {
            std::lock_guard lock(myCallbackMutex);
            myCallbacks[CallbackKey(aPath)].push_back(std::move(aCallback));
        }
        // Always under the watch mutex: two loading tasks may make the first request at once.
        std::lock_guard lock(myWatchMutex);
        myWatchedFiles.insert_or_assign(path, lastWrite);
        if (!myThreadStarted.load())
        {
            myThread = std::thread([this] { Poll(); });
            myThreadStarted = true;
        }
        return true;
    }

    void FileWatcher::Poll()
    {
        while (!myStopRequested.load())
        {
            {
                // Queue before watch, the order every thread keeps.
                std::lock_guard queueLock(myQueueMutex);
                std::lock_guard watchLock(myWatchMutex);
                for (auto& [path, storedTime] : myWatchedFiles)
                {
                    const auto currentTime = LastWriteTimeOrZero(path);
                    if (currentTime == storedTime)
                    {
                        continue;
                    }
                    if (std::find(myChangedQueue.begin(), myChangedQueue.end(), path) == myChangedQueue.end())
                    {
                        myChangedQueue.push_back(path);
                    }
                    storedTime = currentTime;
                }
            }
            std::this_thread::sleep_until(std::chrono::steady_clock::now() + POLL_INTERVAL);
        }
        myThreadFinished = true;
    }

    void FileWatcher::FlushChanges()
    {
        if (!IsEnabled() || !myThreadStarted.load())
        {
            return;
        }
        std::lock_guard queueLock(myQueueMutex);
        std::swap(myChangedQueue, myWorkList);
        for (const std::filesystem::path& path : myWorkList)
        {
            std::vector<Callback> callbacks;
            {
                std::lock_guard lock(myCallbackMutex);
                const auto found = myCallbacks.find(CallbackKey(path.string()));
                if (found != myCallbacks.end())
                {
                    callbacks = found->second;
                }
            }
            for (const Callback& callback : callbacks)
            {
                callback();
            }
        }
        myWorkList.clear();
    }
}
