#pragma once
#include <cstdint>

namespace Vra
{
    // How a texture load treats the file's colour space.
    enum class TextureSrgbMode : std::uint32_t
    {
        AsFile = 0,     // as the file says
        ForceSrgb = 1,  // cache key suffix "#SRGB"
        IgnoreSrgb = 2, // cache key suffix "#NO_SRGB"
    };
}
