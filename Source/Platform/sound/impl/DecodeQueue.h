#pragma once
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace Platform::Sound
{
    class Sound;
}

namespace Platform::Sound::impl
{
    class SoundFile;
    struct SampleData;

    // Decodes sound files on a few threads of its own, first in, first out, so sounds become
    // ready in the order they were made. A decode is named by its sound; what waits for one
    // or cancels it never reads the sound itself.
    class DecodeQueue
    {
    public:
        // min(4, usable cores - 1) threads, at least one.
        static int DefaultThreadCount();

        explicit DecodeQueue(int aThreadCount);
        // Cancels what has not finished and joins the threads.
        ~DecodeQueue();
        DecodeQueue(const DecodeQueue&) = delete;
        DecodeQueue& operator=(const DecodeQueue&) = delete;

        // Queues the decode of aFile into someSamples; both stay untouched by the caller until
        // Wait or Cancel for aSound returns.
        void Submit(const Sound* aSound, std::unique_ptr<SoundFile> aFile, SampleData& someSamples);
        // Returns once aSound's samples are complete (at once for a sound with no decode). A
        // decode that no thread has started yet runs on the caller's thread instead of waiting
        // for its turn.
        void Wait(const Sound* aSound);
        // Stops aSound's decode at its next block and waits for it; the samples hold what was
        // decoded so far, or one silent frame.
        void Cancel(const Sound* aSound);

    private:
        struct Job;

        // Waits for aSound's decode, first cancelling it when aCancel is set.
        void Finish(const Sound* aSound, bool aCancel);
        void RunThread();
        // Runs aJob with the lock released, then drops it and wakes the waiters.
        void Run(Job& aJob, std::unique_lock<std::mutex>& aLock);
        void Unqueue(const Job& aJob);

        std::mutex myMutex;
        std::condition_variable myWork;
        std::condition_variable myFinished;
        std::deque<Job*> myQueue;
        std::unordered_map<const Sound*, std::unique_ptr<Job>> myJobs; // queued or running
        bool myIsStopping = false;
        std::vector<std::thread> myThreads;
    };
}
