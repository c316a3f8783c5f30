#pragma once
#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VRA_TEST_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VRA_TEST_UNDER_SANITIZER 1
#endif
#endif

namespace TestSupport
{
    // While alive, the process's address space may grow by at most aGrowth bytes, so a loader that
    // would take gigabytes for a few bytes of file fails at once (std::bad_alloc) instead of
    // paging the machine. The sanitizers reserve their shadow memory up front and cannot run under
    // such a limit: there nothing is set (IsActive is false) and their own max_allocation_size_mb,
    // which every test run passes them, stops an allocation that large.
    class AddressSpaceCeiling
    {
    public:
        explicit AddressSpaceCeiling(std::uint64_t aGrowth)
        {
#ifndef VRA_TEST_UNDER_SANITIZER
            if (getrlimit(RLIMIT_AS, &myPrevious) != 0)
            {
                return;
            }
            rlimit limit = myPrevious;
            limit.rlim_cur = static_cast<rlim_t>(CurrentBytes() + aGrowth);
            if (myPrevious.rlim_max != RLIM_INFINITY && limit.rlim_cur > myPrevious.rlim_max)
            {
                limit.rlim_cur = myPrevious.rlim_max;
            }
            myIsActive = setrlimit(RLIMIT_AS, &limit) == 0;
#else
            (void)aGrowth;
#endif
        }
        ~AddressSpaceCeiling()
        {
            if (myIsActive)
            {
                setrlimit(RLIMIT_AS, &myPrevious);
            }
        }
        AddressSpaceCeiling(const AddressSpaceCeiling&) = delete;
        AddressSpaceCeiling& operator=(const AddressSpaceCeiling&) = delete;

        bool IsActive() const { return myIsActive; }

        // The address space the process holds now.
        static std::uint64_t CurrentBytes()
        {
            std::ifstream statm("/proc/self/statm");
            std::uint64_t pages = 0;
            statm >> pages;
            return pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
        }

        static constexpr std::uint64_t MEGABYTE = 1024 * 1024;

    private:
        rlimit myPrevious{};
        bool myIsActive = false;
    };
}
