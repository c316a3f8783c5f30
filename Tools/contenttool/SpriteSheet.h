#pragma once
#include "Image.h"

#include <functional>

namespace ContentTool
{
    // A flip-book laid out row by row, top row first, each row left to right (the order the game
    // reads frames in). aFrame paints frame i of aCount into a transparent cell of its own, so no
    // frame spills into its neighbour.
    using FramePainter = std::function<void(Image& aCell, int aFrame, int aCount)>;
    Image PaintSheet(int aColumns, int aRows, int aCellWidth, int aCellHeight, const FramePainter& aFrame);
}
