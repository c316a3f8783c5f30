#include "ImporterDetail.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace Vra::FBX::impl
{
    namespace
    {
        constexpr std::size_t FIRST_CAPACITY = 1024;
        constexpr int FIELDS = 45;
        // The vertex in whole vector registers: the fields, then zeros.
        constexpr int PADDED_FIELDS = 48;
        constexpr int POSITION_W = 3;
        constexpr int FIRST_BONE_INDEX = 37;
        constexpr int LAST_BONE_INDEX = 40;
        constexpr std::uint32_t SIGN = 0x80000000u;

        // Per field: the bits of the key (none for the position's fourth component) and the sign
        // bit where a -0 folds into +0 (every float, so not the bone indices).
        struct FieldMasks
        {
            std::uint32_t Keep[PADDED_FIELDS];
            std::uint32_t Fold[PADDED_FIELDS];
        };

        constexpr FieldMasks MakeMasks()
        {
            FieldMasks masks{};
            for (int field = 0; field < FIELDS; ++field)
            {
                const bool isBoneIndex = field >= FIRST_BONE_INDEX && field <= LAST_BONE_INDEX;
                masks.Keep[field] = field == POSITION_W ? 0u : 0xFFFFFFFFu;
                masks.Fold[field] = isBoneIndex ? 0u : SIGN;
            }
            return masks;
        }

        constexpr FieldMasks MASKS = MakeMasks();

        // The key's fields in place: a -0 where it folds becomes +0, the position's fourth 0, the
        // padding 0. One pass of whole-register operations, with no branch per field.
        struct CanonicalFields
        {
            explicit CanonicalFields(const ImportedVertex& aVertex)
            {
                static_assert(sizeof(ImportedVertex) == FIELDS * sizeof(std::uint32_t));
                std::memcpy(Values, &aVertex, sizeof(ImportedVertex));
                for (int field = 0; field < PADDED_FIELDS; ++field)
                {
                    const std::uint32_t value = Values[field];
                    const std::uint32_t isNegativeZero = value == SIGN ? 0xFFFFFFFFu : 0u;
                    Values[field] = (value ^ (isNegativeZero & MASKS.Fold[field])) & MASKS.Keep[field];
                }
            }

            std::uint32_t Values[PADDED_FIELDS] = {};
        };

        // Two multiply chains over the canonical fields, taken two at a time, folded at the end.
        std::uint32_t HashVertex(const ImportedVertex& aVertex)
        {
            const CanonicalFields key(aVertex);
            std::uint64_t first = 0x9e3779b97f4a7c15ull;
            std::uint64_t second = 0xc2b2ae3d27d4eb4full;
            for (int field = 0; field < PADDED_FIELDS; field += 4)
            {
                first = (first ^ (std::uint64_t{key.Values[field]} | std::uint64_t{key.Values[field + 1]} << 32)) * 0xff51afd7ed558ccdull;
                second = (second ^ (std::uint64_t{key.Values[field + 2]} | std::uint64_t{key.Values[field + 3]} << 32)) * 0xc4ceb9fe1a85ec53ull;
            }
            const std::uint64_t hash = first ^ (second >> 29) ^ (second << 35);
            return static_cast<std::uint32_t>(hash ^ (hash >> 32));
        }
    }

    VertexKey PackVertex(const ImportedVertex& aVertex)
    {
        const CanonicalFields canonical(aVertex);
        VertexKey key;
        int at = 0;
        for (int field = 0; field < FIELDS; ++field)
        {
            if (field != POSITION_W)
            {
                key.Fields[at++] = canonical.Values[field];
            }
        }
        return key;
    }

    bool SameKey(const ImportedVertex& aFirst, const ImportedVertex& aSecond)
    {
        // Equal vertices are nearly always equal bit for bit; the rest take the folding compare.
        constexpr std::size_t positionBytes = 3 * sizeof(float);
        constexpr std::size_t restOffset = offsetof(ImportedVertex, VertexColors);
        const auto* first = reinterpret_cast<const unsigned char*>(&aFirst);
        const auto* second = reinterpret_cast<const unsigned char*>(&aSecond);
        if (std::memcmp(first, second, positionBytes) == 0 &&
            std::memcmp(first + restOffset, second + restOffset, sizeof(ImportedVertex) - restOffset) == 0)
        {
            return true;
        }
        const CanonicalFields left(aFirst);
        const CanonicalFields right(aSecond);
        std::uint32_t difference = 0;
        for (int field = 0; field < PADDED_FIELDS; ++field)
        {
            difference |= left.Values[field] ^ right.Values[field];
        }
        return difference == 0;
    }

    VertexWelder::VertexWelder() : mySlots(FIRST_CAPACITY) {}

    std::uint32_t VertexWelder::Weld(const ImportedVertex& aVertex, std::vector<ImportedVertex>& someVertices)
    {
        if ((myUsed + 1) * 2 > mySlots.size())
        {
            Grow();
        }
        const std::uint32_t hash = HashVertex(aVertex);
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
            if (slot.myHash == hash && SameKey(someVertices[slot.myVertexPlusOne - 1], aVertex))
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

    std::vector<bool> SharedPositions(const std::vector<std::array<float, 3>>& somePositions)
    {
        std::vector<bool> shared(somePositions.size(), false);
        const auto key = [&](std::size_t aPoint) {
            std::array<std::uint32_t, 3> bits{};
            std::memcpy(bits.data(), somePositions[aPoint].data(), sizeof(bits));
            for (std::uint32_t& component : bits)
            {
                component = component == SIGN ? 0u : component;
            }
            return bits;
        };
        // Open addressing over point indices plus one, at most half full.
        std::size_t capacity = FIRST_CAPACITY;
        while (capacity < somePositions.size() * 2)
        {
            capacity *= 2;
        }
        std::vector<std::uint32_t> slots(capacity, 0);
        const std::size_t mask = capacity - 1;
        for (std::size_t point = 0; point < somePositions.size(); ++point)
        {
            const std::array<std::uint32_t, 3> bits = key(point);
            std::uint64_t hash = (std::uint64_t{bits[0]} | std::uint64_t{bits[1]} << 32) * 0xff51afd7ed558ccdull;
            hash = (hash ^ bits[2] ^ (hash >> 29)) * 0xc4ceb9fe1a85ec53ull;
            for (std::size_t at = (hash ^ (hash >> 32)) & mask;; at = (at + 1) & mask)
            {
                if (slots[at] == 0)
                {
                    slots[at] = static_cast<std::uint32_t>(point + 1);
                    break;
                }
                const std::size_t other = slots[at] - 1;
                if (key(other) == bits)
                {
                    shared[point] = true;
                    shared[other] = true;
                    break;
                }
            }
        }
        return shared;
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

}
