#pragma once
#include "PaintTypes.h"

namespace ContentTool::Palette
{
    // The pack's colours: a snowy night with a warm accent.
    inline const Colour ICE = Hex(0xa9d6e5);
    inline const Colour FROST = Hex(0xd8ecf6);
    inline const Colour SNOW = Hex(0xf4f9ff);
    inline const Colour WHITE = Hex(0xffffff);
    inline const Colour BLACK = Hex(0x000000);
    // The menus' selected-text colour.
    inline const Colour ACCENT = {0.957f, 0.259f, 0.298f, 1.0f};
    inline const Colour GOLD = Hex(0xffc46b);
    inline const Colour EMBER = Hex(0xff8a3d);
    inline const Colour CRYSTAL = Hex(0x6ff0ff);
}
