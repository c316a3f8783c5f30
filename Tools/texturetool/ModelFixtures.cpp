#include "ModelFixtures.h"

#include "DdsWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TextureTool
{
    namespace
    {
        struct SolidTexture
        {
            const char* myName;
            std::uint8_t myRgb[3]; // stored as given; the model factory reads colour maps as sRGB
        };

        const SolidTexture MODEL_TEXTURES[] = {
            {"Box_C.dds", {0, 255, 0}},
            {"LeftPaint_C.dds", {255, 0, 0}},
            {"RightPaint_C.dds", {0, 0, 255}},
            {"Body_C.dds", {255, 255, 0}},
        };

        void WriteSolid(const std::filesystem::path& aPath, const std::uint8_t (&aRgb)[3])
        {
            constexpr std::uint32_t SIZE = 4;
            DdsDescription description;
            description.myWidth = SIZE;
            description.myHeight = SIZE;
            description.myLegacy = {PF_RGB | PF_ALPHAPIXELS, 0, 32, {0xff, 0xff00, 0xff0000, 0xff000000}};
            std::vector<std::uint8_t> bytes;
            for (std::uint32_t texel = 0; texel < SIZE * SIZE; ++texel)
            {
                bytes.insert(bytes.end(), {aRgb[0], aRgb[1], aRgb[2], 255});
            }
            WriteDds(aPath, description, bytes);
        }
    }

    void WriteModelFixtures(const std::filesystem::path& aFolder)
    {
        std::string manifest;
        for (const SolidTexture& texture : MODEL_TEXTURES)
        {
            WriteSolid(aFolder / texture.myName, texture.myRgb);
            manifest += std::string(texture.myName) + "\n";
        }
        WriteFile(aFolder / "manifest.txt", {manifest.begin(), manifest.end()});
    }
}
