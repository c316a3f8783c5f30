#include "SpriteSheet.h"

namespace ContentTool
{
    Image PaintSheet(int aColumns, int aRows, int aCellWidth, int aCellHeight, const FramePainter& aFrame)
    {
        Image sheet(aColumns * aCellWidth, aRows * aCellHeight);
        const int count = aColumns * aRows;
        for (int frame = 0; frame < count; ++frame)
        {
            Image cell(aCellWidth, aCellHeight);
            aFrame(cell, frame, count);
            sheet.Composite(cell, (frame % aColumns) * aCellWidth, (frame / aColumns) * aCellHeight);
        }
        return sheet;
    }
}
