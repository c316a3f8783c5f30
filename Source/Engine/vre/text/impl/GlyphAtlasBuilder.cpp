#include "text/impl/GlyphAtlasBuilder.h"

#include "Assert.h"
#include "text/InternalTextAndFontData.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

#include <algorithm>
#include <limits>
#include <memory>

namespace Vra::impl
{
    namespace
    {
        constexpr int32_t ATLAS = static_cast<int32_t>(InternalTextAndFontData::ATLAS_SIZE);
        constexpr int32_t PEN_START = 2;
        constexpr int32_t GLYPH_GAP = 8;
        constexpr FT_ULong FIRST_CHARACTER = 32;
        constexpr FT_ULong LAST_CHARACTER = 255;
        constexpr FT_UInt DPI = 100;

        struct FaceCloser
        {
            void operator()(FT_Face aFace) const { FT_Done_Face(aFace); }
        };
        using FacePointer = std::unique_ptr<FT_FaceRec_, FaceCloser>;

        struct Pen
        {
            int32_t myX = PEN_START;
            int32_t myY = PEN_START;
            int32_t myNextRowY = 0;
        };

        struct Offset
        {
            int32_t myX = 0;
            int32_t myY = 0;
        };

        int16_t ToInt16(long aValue)
        {
            return static_cast<int16_t>(std::clamp<long>(aValue, std::numeric_limits<int16_t>::min(),
                                                         std::numeric_limits<int16_t>::max()));
        }

        uint8_t Intensity(const FT_Bitmap& aBitmap, uint32_t aX, uint32_t aY)
        {
            const unsigned char* row = aBitmap.buffer + static_cast<std::ptrdiff_t>(aY) * aBitmap.pitch;
            switch (aBitmap.pixel_mode)
            {
            case FT_PIXEL_MODE_GRAY:
                return row[aX];
            case FT_PIXEL_MODE_MONO:
                return (row[aX >> 3] & (0x80 >> (aX & 7))) != 0 ? 0xFF : 0;
            default:
                return 0;
            }
        }

        // A bitmap whose first column (row) is empty is written one pixel further left (up).
        Offset TrimOffsets(const FT_Bitmap& aBitmap)
        {
            Offset offset;
            if (aBitmap.width == 0 || aBitmap.rows == 0)
            {
                return offset;
            }
            bool columnEmpty = true;
            for (uint32_t y = 0; y < aBitmap.rows && columnEmpty; ++y)
            {
                columnEmpty = Intensity(aBitmap, 0, y) == 0;
            }
            bool rowEmpty = true;
            for (uint32_t x = 0; x < aBitmap.width && rowEmpty; ++x)
            {
                rowEmpty = Intensity(aBitmap, x, 0) == 0;
            }
            offset.myX = columnEmpty ? -1 : 0;
            offset.myY = rowEmpty ? -1 : 0;
            return offset;
        }

        // Calls aWrite(pixel, intensity) for every bitmap pixel that lands inside the atlas;
        // a stroke or trim offset may reach past an edge, and those pixels are dropped.
        template <typename Write>
        void ForEachAtlasPixel(const FT_Bitmap& aBitmap, int32_t aLeft, int32_t aTop, std::vector<uint32_t>& somePixels,
                               Write&& aWrite)
        {
            // The bitmap's rows and columns that land inside, found once rather than per pixel.
            const int64_t firstX = std::max<int64_t>(0, -int64_t{aLeft});
            const int64_t endX = std::min<int64_t>(aBitmap.width, int64_t{ATLAS} - aLeft);
            const int64_t firstY = std::max<int64_t>(0, -int64_t{aTop});
            const int64_t endY = std::min<int64_t>(aBitmap.rows, int64_t{ATLAS} - aTop);
            for (int64_t y = firstY; y < endY; ++y)
            {
                uint32_t* atlasRow = somePixels.data() + (aTop + y) * ATLAS;
                for (int64_t x = firstX; x < endX; ++x)
                {
                    aWrite(atlasRow[aLeft + x], Intensity(aBitmap, static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
                }
            }
        }

        // The outline pass: black pixels whose alpha is the stroke, overwriting what was there.
        void WriteBorder(FT_Library aLibrary, FT_Face aFace, FT_ULong aCharacter, uint8_t aBorder, const Pen& aPen,
                         std::vector<uint32_t>& somePixels)
        {
            if (FT_Load_Char(aFace, aCharacter, FT_LOAD_NO_BITMAP) != 0)
            {
                return;
            }
            FT_Glyph glyph = nullptr;
            if (FT_Get_Glyph(aFace->glyph, &glyph) != 0)
            {
                return;
            }
            // Only an outline can be stroked; a bitmap glyph passed to the stroker as one would be misread.
            FT_Stroker stroker = nullptr;
            if (glyph->format == FT_GLYPH_FORMAT_OUTLINE && FT_Stroker_New(aLibrary, &stroker) == 0)
            {
                FT_Stroker_Set(stroker, static_cast<FT_Fixed>(aBorder) * 64, FT_STROKER_LINECAP_ROUND,
                               FT_STROKER_LINEJOIN_ROUND, 0);
                if (FT_Glyph_StrokeBorder(&glyph, stroker, false, true) == 0 &&
                    FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, true) == 0)
                {
                    const FT_Bitmap& bitmap = reinterpret_cast<FT_BitmapGlyph>(glyph)->bitmap;
                    const Offset trim = TrimOffsets(bitmap);
                    ForEachAtlasPixel(bitmap, aPen.myX + trim.myX, aPen.myY + trim.myY, somePixels,
                                      [](uint32_t& aPixel, uint8_t aValue) { aPixel = static_cast<uint32_t>(aValue) << 24; });
                }
                FT_Stroker_Done(stroker);
            }
            FT_Done_Glyph(glyph);
        }

        // The fill pass: white with the coverage as alpha, kept over the border's alpha.
        void WriteFill(const FT_Bitmap& aBitmap, uint8_t aBorder, const Pen& aPen, std::vector<uint32_t>& somePixels)
        {
            const Offset trim = TrimOffsets(aBitmap);
            ForEachAtlasPixel(aBitmap, aPen.myX + trim.myX + aBorder, aPen.myY + trim.myY + aBorder, somePixels,
                              [](uint32_t& aPixel, uint8_t aValue) {
                                  const uint32_t merged = aPixel | aValue;
                                  const uint32_t level = merged & 0xFF;
                                  const uint32_t green = ((merged >> 8) & 0xFF) | level;
                                  const uint32_t blue = ((merged >> 16) & 0xFF) | level;
                                  const uint32_t alpha = ((merged >> 24) & 0xFF) | level;
                                  aPixel = level | (green << 8) | (blue << 16) | (alpha << 24);
                              });
        }

        bool Fits(const Pen& aPen, int32_t aWidth, int32_t aHeight)
        {
            return aPen.myX + aWidth <= ATLAS && aPen.myY + aHeight <= ATLAS;
        }

        GlyphRecord MakeRecord(const FT_GlyphSlot aSlot, int32_t aWidth, int32_t aHeight, const Pen& aPen)
        {
            constexpr float ATLAS_F = static_cast<float>(ATLAS);
            GlyphRecord record;
            record.myTextureRect[0] = static_cast<float>(aPen.myX) / ATLAS_F;
            record.myTextureRect[1] = static_cast<float>(aPen.myY) / ATLAS_F;
            record.myTextureRect[2] = static_cast<float>(aPen.myX + aWidth) / ATLAS_F;
            record.myTextureRect[3] = static_cast<float>(aPen.myY + aHeight) / ATLAS_F;
            record.myWidth = ToInt16(aWidth);
            record.myHeight = ToInt16(aHeight);
            record.myAdvanceX = ToInt16(aSlot->advance.x >> 6);
            record.myAdvanceY = ToInt16(aSlot->advance.y >> 6);
            record.myLeftBearing = ToInt16(aSlot->bitmap_left);
            record.myTopBearing = ToInt16(aSlot->bitmap_top);
            return record;
        }

        void PlaceCharacter(FT_Library aLibrary, FT_Face aFace, FT_ULong aCharacter, uint8_t aBorder, Pen& aPen,
                            InternalTextAndFontData& aFont)
        {
            if (FT_Load_Char(aFace, aCharacter, FT_LOAD_RENDER) != 0)
            {
                return;
            }
            const int32_t twoBorders = 2 * static_cast<int32_t>(aBorder);
            const int32_t bitmapWidth = static_cast<int32_t>(aFace->glyph->bitmap.width);
            const int32_t bitmapRows = static_cast<int32_t>(aFace->glyph->bitmap.rows);
            if (bitmapWidth + twoBorders + aPen.myX > ATLAS)
            {
                aPen.myX = PEN_START;
                aPen.myY = aPen.myNextRowY;
            }
            // Decided before the border pass, so a glyph that does not fit writes nothing at all.
            if (!Fits(aPen, bitmapWidth + twoBorders, bitmapRows + twoBorders))
            {
                return;
            }
            if (aBorder > 0)
            {
                // The border pass reloads the glyph as an outline; without it the slot still holds
                // the rendering above, and rendering it again would give the same bitmap.
                WriteBorder(aLibrary, aFace, aCharacter, aBorder, aPen, aFont.myAtlasPixels);
                if (FT_Load_Char(aFace, aCharacter, FT_LOAD_RENDER) != 0)
                {
                    return;
                }
            }
            const FT_Bitmap& bitmap = aFace->glyph->bitmap;
            const int32_t width = static_cast<int32_t>(bitmap.width) + twoBorders;
            const int32_t height = static_cast<int32_t>(bitmap.rows) + twoBorders;
            if (!Fits(aPen, width, height))
            {
                return;
            }
            const GlyphRecord record = MakeRecord(aFace->glyph, width, height, aPen);
            WriteFill(bitmap, aBorder, aPen, aFont.myAtlasPixels);
            // The border is counted in both gaps so that outlined glyphs never run into each other.
            if (bitmap.rows > 0)
            {
                aPen.myNextRowY = std::max(aPen.myNextRowY, aPen.myY + GLYPH_GAP + height - 1);
            }
            aPen.myX += width + GLYPH_GAP;
            aFont.myGlyphs[aCharacter] = record;
        }
    }

    bool GlyphAtlasBuilder::Build(FT_LibraryRec_* aLibrary, const std::string& aResolvedPath, uint32_t aSize,
                                  uint8_t aBorder, InternalTextAndFontData& aFont)
    {
        CU_ASSERT(aFont.myAtlasPixels.size() == static_cast<size_t>(ATLAS) * ATLAS);
        FT_Face rawFace = nullptr;
        if (aLibrary == nullptr || FT_New_Face(aLibrary, aResolvedPath.c_str(), 0, &rawFace) != 0)
        {
            return false;
        }
        const FacePointer face(rawFace);
        if (FT_Set_Char_Size(face.get(), static_cast<FT_F26Dot6>(aSize) * 64, 0, DPI, DPI) != 0 ||
            FT_Load_Char(face.get(), 'x', FT_LOAD_DEFAULT) != 0)
        {
            return false;
        }
        // A quarter of the width of 'x', in whole pixels.
        aFont.myExtraSpaceWidth = static_cast<int32_t>(face->glyph->metrics.width / 256);

        Pen pen;
        for (FT_ULong character = FIRST_CHARACTER; character <= LAST_CHARACTER; ++character)
        {
            PlaceCharacter(aLibrary, face.get(), character, aBorder, pen, aFont);
        }
        return true;
    }
}
