#include "ImporterDetail.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace Vra::FBX::impl
{
    namespace
    {
        constexpr std::uint64_t FNV_OFFSET_BASIS = 0xcbf29ce484222325ull;
        constexpr std::uint64_t FNV_PRIME = 0x100000001b3ull;

        std::uint64_t Fnv1a(const unsigned char (&someBytes)[4])
        {
            std::uint64_t hash = FNV_OFFSET_BASIS;
            for (const unsigned char byte : someBytes)
            {
                hash ^= byte;
                hash *= FNV_PRIME;
            }
            return hash;
        }

        // Little-endian byte order whatever the host's, so hashes agree across machines.
        void LittleEndianBytes(std::uint32_t aValue, unsigned char (&someBytes)[4])
        {
            for (int i = 0; i < 4; ++i)
            {
                someBytes[i] = static_cast<unsigned char>(aValue >> (8 * i));
            }
        }

        std::uint64_t HashBits(std::uint32_t aBits)
        {
            unsigned char bytes[4];
            LittleEndianBytes(aBits, bytes);
            return Fnv1a(bytes);
        }

        std::uint64_t HashFloat(float aValue)
        {
            // -0.0 and +0.0 compare equal, so they must hash alike.
            const float value = aValue == 0.f ? 0.f : aValue;
            return HashBits(std::bit_cast<std::uint32_t>(value));
        }

        void Combine(std::uint64_t& aSeed, std::uint64_t aHash)
        {
            aSeed ^= aHash + 0x9e3779b9ull + (aSeed << 6) + (aSeed >> 2);
        }

        template <std::size_t N>
        void CombineFloats(std::uint64_t& aSeed, const float (&someValues)[N])
        {
            for (const float value : someValues)
            {
                Combine(aSeed, HashFloat(value));
            }
        }
    }

    std::uint64_t HashVertex(const ImportedVertex& aVertex)
    {
        std::uint64_t seed = 0;
        // The position's fourth component takes no part: it carries nothing the engine draws.
        for (int i = 0; i < 3; ++i)
        {
            Combine(seed, HashFloat(aVertex.Position[i]));
        }
        for (const auto& colour : aVertex.VertexColors)
        {
            CombineFloats(seed, colour);
        }
        for (const auto& uv : aVertex.UVs)
        {
            CombineFloats(seed, uv);
        }
        CombineFloats(seed, aVertex.Normal);
        CombineFloats(seed, aVertex.Tangent);
        CombineFloats(seed, aVertex.Binormal);
        for (const std::uint32_t bone : aVertex.BoneIDs)
        {
            Combine(seed, HashBits(bone));
        }
        CombineFloats(seed, aVertex.BoneWeights);
        return seed;
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
