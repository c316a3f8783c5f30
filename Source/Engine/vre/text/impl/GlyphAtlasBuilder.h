#pragma once
#include <cstdint>
#include <string>

struct FT_LibraryRec_;

namespace Vra
{
    struct InternalTextAndFontData;
}

namespace Vra::impl
{
    // The CPU half of a font load: rasterises the characters 32 to 255 of one face into the
    // font's atlas pixels and fills its glyph table. Uploading the atlas is the caller's job.
    class GlyphAtlasBuilder
    {
    public:
        // aFont's pixel buffer must already hold ATLAS_SIZE x ATLAS_SIZE zeroed pixels.
        // False when the face cannot be opened, sized or has no 'x'.
        static bool Build(FT_LibraryRec_* aLibrary, const std::string& aResolvedPath, uint32_t aSize,
                          uint8_t aBorder, InternalTextAndFontData& aFont);
    };
}
