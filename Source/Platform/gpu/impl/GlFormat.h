#pragma once
#include "gpu/GpuTypes.h"

#include <epoxy/gl.h>

namespace Platform::Gpu::impl
{
    // How a format is stored and transferred in GL. Formats in blue-green-red order keep their
    // byte order in memory: they are stored as RGBA and transferred with GL_BGRA.
    struct GlFormat
    {
        GLenum myInternalFormat = 0;
        GLenum myFormat = 0; // 0 for compressed formats
        GLenum myType = 0;
        uint32_t myBytesPerElement = 0;
        bool myIsCompressed = false;
        bool myIsDepth = false;
        bool myHasStencil = false;
        bool myIsSrgb = false;
        bool myIsInteger = false;
        bool myAlphaIsOne = false; // formats with an unused alpha channel read as 1
    };

    // myInternalFormat 0 when the layer does not support the format.
    GlFormat GetGlFormat(Format aFormat);
    // The format a typeless resource is stored with when it is bound as a depth buffer.
    Format GetDepthFormatOfTypeless(Format aFormat);

    // Vertex attribute layout of a format: component count, GL type, normalised, integer.
    struct GlVertexFormat
    {
        GLint myComponents = 0;
        GLenum myType = 0;
        bool myIsNormalized = false;
        bool myIsInteger = false;
        uint32_t mySize = 0;
    };
    GlVertexFormat GetGlVertexFormat(Format aFormat);

    // The GL comparison of a depth, stencil or sampler comparison function.
    GLenum GetGlCompareFunction(ComparisonFunc aFunc);
}
