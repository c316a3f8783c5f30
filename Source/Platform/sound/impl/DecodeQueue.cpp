#include "sound/impl/DecodeQueue.h"

#include "sound/impl/Mixer.h"
#include "sound/impl/SoundFileReader.h"
#include "window/SystemServices.h"

#include <algorithm>
#include <atomic>


namespace Platform::Sound::impl
{
    struct DecodeQueue::Job
    {
        const Sound* mySound = nullptr;
        std::unique_ptr<SoundFile> myFile;
        SampleData* mySamples = nullptr;
        std::atomic<bool> myIsCancelled{false};
        bool myIsStarted = false;
    };

    int DecodeQueue::DefaultThreadCount()
    {
        return std::clamp(GetUsableProcessorCount() - 1, 1, 4);
    }

    DecodeQueue::DecodeQueue(int aThreadCount)
    {
        const int count = std::max(aThreadCount, 1);
        myThreads.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
        {
            myThreads.emplace_back([this] { RunThread(); });
        }
    }

    DecodeQueue::~DecodeQueue()
    {
        {
            std::unique_lock<std::mutex> lock(myMutex);
            myIsStopping = true;
            for (auto& [sound, job] : myJobs)
            {
                job->myIsCancelled.store(true, std::memory_order_relaxed);
            }
            // Never started: each gives its silent frame here, at once.
            while (!myQueue.empty())
            {
                Job& job = *myQueue.front();
                myQueue.pop_front();
                job.myIsStarted = true;
                Run(job, lock);
            }
            myWork.notify_all();
            myFinished.wait(lock, [this] { return myJobs.empty(); });
        }
        for (std::thread& thread : myThreads)
        {
            thread.join();
        }
    }

    void DecodeQueue::Submit(const Sound* aSound, std::unique_ptr<SoundFile> aFile, SampleData& someSamples)
    {
        auto job = std::make_unique<Job>();
        job->mySound = aSound;
        job->myFile = std::move(aFile);
        job->mySamples = &someSamples;
        const std::lock_guard<std::mutex> lock(myMutex);
        myQueue.push_back(job.get());
        myJobs[aSound] = std::move(job);
        myWork.notify_one();
    }

    void DecodeQueue::Wait(const Sound* aSound)
    {
        Finish(aSound, false);
    }

    void DecodeQueue::Cancel(const Sound* aSound)
    {
        Finish(aSound, true);
    }

    void DecodeQueue::Finish(const Sound* aSound, bool aCancel)
    {
        std::unique_lock<std::mutex> lock(myMutex);
        const auto found = myJobs.find(aSound);
        if (found == myJobs.end())
        {
            return;
        }
        Job& job = *found->second;
        if (aCancel)
        {
            job.myIsCancelled.store(true, std::memory_order_relaxed);
        }
        if (!job.myIsStarted)
        {
            Unqueue(job);
            job.myIsStarted = true;
            Run(job, lock);
            return;
        }
        myFinished.wait(lock, [this, aSound] { return myJobs.count(aSound) == 0; });
    }

    void DecodeQueue::RunThread()
    {
        std::unique_lock<std::mutex> lock(myMutex);
        while (true)
        {
            myWork.wait(lock, [this] { return myIsStopping || !myQueue.empty(); });
            if (myQueue.empty())
            {
                return;
            }
            Job& job = *myQueue.front();
            myQueue.pop_front();
            job.myIsStarted = true;
            Run(job, lock);
        }
    }

    void DecodeQueue::Run(Job& aJob, std::unique_lock<std::mutex>& aLock)
    {
        aLock.unlock();
        aJob.myFile->Decode(*aJob.mySamples, aJob.myIsCancelled);
        aJob.myFile.reset();
        aLock.lock();
        // Published under the lock: whoever finds the job gone sees the finished samples.
        myJobs.erase(aJob.mySound);
        myFinished.notify_all();
    }

    void DecodeQueue::Unqueue(const Job& aJob)
    {
        myQueue.erase(std::find(myQueue.begin(), myQueue.end(), &aJob));
    }
}
