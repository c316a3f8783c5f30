#pragma once
#include "fbx/Texture.h"

#include <string>

namespace Vra::Fbx
{
    // A texture read from an image file: the path as the file wrote it ("FileName") and the
    // path relative to the FBX file ("RelativeFilename"), both as stored (separators untouched).
    class FileTexture : public Texture
    {
    public:
        FileTexture() = default;

        const char* GetFileName() const { return myFileName.c_str(); }
        const char* GetRelativeFileName() const { return myRelativeFileName.c_str(); }
        const FileTexture* AsFileTexture() const override { return this; }

    private:
        friend class SceneBuilder;
        std::string myFileName;
        std::string myRelativeFileName;
    };
}
