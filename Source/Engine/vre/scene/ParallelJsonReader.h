#pragma once
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace Vra::impl
{
    // Threads for reading aFileCount files: one per 64 files, no more than the processors this
    // process may run on (a pinned process has fewer than the machine), nor than 8; at least 1.
    unsigned ChooseReaderThreadCount(std::size_t aFileCount);

    // Reads and parses the JSON files named in one folder on several threads, while the owner takes
    // the parsed files strictly in list order: whatever the owner does with them (ids, messages, the
    // first error) happens on its own thread as if the files were read one after another. A parsed
    // file goes back to the thread that built it to be freed, which keeps the threads off each other's
    // allocator locks. The owner's thread reads too while the next file is not ready, and the other
    // threads stay at most a window of files ahead of it, so few parsed files are held at once. No
    // lock is shared: a thread that loses its processor holds up nobody but itself.
    class ParallelJsonReader
    {
    public:
        static constexpr std::uint32_t WINDOW = 1024;
        // How long the owner waits for a file another thread is reading before it reads the file
        // itself: many times what reading and parsing one takes, far less than a time slice.
        static constexpr std::chrono::microseconds STEAL_AFTER{200};

        // aThreadCount counts the owner's thread: 1 reads every file on it, in TakeNext.
        ParallelJsonReader(const std::filesystem::path& aFolder, std::vector<std::string> someNames, unsigned aThreadCount);
        // Stops the other threads; what they read past the last file taken is dropped.
        ~ParallelJsonReader();
        ParallelJsonReader(const ParallelJsonReader&) = delete;
        ParallelJsonReader& operator=(const ParallelJsonReader&) = delete;

        // Gives back the file taken last and takes the next one, in list order: its root, valid until
        // the next call, or null when the file cannot be opened. The file's parse error is raised here,
        // as the JSON library raised it.
        const nlohmann::json* TakeNext();

        std::size_t GetThreadCount() const { return myThreads.size() + 1; }

    private:
        enum : std::uint8_t
        {
            SLOT_PENDING,
            SLOT_DONE,
            // The owner is through with it; the thread that read it frees it.
            SLOT_RETURNED,
            // The owner read the file itself; the thread that claimed it drops its result.
            SLOT_ABANDONED
        };

        // A claimed file's slot belongs to the thread reading it until the state says done, then to
        // the owner until the state says returned.
        struct Slot
        {
            std::optional<nlohmann::json> myRoot;
            std::exception_ptr myError;
            bool myIsReadByOwner = false;
            std::atomic<std::uint8_t> myState{SLOT_PENDING};
        };

        void RunReader();
        void ReadInto(std::uint32_t anIndex, Slot& aSlot, std::string& aBuffer) const;
        // Publishes a claimed file; false, dropping it, when the owner has read the file itself.
        bool Finish(Slot& aSlot);
        void AwaitOrSteal(std::uint32_t anIndex);
        void ReturnTaken();

        const std::filesystem::path myFolder;
        const int myFolderHandle;
        const std::vector<std::string> myNames;
        const std::uint32_t myCount;
        const std::unique_ptr<Slot[]> mySlots;
        std::string myOwnerBuffer;
        // The file taken last, when the owner read it again itself.
        Slot myStolen;
        Slot* myTaken = nullptr;

        std::atomic<std::uint32_t> myNextClaim{0};
        std::atomic<std::uint32_t> myNextTake{0};
        // Counts the window's steps, which the threads waiting for it wait on.
        std::atomic<std::uint32_t> myWindowMoves{0};
        std::atomic<bool> myIsStopping{false};

        std::vector<std::thread> myThreads;
    };
}
