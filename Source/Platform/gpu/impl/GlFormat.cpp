#include "gpu/impl/GlFormat.h"

namespace Platform::Gpu::impl
{
    namespace
    {
        GlFormat Plain(GLenum anInternal, GLenum aFormat, GLenum aType, uint32_t aBytes)
        {
            GlFormat format;
            format.myInternalFormat = anInternal;
            format.myFormat = aFormat;
            format.myType = aType;
            format.myBytesPerElement = aBytes;
            return format;
        }

        GlFormat Integer(GLenum anInternal, GLenum aFormat, GLenum aType, uint32_t aBytes)
        {
            GlFormat format = Plain(anInternal, aFormat, aType, aBytes);
            format.myIsInteger = true;
            return format;
        }

        GlFormat Srgb(GlFormat aFormat)
        {
            aFormat.myIsSrgb = true;
            return aFormat;
        }

        GlFormat Compressed(GLenum anInternal, uint32_t aBlockBytes, bool anIsSrgb = false)
        {
            GlFormat format;
            format.myInternalFormat = anInternal;
            format.myBytesPerElement = aBlockBytes;
            format.myIsCompressed = true;
            format.myIsSrgb = anIsSrgb;
            return format;
        }

        GlFormat Depth(GLenum anInternal, GLenum aFormat, GLenum aType, bool aHasStencil)
        {
            GlFormat format = Plain(anInternal, aFormat, aType, 4);
            format.myIsDepth = true;
            format.myHasStencil = aHasStencil;
            return format;
        }

        GlFormat NoAlpha(GlFormat aFormat)
        {
            aFormat.myAlphaIsOne = true;
            return aFormat;
        }
    }

    GlFormat GetGlFormat(Format aFormat)
    {
        switch (aFormat)
        {
        case Format::R32G32B32A32_TYPELESS:
        case Format::R32G32B32A32_FLOAT: return Plain(GL_RGBA32F, GL_RGBA, GL_FLOAT, 16);
        case Format::R32G32B32A32_UINT: return Integer(GL_RGBA32UI, GL_RGBA_INTEGER, GL_UNSIGNED_INT, 16);
        case Format::R32G32B32A32_SINT: return Integer(GL_RGBA32I, GL_RGBA_INTEGER, GL_INT, 16);
        case Format::R32G32B32_FLOAT: return Plain(GL_RGB32F, GL_RGB, GL_FLOAT, 12);
        case Format::R32G32B32_UINT: return Integer(GL_RGB32UI, GL_RGB_INTEGER, GL_UNSIGNED_INT, 12);
        case Format::R16G16B16A16_FLOAT: return Plain(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8);
        case Format::R16G16B16A16_UNORM: return Plain(GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, 8);
        case Format::R16G16B16A16_UINT: return Integer(GL_RGBA16UI, GL_RGBA_INTEGER, GL_UNSIGNED_SHORT, 8);
        case Format::R32G32_FLOAT: return Plain(GL_RG32F, GL_RG, GL_FLOAT, 8);
        case Format::R32G32_UINT: return Integer(GL_RG32UI, GL_RG_INTEGER, GL_UNSIGNED_INT, 8);
        case Format::R10G10B10A2_UNORM: return Plain(GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 4);
        case Format::R11G11B10_FLOAT: return Plain(GL_R11F_G11F_B10F, GL_RGB, GL_UNSIGNED_INT_10F_11F_11F_REV, 4);
        case Format::R8G8B8A8_TYPELESS:
        case Format::R8G8B8A8_UNORM: return Plain(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4);
        case Format::R8G8B8A8_UNORM_SRGB: return Srgb(Plain(GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE, 4));
        case Format::R8G8B8A8_UINT: return Integer(GL_RGBA8UI, GL_RGBA_INTEGER, GL_UNSIGNED_BYTE, 4);
        case Format::R8G8B8A8_SNORM: return Plain(GL_RGBA8_SNORM, GL_RGBA, GL_BYTE, 4);
        case Format::R16G16_FLOAT: return Plain(GL_RG16F, GL_RG, GL_HALF_FLOAT, 4);
        case Format::R16G16_UNORM: return Plain(GL_RG16, GL_RG, GL_UNSIGNED_SHORT, 4);
        case Format::R32_TYPELESS:
        case Format::R32_FLOAT: return Plain(GL_R32F, GL_RED, GL_FLOAT, 4);
        case Format::D32_FLOAT: return Depth(GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT, false);
        case Format::R32_UINT: return Integer(GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, 4);
        case Format::R32_SINT: return Integer(GL_R32I, GL_RED_INTEGER, GL_INT, 4);
        case Format::R24G8_TYPELESS:
        case Format::D24_UNORM_S8_UINT:
        case Format::R24_UNORM_X8_TYPELESS: return Depth(GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, true);
        case Format::R8G8_UNORM: return Plain(GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2);
        case Format::R16_FLOAT: return Plain(GL_R16F, GL_RED, GL_HALF_FLOAT, 2);
        case Format::R16_UNORM: return Plain(GL_R16, GL_RED, GL_UNSIGNED_SHORT, 2);
        case Format::R16_UINT: return Integer(GL_R16UI, GL_RED_INTEGER, GL_UNSIGNED_SHORT, 2);
        case Format::R8_UNORM: return Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1);
        case Format::R8_UINT: return Integer(GL_R8UI, GL_RED_INTEGER, GL_UNSIGNED_BYTE, 1);
        case Format::A8_UNORM: return Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1);
        case Format::BC1_TYPELESS:
        case Format::BC1_UNORM: return Compressed(GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 8);
        case Format::BC1_UNORM_SRGB: return Compressed(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT1_EXT, 8, true);
        case Format::BC2_TYPELESS:
        case Format::BC2_UNORM: return Compressed(GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 16);
        case Format::BC2_UNORM_SRGB: return Compressed(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT3_EXT, 16, true);
        case Format::BC3_TYPELESS:
        case Format::BC3_UNORM: return Compressed(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 16);
        case Format::BC3_UNORM_SRGB: return Compressed(GL_COMPRESSED_SRGB_ALPHA_S3TC_DXT5_EXT, 16, true);
        case Format::BC4_TYPELESS:
        case Format::BC4_UNORM: return Compressed(GL_COMPRESSED_RED_RGTC1, 8);
        case Format::BC4_SNORM: return Compressed(GL_COMPRESSED_SIGNED_RED_RGTC1, 8);
        case Format::BC5_TYPELESS:
        case Format::BC5_UNORM: return Compressed(GL_COMPRESSED_RG_RGTC2, 16);
        case Format::BC5_SNORM: return Compressed(GL_COMPRESSED_SIGNED_RG_RGTC2, 16);
        case Format::B5G6R5_UNORM: return Plain(GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2);
        case Format::B5G5R5A1_UNORM: return Plain(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2);
        case Format::B8G8R8A8_TYPELESS:
        case Format::B8G8R8A8_UNORM: return Plain(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4);
        case Format::B8G8R8A8_UNORM_SRGB: return Srgb(Plain(GL_SRGB8_ALPHA8, GL_BGRA, GL_UNSIGNED_BYTE, 4));
        case Format::B8G8R8X8_TYPELESS:
        case Format::B8G8R8X8_UNORM: return NoAlpha(Plain(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4));
        case Format::B8G8R8X8_UNORM_SRGB: return NoAlpha(Srgb(Plain(GL_SRGB8_ALPHA8, GL_BGRA, GL_UNSIGNED_BYTE, 4)));
        case Format::BC6H_TYPELESS:
        case Format::BC6H_UF16: return Compressed(GL_COMPRESSED_RGB_BPTC_UNSIGNED_FLOAT, 16);
        case Format::BC6H_SF16: return Compressed(GL_COMPRESSED_RGB_BPTC_SIGNED_FLOAT, 16);
        case Format::BC7_TYPELESS:
        case Format::BC7_UNORM: return Compressed(GL_COMPRESSED_RGBA_BPTC_UNORM, 16);
        case Format::BC7_UNORM_SRGB: return Compressed(GL_COMPRESSED_SRGB_ALPHA_BPTC_UNORM, 16, true);
        case Format::B4G4R4A4_UNORM: return Plain(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2);
        default: return {};
        }
    }

    Format GetDepthFormatOfTypeless(Format aFormat)
    {
        switch (aFormat)
        {
        case Format::R32_TYPELESS:
        case Format::R32_FLOAT:
        case Format::D32_FLOAT: return Format::D32_FLOAT;
        case Format::R24G8_TYPELESS:
        case Format::R24_UNORM_X8_TYPELESS:
        case Format::D24_UNORM_S8_UINT: return Format::D24_UNORM_S8_UINT;
        default: return Format::UNKNOWN;
        }
    }

    GlVertexFormat GetGlVertexFormat(Format aFormat)
    {
        switch (aFormat)
        {
        case Format::R32_FLOAT: return {1, GL_FLOAT, false, false, 4};
        case Format::R32G32_FLOAT: return {2, GL_FLOAT, false, false, 8};
        case Format::R32G32B32_FLOAT: return {3, GL_FLOAT, false, false, 12};
        case Format::R32G32B32A32_FLOAT: return {4, GL_FLOAT, false, false, 16};
        case Format::R32_UINT: return {1, GL_UNSIGNED_INT, false, true, 4};
        case Format::R32G32_UINT: return {2, GL_UNSIGNED_INT, false, true, 8};
        case Format::R32G32B32_UINT: return {3, GL_UNSIGNED_INT, false, true, 12};
        case Format::R32G32B32A32_UINT: return {4, GL_UNSIGNED_INT, false, true, 16};
        case Format::R32_SINT: return {1, GL_INT, false, true, 4};
        case Format::R32G32B32A32_SINT: return {4, GL_INT, false, true, 16};
        case Format::R16G16_FLOAT: return {2, GL_HALF_FLOAT, false, false, 4};
        case Format::R16G16B16A16_FLOAT: return {4, GL_HALF_FLOAT, false, false, 8};
        case Format::R8G8B8A8_UNORM: return {4, GL_UNSIGNED_BYTE, true, false, 4};
        case Format::R8G8B8A8_UINT: return {4, GL_UNSIGNED_BYTE, false, true, 4};
        case Format::R8G8B8A8_SNORM: return {4, GL_BYTE, true, false, 4};
        case Format::B8G8R8A8_UNORM: return {GL_BGRA, GL_UNSIGNED_BYTE, true, false, 4};
        default: return {};
        }
    }

    GLenum GetGlCompareFunction(ComparisonFunc aFunc)
    {
        switch (aFunc)
        {
        case ComparisonFunc::Never: return GL_NEVER;
        case ComparisonFunc::Less: return GL_LESS;
        case ComparisonFunc::Equal: return GL_EQUAL;
        case ComparisonFunc::LessEqual: return GL_LEQUAL;
        case ComparisonFunc::Greater: return GL_GREATER;
        case ComparisonFunc::NotEqual: return GL_NOTEQUAL;
        case ComparisonFunc::GreaterEqual: return GL_GEQUAL;
        default: return GL_ALWAYS;
        }
    }
}

namespace Platform::Gpu
{
    FormatInfo GetFormatInfo(Format aFormat)
    {
        const impl::GlFormat gl = impl::GetGlFormat(aFormat);
        FormatInfo info;
        info.myIsSupported = gl.myInternalFormat != 0;
        info.myIsCompressed = gl.myIsCompressed;
        info.myIsDepth = gl.myIsDepth;
        info.myIsSrgb = gl.myIsSrgb;
        info.myBytesPerElement = gl.myBytesPerElement;
        return info;
    }

    uint32_t GetRowPitch(Format aFormat, uint32_t aWidth)
    {
        const FormatInfo info = GetFormatInfo(aFormat);
        if (info.myIsCompressed)
        {
            return ((aWidth + 3) / 4) * info.myBytesPerElement;
        }
        return aWidth * info.myBytesPerElement;
    }

    uint32_t GetRowCount(Format aFormat, uint32_t aHeight)
    {
        return GetFormatInfo(aFormat).myIsCompressed ? (aHeight + 3) / 4 : aHeight;
    }
}
