#include "ImporterDetail.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace Vra::FBX::impl
{
    namespace
    {
        constexpr std::size_t FIRST_CAPACITY = 1024;

        std::uint32_t HashKey(const VertexKey& aKey)
        {
            // Two multiply chains over the key's 64-bit words, folded at the end.
            std::uint64_t first = 0x9e3779b97f4a7c15ull;
            std::uint64_t second = 0xc2b2ae3d27d4eb4full;
            for (std::size_t field = 0; field < 44; field += 4)
            {
                first = (first ^ (std::uint64_t{aKey.Fields[field]} | std::uint64_t{aKey.Fields[field + 1]} << 32)) * 0xff51afd7ed558ccdull;
                second = (second ^ (std::uint64_t{aKey.Fields[field + 2]} | std::uint64_t{aKey.Fields[field + 3]} << 32)) * 0xc4ceb9fe1a85ec53ull;
            }
            const std::uint64_t hash = first ^ (second >> 29) ^ (second << 35);
            return static_cast<std::uint32_t>(hash ^ (hash >> 32));
        }
    }

    VertexKey PackVertex(const ImportedVertex& aVertex)
    {
        static_assert(sizeof(ImportedVertex) == 45 * sizeof(std::uint32_t));
        std::uint32_t fields[45];
        std::memcpy(fields, &aVertex, sizeof(fields));
        VertexKey key;
        int at = 0;
        for (int field = 0; field < 45; ++field)
        {
            if (field == 3) // the position's fourth component
            {
                continue;
            }
            const bool isBoneIndex = field >= 37 && field < 41;
            key.Fields[at++] = !isBoneIndex && fields[field] == 0x80000000u ? 0u : fields[field];
        }
        return key;
    }

    VertexWelder::VertexWelder() : mySlots(FIRST_CAPACITY) {}

    std::uint32_t VertexWelder::Weld(const ImportedVertex& aVertex, std::vector<ImportedVertex>& someVertices)
    {
        if ((myUsed + 1) * 2 > mySlots.size())
        {
            Grow();
        }
        const VertexKey key = PackVertex(aVertex);
        const std::uint32_t hash = HashKey(key);
        const std::size_t mask = mySlots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask)
        {
            Slot& slot = mySlots[at];
            if (slot.myVertexPlusOne == 0)
            {
                slot = {static_cast<std::uint32_t>(someVertices.size() + 1), hash};
                someVertices.push_back(aVertex);
                ++myUsed;
                return slot.myVertexPlusOne - 1;
            }
            if (slot.myHash == hash && PackVertex(someVertices[slot.myVertexPlusOne - 1]) == key)
            {
                return slot.myVertexPlusOne - 1;
            }
        }
    }

    void VertexWelder::Grow()
    {
        std::vector<Slot> old(mySlots.size() * 2);
        old.swap(mySlots);
        const std::size_t mask = mySlots.size() - 1;
        for (const Slot& slot : old)
        {
            if (slot.myVertexPlusOne == 0)
            {
                continue;
            }
            std::size_t at = slot.myHash & mask;
            while (mySlots[at].myVertexPlusOne != 0)
            {
                at = (at + 1) & mask;
            }
            mySlots[at] = slot;
        }
    }

    ImportedBounds MergeBoxes(const ImportedBounds& aFirst, const ImportedBounds& aSecond)
    {
        float minimum[3];
        float maximum[3];
        for (int i = 0; i < 3; ++i)
        {
            minimum[i] = std::min(aFirst.Center[i] - aFirst.BoxExtents[i], aSecond.Center[i] - aSecond.BoxExtents[i]);
            maximum[i] = std::max(aFirst.Center[i] + aFirst.BoxExtents[i], aSecond.Center[i] + aSecond.BoxExtents[i]);
        }
        return BoundsFromExtremes(minimum, maximum);
    }

    ImportedBounds BoundsFromExtremes(const float someMin[3], const float someMax[3])
    {
        ImportedBounds bounds;
        for (int i = 0; i < 3; ++i)
        {
            bounds.BoxExtents[i] = (someMax[i] - someMin[i]) * 0.5f;
            bounds.Center[i] = (someMax[i] + someMin[i]) * 0.5f;
        }
        bounds.Radius = std::max({bounds.BoxExtents[0], bounds.BoxExtents[1], bounds.BoxExtents[2]});
        return bounds;
    }

    ImportedBox BoxFromBounds(const ImportedBounds& aBounds)
    {
        ImportedBox box;
        for (int i = 0; i < 3; ++i)
        {
            box.Min[i] = aBounds.Center[i] - aBounds.BoxExtents[i];
            box.Max[i] = aBounds.Center[i] + aBounds.BoxExtents[i];
        }
        box.IsValid = 1;
        return box;
    }

    std::string ShortName(const std::string& aName)
    {
        const std::size_t colon = aName.rfind(':');
        return colon == std::string::npos ? aName : aName.substr(colon + 1);
    }

    std::string AfterLastBackslash(const std::string& aText)
    {
        const std::size_t slash = aText.rfind('\\');
        return slash == std::string::npos ? aText : aText.substr(slash + 1);
    }

    std::string SkeletonName(const std::string& aFirstJointName, const std::string& aPath)
    {
        const std::size_t colon = aFirstJointName.find(':');
        if (colon != std::string::npos)
        {
            return aFirstJointName.substr(0, colon);
        }
        std::string path = aPath;
        std::replace(path.begin(), path.end(), '/', '\\');
        std::string name = AfterLastBackslash(path);
        // Drops the extension (".fbx"); a name too short to hold one is kept whole.
        if (name.size() >= 4)
        {
            name.resize(name.size() - 4);
        }
        return name;
    }

    bool EndsWith(const std::string& aText, const std::string& anEnding)
    {
        return aText.size() >= anEnding.size() &&
               aText.compare(aText.size() - anEnding.size(), anEnding.size(), anEnding) == 0;
    }

    float ToFloat(double aValue)
    {
        constexpr double largest = std::numeric_limits<float>::max();
        if (aValue > largest)
        {
            return std::numeric_limits<float>::max();
        }
        if (aValue < -largest)
        {
            return std::numeric_limits<float>::lowest();
        }
        return static_cast<float>(aValue);
    }
}
