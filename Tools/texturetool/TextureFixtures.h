#pragma once
#include <filesystem>

namespace TextureTool
{
    // DDS, Targa, PNG and BMP files for the loader tests, and manifest.txt naming them.
    //
    // Every DDS surface s (face * mip count + mip) holds the bytes (s * 29 + i * 7 + 3) mod 256,
    // i counting from the surface's first byte, so a reader that misplaces a surface shows it.
    void WriteTextureFixtures(const std::filesystem::path& aFolder);
}
