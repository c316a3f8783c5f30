#pragma once
#include "Assert.h"

#include <memory>

namespace CommonUtilities
{
    // First-in, first-out over a ring buffer that doubles when full and never shrinks.
    template <typename T>
    class Queue
    {
    public:
        Queue() = default;
        Queue(const Queue& aOther) { *this = aOther; }
        Queue& operator=(const Queue& aOther)
        {
            if (this != &aOther)
            {
                myData = aOther.myCapacity > 0 ? std::make_unique<T[]>(aOther.myCapacity) : nullptr;
                for (int i = 0; i < aOther.mySize; ++i)
                {
                    myData[i] = aOther.myData[(aOther.myFront + i) % aOther.myCapacity];
                }
                mySize = aOther.mySize;
                myCapacity = aOther.myCapacity;
                myFront = 0;
            }
            return *this;
        }

        void Enqueue(const T& anItem)
        {
            if (mySize == myCapacity)
            {
                Grow();
            }
            myData[(myFront + mySize) % myCapacity] = anItem;
            ++mySize;
        }

        T Dequeue()
        {
            CU_ASSERT(mySize > 0);
            T result = myData[myFront];
            myFront = (myFront + 1) % myCapacity;
            --mySize;
            return result;
        }

        int GetSize() const { return mySize; }
        int GetCapacity() const { return myCapacity; }
        // Storage index of the oldest element.
        int GetFront() const { return myFront; }

    private:
        void Grow()
        {
            const int newCapacity = myCapacity == 0 ? 1 : myCapacity * 2;
            std::unique_ptr<T[]> newData = std::make_unique<T[]>(newCapacity);
            for (int i = 0; i < mySize; ++i)
            {
                newData[i] = myData[(myFront + i) % myCapacity];
            }
            myData = std::move(newData);
            myCapacity = newCapacity;
            myFront = 0;
        }

        std::unique_ptr<T[]> myData;
        int mySize = 0;
        int myCapacity = 0;
        int myFront = 0;
    };
}
