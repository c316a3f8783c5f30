#include "input/RawInput.h"

namespace Platform
{
    LParam MakeRawInputHandle(const RawInputRecord& aRecord)
    {
        return reinterpret_cast<LParam>(&aRecord);
    }

    bool GetRawInputData(LParam aHandle, RawInputRecord& aRecord)
    {
        if (aHandle == 0)
        {
            return false;
        }
        aRecord = *reinterpret_cast<const RawInputRecord*>(aHandle);
        return true;
    }
}
