#pragma once
#include <cstddef>

namespace Vra::Fbx
{
    struct FormatInfo
    {
        bool myIsFbx = false;
        bool myIsBinary = false;
        int myVersion = 0; // 0: an ASCII file that names none
    };

    // Binary files start with the "Kaydara FBX Binary" magic; ASCII files with a "; FBX" comment
    // line or an "FBXHeaderExtension" record near the start.
    FormatInfo DetectFormat(const unsigned char* someBytes, size_t aSize);
}
