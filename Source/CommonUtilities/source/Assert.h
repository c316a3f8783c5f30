#pragma once
#include <functional>
#include <string>

namespace CommonUtilities
{
    // What a failed assertion reports: the expression as written and where it stands.
    struct AssertionInfo
    {
        std::string myExpression;
        const char* myFile = "";
        int myLine = 0;
    };

    using AssertionHandler = std::function<void(const AssertionInfo&)>;

    // Replaces the handler that runs before the process aborts; returns the previous one.
    // A handler that throws lets tests catch the failure; one that returns still aborts.
    AssertionHandler SetAssertionHandler(AssertionHandler aHandler);

    [[noreturn]] void AssertionFailed(const char* anExpression, const char* aFile, int aLine);
}

// Active in every build, whatever NDEBUG says.
#define CU_ASSERT(expression) \
    ((expression) ? static_cast<void>(0) : ::CommonUtilities::AssertionFailed(#expression, __FILE__, __LINE__))

// For a check whose report must read differently from the code that tests it.
#define CU_ASSERT_MSG(expression, text) \
    ((expression) ? static_cast<void>(0) : ::CommonUtilities::AssertionFailed(text, __FILE__, __LINE__))
