#include "AssertionCatcher.h"

#include <gtest/gtest.h>

namespace
{
    int Checked(int aValue)
    {
        CU_ASSERT(aValue > 0 && aValue < 5);
        return aValue;
    }
}

TEST(Assertion, PassingCheckReturnsNormally)
{
    EXPECT_EQ(TestSupport::FailedAssertion([] { Checked(3); }), "");
}

TEST(Assertion, HandlerReceivesExpressionFileAndLine)
{
    TestSupport::AssertionCatcher catcher;
    try
    {
        Checked(7);
        FAIL() << "the assertion did not fire";
    }
    catch (const TestSupport::AssertionFailure& failure)
    {
        EXPECT_EQ(failure.myInfo.myExpression, "aValue > 0 && aValue < 5");
        EXPECT_NE(std::string(failure.myInfo.myFile).find("AssertTests.cpp"), std::string::npos);
        EXPECT_GT(failure.myInfo.myLine, 0);
    }
}

TEST(Assertion, MessageVariantReportsItsOwnText)
{
    const std::string failed = TestSupport::FailedAssertion([] { CU_ASSERT_MSG(1 == 2, "custom text"); });
    EXPECT_EQ(failed, "custom text");
}

TEST(AssertionDeathTest, WithoutHandlerReportsOnStandardErrorAndAborts)
{
    EXPECT_DEATH(Checked(0), "Assertion failed: aValue > 0 && aValue < 5, file .*AssertTests.cpp, line [0-9]+");
}
