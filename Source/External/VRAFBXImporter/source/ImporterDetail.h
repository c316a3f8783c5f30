#pragma once
#include "ImportedRecords.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

// Pieces of the import that need no FBX scene; kept apart so that they can be checked on their own.
namespace Vra::FBX::impl
{
    // What tells vertices apart when they are merged: every field but the position's fourth (it
    // carries nothing the engine draws), the floats with -0 read as +0 (the two compare equal).
    struct VertexKey
    {
        std::uint32_t Fields[44];
        bool operator==(const VertexKey&) const = default;
    };
    VertexKey PackVertex(const ImportedVertex& aVertex);

    // Whether the two vertices pack to the same key, without packing either.
    bool SameKey(const ImportedVertex& aFirst, const ImportedVertex& aSecond);

    // Merges the equal vertices of one mesh: a flat open-addressing table of indices into the
    // mesh's vertices, keyed on the packed vertex, growing by doubling; nothing is allocated per
    // vertex.
    class VertexWelder
    {
    public:
        VertexWelder();

        // The index in someVertices of the vertex equal to aVertex; aVertex is appended when none is.
        std::uint32_t Weld(const ImportedVertex& aVertex, std::vector<ImportedVertex>& someVertices);

    private:
        struct Slot
        {
            std::uint32_t myVertexPlusOne = 0; // 0: empty
            std::uint32_t myHash = 0;
        };

        void Grow();

        std::vector<Slot> mySlots;
        std::size_t myUsed = 0;
    };

    // For each position, whether another in the list is the same as merged vertices compare
    // positions: bit for bit, with -0 as +0.
    std::vector<bool> SharedPositions(const std::vector<std::array<float, 3>>& somePositions);

    // The smallest box holding both; a zero box still holds the origin.
    ImportedBounds MergeBoxes(const ImportedBounds& aFirst, const ImportedBounds& aSecond);

    ImportedBounds BoundsFromExtremes(const float someMin[3], const float someMax[3]);
    ImportedBox BoxFromBounds(const ImportedBounds& aBounds);

    // The text after the last ':' (namespace prefixes dropped); the whole name when it has none.
    std::string ShortName(const std::string& aName);

    // The text after the last backslash; the whole text when it has none.
    std::string AfterLastBackslash(const std::string& aText);

    // A skeleton is named by its first joint's namespace (the text before the first ':'); a joint
    // without one leaves the file's name without its extension.
    std::string SkeletonName(const std::string& aFirstJointName, const std::string& aPath);

    bool EndsWith(const std::string& aText, const std::string& anEnding);

    // Files may hold doubles beyond float range; those saturate to the largest float of their sign
    // (a plain cast of such a value is undefined). NaN stays NaN. Inline: it runs for every
    // component of every corner.
    inline float ToFloat(double aValue)
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
