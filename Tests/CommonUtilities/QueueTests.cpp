#include "Queue.h"

#include "AssertionCatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
    TEST(Queue, CapacityDoublesFromOne)
    {
        CommonUtilities::Queue<int> queue;
        EXPECT_EQ(queue.GetSize(), 0);
        EXPECT_EQ(queue.GetCapacity(), 0);
        std::vector<int> capacities;
        for (int i = 0; i < 9; ++i)
        {
            queue.Enqueue(i);
            capacities.push_back(queue.GetCapacity());
        }
        EXPECT_EQ(capacities, (std::vector<int>{ 1, 2, 4, 4, 8, 8, 8, 8, 16 }));
        for (int i = 0; i < 9; ++i)
        {
            EXPECT_EQ(queue.Dequeue(), i);
        }
        EXPECT_EQ(queue.GetCapacity(), 16);
    }

    TEST(Queue, WrapsAroundAndUnrollsWhenGrowing)
    {
        CommonUtilities::Queue<std::string> queue;
        for (const char* item : { "A", "B", "C" })
        {
            queue.Enqueue(item);
        }
        EXPECT_EQ(queue.GetCapacity(), 4);
        EXPECT_EQ(queue.Dequeue(), "A");
        queue.Enqueue("D");
        queue.Enqueue("E"); // lands in slot (1 + 3) % 4 = 0
        EXPECT_EQ(queue.GetCapacity(), 4);
        EXPECT_EQ(queue.GetFront(), 1);

        CommonUtilities::Queue<std::string> copy = queue;
        queue.Enqueue("F");
        EXPECT_EQ(queue.GetCapacity(), 8);
        EXPECT_EQ(queue.GetFront(), 0);
        for (const char* expected : { "B", "C", "D", "E", "F" })
        {
            EXPECT_EQ(queue.Dequeue(), expected);
        }
        EXPECT_EQ(queue.GetSize(), 0);

        // The copy kept its own elements in order.
        for (const char* expected : { "B", "C", "D", "E" })
        {
            EXPECT_EQ(copy.Dequeue(), expected);
        }
    }

    TEST(Queue, DequeueFromEmptyFails)
    {
        CommonUtilities::Queue<int> queue;
        EXPECT_EQ(TestSupport::FailedAssertion([&] { queue.Dequeue(); }), "mySize > 0");
        queue.Enqueue(1);
        queue.Dequeue();
        EXPECT_EQ(TestSupport::FailedAssertion([&] { queue.Dequeue(); }), "mySize > 0");
    }
}
