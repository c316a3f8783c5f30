#include "filewatcher/CallbackLists.h"

namespace Vra
{
    void CallbackLists::AppendToFirstList(Callback aCallback)
    {
        if (aCallback)
        {
            myFirstList.push_back(std::move(aCallback));
        }
    }

    void CallbackLists::AppendToSecondList(Callback aCallback)
    {
        if (aCallback)
        {
            mySecondList.push_back(std::move(aCallback));
        }
    }
}
