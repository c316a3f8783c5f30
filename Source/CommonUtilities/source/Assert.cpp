#include "Assert.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace CommonUtilities
{
    namespace
    {
        std::mutex& HandlerMutex()
        {
            static std::mutex mutex;
            return mutex;
        }

        AssertionHandler& Handler()
        {
            static AssertionHandler handler;
            return handler;
        }
    }

    AssertionHandler SetAssertionHandler(AssertionHandler aHandler)
    {
        std::lock_guard lock(HandlerMutex());
        AssertionHandler previous = std::move(Handler());
        Handler() = std::move(aHandler);
        return previous;
    }

    void AssertionFailed(const char* anExpression, const char* aFile, int aLine)
    {
        std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", anExpression, aFile, aLine);
        std::fflush(stderr);

        AssertionHandler handler;
        {
            std::lock_guard lock(HandlerMutex());
            handler = Handler();
        }
        if (handler)
        {
            handler(AssertionInfo{ anExpression, aFile, aLine });
        }
        std::abort();
    }
}
