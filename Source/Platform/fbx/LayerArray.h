#pragma once
#include "Assert.h"

#include <vector>

namespace Vra::Fbx
{
    // A checked array of layer values. The reader guarantees, for the element's mapping, enough
    // entries for every control point / polygon vertex / polygon, and index-array entries that lie
    // inside the direct array; reading past the end is an assertion failure.
    template <typename T>
    class LayerArray
    {
    public:
        int GetCount() const { return static_cast<int>(myValues.size()); }
        const T& GetAt(int anIndex) const
        {
            CU_ASSERT(anIndex >= 0 && anIndex < static_cast<int>(myValues.size()));
            return myValues[anIndex];
        }
        const T& operator[](int anIndex) const { return GetAt(anIndex); }
        std::vector<T>& GetValues() { return myValues; }
        const std::vector<T>& GetValues() const { return myValues; }

    private:
        std::vector<T> myValues;
    };
}
