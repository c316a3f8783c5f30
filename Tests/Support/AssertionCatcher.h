#pragma once
#include "Assert.h"

#include <stdexcept>
#include <string>

namespace TestSupport
{
    struct AssertionFailure : std::runtime_error
    {
        explicit AssertionFailure(const CommonUtilities::AssertionInfo& anInfo)
            : std::runtime_error(anInfo.myExpression), myInfo(anInfo) {}
        CommonUtilities::AssertionInfo myInfo;
    };

    // While alive, a failed assertion throws AssertionFailure instead of aborting.
    class AssertionCatcher
    {
    public:
        AssertionCatcher()
            : myPrevious(CommonUtilities::SetAssertionHandler(
                  [](const CommonUtilities::AssertionInfo& anInfo) { throw AssertionFailure(anInfo); }))
        {
        }
        ~AssertionCatcher() { CommonUtilities::SetAssertionHandler(std::move(myPrevious)); }
        AssertionCatcher(const AssertionCatcher&) = delete;
        AssertionCatcher& operator=(const AssertionCatcher&) = delete;

    private:
        CommonUtilities::AssertionHandler myPrevious;
    };

    // Runs aCall and returns the expression of the assertion it failed, or "" when none failed.
    template <typename Call>
    std::string FailedAssertion(Call&& aCall)
    {
        AssertionCatcher catcher;
        try
        {
            aCall();
        }
        catch (const AssertionFailure& failure)
        {
            return failure.myInfo.myExpression;
        }
        return {};
    }
}
