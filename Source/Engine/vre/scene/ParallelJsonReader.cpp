#include "scene/ParallelJsonReader.h"

#include "Assert.h"
#include "scene/JsonReading.h"
#include "window/SystemServices.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <new>
#include <system_error>

namespace Vra::impl
{
    namespace
    {
        constexpr std::size_t FILES_PER_THREAD = 64;
        constexpr std::size_t MAX_THREAD_COUNT = 8;
        // The window moves on in steps: waking the threads that wait for it per file would cost the
        // owner a system call per file, and wake them for nothing.
        constexpr std::uint32_t WAKE_EVERY = ParallelJsonReader::WINDOW / 8;

        int OpenFolder(const std::filesystem::path& aFolder)
        {
            // Names opened relative to the folder spare the system a walk of the whole path per file.
            return ::open(aFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
    }

    unsigned ChooseReaderThreadCount(std::size_t aFileCount)
    {
        const std::size_t byFiles = std::max<std::size_t>(aFileCount / FILES_PER_THREAD, 1);
        return static_cast<unsigned>(std::min({byFiles, static_cast<std::size_t>(Platform::GetUsableProcessorCount()), MAX_THREAD_COUNT}));
    }

    ParallelJsonReader::ParallelJsonReader(const std::filesystem::path& aFolder, std::vector<std::string> someNames, unsigned aThreadCount)
        : myFolder(aFolder), myFolderHandle(OpenFolder(aFolder)), myNames(std::move(someNames)),
          myCount(static_cast<std::uint32_t>(myNames.size())), mySlots(std::make_unique<Slot[]>(myNames.size()))
    {
        CU_ASSERT(myNames.size() == myCount);
        // Never more threads than files, the owner's among them.
        const std::size_t threads = std::min<std::size_t>(std::max(aThreadCount, 1u), myCount);
        for (std::size_t index = 1; index < threads; ++index)
        {
            try
            {
                myThreads.emplace_back(&ParallelJsonReader::RunReader, this);
            }
            catch (const std::system_error&)
            {
                // With fewer threads than asked the owner's thread still reads whatever is left.
                break;
            }
        }
    }

    ParallelJsonReader::~ParallelJsonReader()
    {
        myIsStopping.store(true);
        myWindowMoves.fetch_add(1);
        myWindowMoves.notify_all();
        for (std::thread& thread : myThreads)
        {
            thread.join();
        }
        if (myFolderHandle >= 0)
        {
            ::close(myFolderHandle);
        }
    }

    const nlohmann::json* ParallelJsonReader::TakeNext()
    {
        ReturnTaken();
        const std::uint32_t index = myNextTake.load(std::memory_order_relaxed);
        CU_ASSERT(index < myCount);
        if (mySlots[index].myState.load(std::memory_order_acquire) != SLOT_DONE)
        {
            AwaitOrSteal(index);
        }
        else
        {
            myTaken = &mySlots[index];
        }

        myNextTake.store(index + 1, std::memory_order_release);
        if ((index + 1) % WAKE_EVERY == 0)
        {
            myWindowMoves.fetch_add(1, std::memory_order_release);
            myWindowMoves.notify_all();
        }
        if (myTaken->myError)
        {
            std::rethrow_exception(myTaken->myError);
        }
        return myTaken->myRoot ? &*myTaken->myRoot : nullptr;
    }

    void ParallelJsonReader::ReturnTaken()
    {
        if (!myTaken)
        {
            return;
        }
        if (myTaken == &myStolen || myTaken->myIsReadByOwner)
        {
            myTaken->myRoot.reset();
            myTaken->myError = nullptr;
        }
        else
        {
            myTaken->myState.store(SLOT_RETURNED, std::memory_order_release);
        }
        myTaken = nullptr;
    }

    void ParallelJsonReader::AwaitOrSteal(std::uint32_t anIndex)
    {
        Slot& slot = mySlots[anIndex];
        // Reading ahead beats waiting; the awaited file itself is claimed here if nobody has it.
        while (slot.myState.load(std::memory_order_acquire) != SLOT_DONE)
        {
            const std::uint32_t claimed = myNextClaim.fetch_add(1);
            if (claimed >= myCount)
            {
                break;
            }
            mySlots[claimed].myIsReadByOwner = true;
            ReadInto(claimed, mySlots[claimed], myOwnerBuffer);
            Finish(mySlots[claimed]);
        }
        // Every file is claimed by now, so only the last few can still be on other threads.
        const auto giveUp = std::chrono::steady_clock::now() + STEAL_AFTER;
        while (slot.myState.load(std::memory_order_acquire) != SLOT_DONE && std::chrono::steady_clock::now() < giveUp)
        {
            std::this_thread::yield();
        }
        if (slot.myState.load(std::memory_order_acquire) == SLOT_DONE ||
            slot.myState.exchange(SLOT_ABANDONED, std::memory_order_acq_rel) == SLOT_DONE)
        {
            myTaken = &slot;
            return;
        }
        // The thread reading it has most likely lost its processor: reading the file again costs
        // less than waiting, and that thread drops its copy when it comes back.
        ReadInto(anIndex, myStolen, myOwnerBuffer);
        myTaken = &myStolen;
    }

    void ParallelJsonReader::RunReader()
    {
        std::string buffer;
        // The files this thread read, oldest first: the owner returns them in that order.
        std::deque<std::uint32_t> lent;
        const auto freeReturned = [&] {
            while (!lent.empty() && mySlots[lent.front()].myState.load(std::memory_order_acquire) == SLOT_RETURNED)
            {
                Slot& slot = mySlots[lent.front()];
                slot.myRoot.reset();
                slot.myError = nullptr;
                lent.pop_front();
            }
        };
        while (!myIsStopping.load(std::memory_order_relaxed))
        {
            freeReturned();
            const std::uint32_t claimed = myNextClaim.fetch_add(1);
            if (claimed >= myCount)
            {
                return;
            }
            for (std::uint32_t moves = myWindowMoves.load(std::memory_order_acquire);
                 claimed >= myNextTake.load(std::memory_order_acquire) + WINDOW; moves = myWindowMoves.load(std::memory_order_acquire))
            {
                if (myIsStopping.load())
                {
                    return;
                }
                freeReturned();
                myWindowMoves.wait(moves);
            }
            if (myIsStopping.load())
            {
                return;
            }
            ReadInto(claimed, mySlots[claimed], buffer);
            if (!Finish(mySlots[claimed]))
            {
                continue;
            }
            try
            {
                lent.push_back(claimed);
            }
            catch (const std::bad_alloc&)
            {
                // Freed with the reader instead.
            }
        }
    }

    void ParallelJsonReader::ReadInto(std::uint32_t anIndex, Slot& aSlot, std::string& aBuffer) const
    {
        try
        {
            const std::string& name = myNames[anIndex];
            const std::optional<std::size_t> size = myFolderHandle >= 0 ? ReadWholeFileInto(myFolderHandle, name.c_str(), aBuffer)
                                                                        : ReadWholeFileInto(-1, (myFolder / name).c_str(), aBuffer);
            if (size)
            {
                aSlot.myRoot = nlohmann::json::parse(aBuffer.data(), aBuffer.data() + *size);
            }
        }
        catch (...)
        {
            aSlot.myRoot.reset();
            aSlot.myError = std::current_exception();
        }
    }

    bool ParallelJsonReader::Finish(Slot& aSlot)
    {
        if (aSlot.myState.exchange(SLOT_DONE, std::memory_order_acq_rel) == SLOT_ABANDONED)
        {
            aSlot.myRoot.reset();
            aSlot.myError = nullptr;
            return false;
        }
        return true;
    }
}
