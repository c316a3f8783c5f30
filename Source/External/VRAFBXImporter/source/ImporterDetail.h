#pragma once
#include "ImportedRecords.h"

#include <cstdint>
#include <string>

// Pieces of the import that need no FBX scene; kept apart so that they can be checked on their own.
namespace Vra::FBX::impl
{
    // Two vertices are taken as equal when these hashes are equal (vertex merging).
    std::uint64_t HashVertex(const ImportedVertex& aVertex);

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
    // (a plain cast of such a value is undefined). NaN stays NaN.
    float ToFloat(double aValue);
}
