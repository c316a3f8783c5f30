#include "image/impl/BoxFilter.h"

#include <algorithm>
#include <cmath>

namespace Platform::impl
{
    namespace
    {
        // Where source pixel i of a row (or column) lands among aTargetCount target pixels: the
        // first target it covers and how much of it lies there (in target widths); the rest of
        // it, if any, lies in the next target.
        struct Share
        {
            std::uint32_t myTarget = 0;
            float myFirst = 0.0f;
            float mySecond = 0.0f;
        };

        std::vector<Share> Shares(std::uint32_t aSourceCount, std::uint32_t aTargetCount)
        {
            std::vector<Share> shares(aSourceCount);
            const double scale = static_cast<double>(aTargetCount) / aSourceCount;
            for (std::uint32_t i = 0; i < aSourceCount; ++i)
            {
                const double begin = i * scale;
                const double end = (i + 1) * scale;
                const std::uint32_t target = std::min(static_cast<std::uint32_t>(begin), aTargetCount - 1);
                const double split = std::min(end, static_cast<double>(target + 1));
                shares[i] = {target, static_cast<float>(split - begin), static_cast<float>(end - split)};
            }
            return shares;
        }

        void AddRow(const std::uint8_t* aRow, const std::vector<Share>& someColumns, float aWeight, std::vector<float>& aSum)
        {
            const std::size_t lastTarget = aSum.size() / 4 - 1;
            for (std::size_t x = 0; x < someColumns.size(); ++x)
            {
                const Share& share = someColumns[x];
                float* first = &aSum[std::size_t{share.myTarget} * 4];
                const float firstWeight = share.myFirst * aWeight;
                const float secondWeight = share.mySecond * aWeight;
                for (int channel = 0; channel < 4; ++channel)
                {
                    first[channel] += aRow[x * 4 + channel] * firstWeight;
                }
                if (secondWeight > 0.0f && share.myTarget < lastTarget)
                {
                    for (int channel = 0; channel < 4; ++channel)
                    {
                        first[4 + channel] += aRow[x * 4 + channel] * secondWeight;
                    }
                }
            }
        }

        void StoreRow(std::vector<float>& aSum, std::uint8_t* aTarget)
        {
            for (std::size_t i = 0; i < aSum.size(); ++i)
            {
                aTarget[i] = static_cast<std::uint8_t>(std::clamp(std::lround(aSum[i]), 0l, 255l));
            }
            std::fill(aSum.begin(), aSum.end(), 0.0f);
        }
    }

    std::vector<std::uint8_t> ShrinkRgba(const std::uint8_t* somePixels, std::uint32_t aSourceWidth, std::uint32_t aSourceHeight,
                                         std::uint32_t aWidth, std::uint32_t aHeight)
    {
        const std::vector<Share> columns = Shares(aSourceWidth, aWidth);
        const std::vector<Share> rows = Shares(aSourceHeight, aHeight);
        const std::size_t targetRowBytes = std::size_t{aWidth} * 4;
        std::vector<std::uint8_t> result(targetRowBytes * aHeight);
        // Two target rows are open at a time: the one a source row starts in and the next.
        std::vector<float> current(targetRowBytes, 0.0f);
        std::vector<float> next(targetRowBytes, 0.0f);
        std::uint32_t open = 0;
        for (std::uint32_t y = 0; y < aSourceHeight; ++y)
        {
            const Share& share = rows[y];
            while (open < share.myTarget)
            {
                StoreRow(current, result.data() + targetRowBytes * open++);
                std::swap(current, next);
            }
            const std::uint8_t* sourceRow = somePixels + std::size_t{aSourceWidth} * 4 * y;
            AddRow(sourceRow, columns, share.myFirst, current);
            if (share.mySecond > 0.0f && share.myTarget + 1 < aHeight)
            {
                AddRow(sourceRow, columns, share.mySecond, next);
            }
        }
        while (open < aHeight)
        {
            StoreRow(current, result.data() + targetRowBytes * open++);
            std::swap(current, next);
        }
        return result;
    }
}
