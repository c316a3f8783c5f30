#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

#include "window/WindowMessages.h"

// Plain records and enumerations of the GPU layer. The numbers of formats, flags and modes are
// the ones the engine's rendering code is written against, so values read from files (DDS format
// codes) and constants in the engine mean the same here.
namespace Platform::Gpu
{
    template <typename T>
    using Ref = std::shared_ptr<T>;

    // Every creation and map call answers one of these; negative values are failures.
    enum class Result : int32_t
    {
        Ok = 0,
        False = 1,
        Fail = static_cast<int32_t>(0x80004005u),
        InvalidArgument = static_cast<int32_t>(0x80070057u),
        OutOfMemory = static_cast<int32_t>(0x8007000Eu),
        NotFound = static_cast<int32_t>(0x887A0002u),
        WasStillDrawing = static_cast<int32_t>(0x887A000Au),
    };

    // Found by argument-dependent lookup, so callers write SUCCEEDED(result) unqualified.
    constexpr bool SUCCEEDED(Result aResult) { return static_cast<int32_t>(aResult) >= 0; }
    constexpr bool FAILED(Result aResult) { return static_cast<int32_t>(aResult) < 0; }

    enum class Format : uint32_t
    {
        UNKNOWN = 0,
        R32G32B32A32_TYPELESS = 1,
        R32G32B32A32_FLOAT = 2,
        R32G32B32A32_UINT = 3,
        R32G32B32A32_SINT = 4,
        R32G32B32_FLOAT = 6,
        R32G32B32_UINT = 7,
        R16G16B16A16_FLOAT = 10,
        R16G16B16A16_UNORM = 11,
        R16G16B16A16_UINT = 12,
        R32G32_FLOAT = 16,
        R32G32_UINT = 17,
        R10G10B10A2_UNORM = 24,
        R11G11B10_FLOAT = 26,
        R8G8B8A8_TYPELESS = 27,
        R8G8B8A8_UNORM = 28,
        R8G8B8A8_UNORM_SRGB = 29,
        R8G8B8A8_UINT = 30,
        R8G8B8A8_SNORM = 31,
        R16G16_FLOAT = 34,
        R16G16_UNORM = 35,
        R32_TYPELESS = 39,
        D32_FLOAT = 40,
        R32_FLOAT = 41,
        R32_UINT = 42,
        R32_SINT = 43,
        R24G8_TYPELESS = 44,
        D24_UNORM_S8_UINT = 45,
        R24_UNORM_X8_TYPELESS = 46,
        R8G8_UNORM = 49,
        R16_FLOAT = 54,
        R16_UNORM = 56,
        R16_UINT = 57,
        R8_UNORM = 61,
        R8_UINT = 62,
        A8_UNORM = 65,
        BC1_TYPELESS = 70,
        BC1_UNORM = 71,
        BC1_UNORM_SRGB = 72,
        BC2_TYPELESS = 73,
        BC2_UNORM = 74,
        BC2_UNORM_SRGB = 75,
        BC3_TYPELESS = 76,
        BC3_UNORM = 77,
        BC3_UNORM_SRGB = 78,
        BC4_TYPELESS = 79,
        BC4_UNORM = 80,
        BC4_SNORM = 81,
        BC5_TYPELESS = 82,
        BC5_UNORM = 83,
        BC5_SNORM = 84,
        B5G6R5_UNORM = 85,
        B5G5R5A1_UNORM = 86,
        B8G8R8A8_UNORM = 87,
        B8G8R8X8_UNORM = 88,
        B8G8R8A8_TYPELESS = 90,
        B8G8R8A8_UNORM_SRGB = 91,
        B8G8R8X8_TYPELESS = 92,
        B8G8R8X8_UNORM_SRGB = 93,
        BC6H_TYPELESS = 94,
        BC6H_UF16 = 95,
        BC6H_SF16 = 96,
        BC7_TYPELESS = 97,
        BC7_UNORM = 98,
        BC7_UNORM_SRGB = 99,
        B4G4R4A4_UNORM = 115,
    };

    // Size facts of a format: bytes per pixel, or bytes per 4x4 block for block-compressed ones.
    struct FormatInfo
    {
        bool myIsSupported = false;
        bool myIsCompressed = false;
        bool myIsDepth = false;
        bool myIsSrgb = false;
        uint32_t myBytesPerElement = 0;
    };
    FormatInfo GetFormatInfo(Format aFormat);
    // The bytes one row of a mip level of the given width takes (blocks for compressed formats).
    uint32_t GetRowPitch(Format aFormat, uint32_t aWidth);
    // The number of rows (block rows for compressed formats) of a mip level of the given height.
    uint32_t GetRowCount(Format aFormat, uint32_t aHeight);

    enum class Usage : uint32_t { Default = 0, Immutable = 1, Dynamic = 2, Staging = 3 };

    enum BindFlag : uint32_t
    {
        BIND_VERTEX_BUFFER = 0x1,
        BIND_INDEX_BUFFER = 0x2,
        BIND_CONSTANT_BUFFER = 0x4,
        BIND_SHADER_RESOURCE = 0x8,
        BIND_RENDER_TARGET = 0x20,
        BIND_DEPTH_STENCIL = 0x40,
        BIND_UNORDERED_ACCESS = 0x80,
    };

    enum CpuAccessFlag : uint32_t { CPU_ACCESS_WRITE = 0x10000, CPU_ACCESS_READ = 0x20000 };

    enum ResourceMiscFlag : uint32_t { RESOURCE_MISC_GENERATE_MIPS = 0x1, RESOURCE_MISC_TEXTURECUBE = 0x4 };

    struct SampleDesc
    {
        uint32_t myCount = 1;
        uint32_t myQuality = 0;
    };

    struct BufferDesc
    {
        uint32_t myByteWidth = 0;
        Usage myUsage = Usage::Default;
        uint32_t myBindFlags = 0;
        uint32_t myCpuAccessFlags = 0;
        uint32_t myMiscFlags = 0;
        uint32_t myStructureByteStride = 0;
    };

    // A mip count of 0 asks for the full chain down to 1 by 1.
    struct Texture2DDesc
    {
        uint32_t myWidth = 0;
        uint32_t myHeight = 0;
        uint32_t myMipLevels = 1;
        uint32_t myArraySize = 1;
        Format myFormat = Format::UNKNOWN;
        SampleDesc mySampleDesc;
        Usage myUsage = Usage::Default;
        uint32_t myBindFlags = 0;
        uint32_t myCpuAccessFlags = 0;
        uint32_t myMiscFlags = 0;
    };

    // Initial data of one subresource (mip level of one array slice); subresource index is
    // mip + slice * mip count, the order in which an array of these is read.
    struct SubresourceData
    {
        const void* mySysMem = nullptr;
        uint32_t mySysMemPitch = 0;
        uint32_t mySysMemSlicePitch = 0;
    };

    constexpr uint32_t CalcSubresource(uint32_t aMipSlice, uint32_t anArraySlice, uint32_t aMipLevels)
    {
        return aMipSlice + anArraySlice * aMipLevels;
    }

    enum class SrvDimension : uint32_t { Unknown = 0, Buffer = 1, Texture2D = 4, Texture2DArray = 5, TextureCube = 9 };
    enum class RtvDimension : uint32_t { Unknown = 0, Texture2D = 4, Texture2DArray = 5 };
    enum class DsvDimension : uint32_t { Unknown = 0, Texture2D = 3, Texture2DArray = 4 };

    constexpr uint32_t ALL_MIPS = std::numeric_limits<uint32_t>::max();
    // The largest width or height of a texture the device creates.
    constexpr uint32_t MAX_TEXTURE_SIZE = 16384;

    struct ShaderResourceViewDesc
    {
        Format myFormat = Format::UNKNOWN;
        SrvDimension myViewDimension = SrvDimension::Texture2D;
        uint32_t myMostDetailedMip = 0;
        uint32_t myMipLevels = ALL_MIPS;
        uint32_t myFirstArraySlice = 0;
        uint32_t myArraySize = 1;
    };

    struct RenderTargetViewDesc
    {
        Format myFormat = Format::UNKNOWN;
        RtvDimension myViewDimension = RtvDimension::Texture2D;
        uint32_t myMipSlice = 0;
        uint32_t myFirstArraySlice = 0;
        uint32_t myArraySize = 1;
    };

    struct DepthStencilViewDesc
    {
        Format myFormat = Format::UNKNOWN;
        DsvDimension myViewDimension = DsvDimension::Texture2D;
        uint32_t myFlags = 0;
        uint32_t myMipSlice = 0;
        uint32_t myFirstArraySlice = 0;
        uint32_t myArraySize = 1;
    };

    enum class Blend : uint32_t
    {
        Zero = 1,
        One = 2,
        SrcColor = 3,
        InvSrcColor = 4,
        SrcAlpha = 5,
        InvSrcAlpha = 6,
        DestAlpha = 7,
        InvDestAlpha = 8,
        DestColor = 9,
        InvDestColor = 10,
        SrcAlphaSat = 11,
        BlendFactor = 14,
        InvBlendFactor = 15,
    };

    enum class BlendOp : uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };

    enum ColorWriteFlag : uint8_t
    {
        COLOR_WRITE_ENABLE_RED = 1,
        COLOR_WRITE_ENABLE_GREEN = 2,
        COLOR_WRITE_ENABLE_BLUE = 4,
        COLOR_WRITE_ENABLE_ALPHA = 8,
        COLOR_WRITE_ENABLE_ALL = 15,
    };

    struct RenderTargetBlendDesc
    {
        bool myBlendEnable = false;
        Blend mySrcBlend = Blend::One;
        Blend myDestBlend = Blend::Zero;
        BlendOp myBlendOp = BlendOp::Add;
        Blend mySrcBlendAlpha = Blend::One;
        Blend myDestBlendAlpha = Blend::Zero;
        BlendOp myBlendOpAlpha = BlendOp::Add;
        uint8_t myRenderTargetWriteMask = COLOR_WRITE_ENABLE_ALL;
    };

    // Only the first target's blend is used: every target of a draw blends alike.
    struct BlendDesc
    {
        bool myAlphaToCoverageEnable = false;
        bool myIndependentBlendEnable = false;
        RenderTargetBlendDesc myRenderTarget[8];
    };

    enum class ComparisonFunc : uint32_t
    {
        Never = 1,
        Less = 2,
        Equal = 3,
        LessEqual = 4,
        Greater = 5,
        NotEqual = 6,
        GreaterEqual = 7,
        Always = 8,
    };

    enum class DepthWriteMask : uint32_t { Zero = 0, All = 1 };

    enum class StencilOp : uint32_t { Keep = 1, Zero = 2, Replace = 3, IncrSat = 4, DecrSat = 5, Invert = 6, Incr = 7, Decr = 8 };

    struct DepthStencilOpDesc
    {
        StencilOp myStencilFailOp = StencilOp::Keep;
        StencilOp myStencilDepthFailOp = StencilOp::Keep;
        StencilOp myStencilPassOp = StencilOp::Keep;
        ComparisonFunc myStencilFunc = ComparisonFunc::Always;
    };

    struct DepthStencilDesc
    {
        bool myDepthEnable = true;
        DepthWriteMask myDepthWriteMask = DepthWriteMask::All;
        ComparisonFunc myDepthFunc = ComparisonFunc::Less;
        bool myStencilEnable = false;
        uint8_t myStencilReadMask = 0xFF;
        uint8_t myStencilWriteMask = 0xFF;
        DepthStencilOpDesc myFrontFace;
        DepthStencilOpDesc myBackFace;
    };

    enum class FillMode : uint32_t { Wireframe = 2, Solid = 3 };
    enum class CullMode : uint32_t { None = 1, Front = 2, Back = 3 };

    // The defaults are what the pipeline uses while no rasterizer state is set.
    struct RasterizerDesc
    {
        FillMode myFillMode = FillMode::Solid;
        CullMode myCullMode = CullMode::Back;
        bool myFrontCounterClockwise = false;
        int32_t myDepthBias = 0;
        float myDepthBiasClamp = 0.0f;
        float mySlopeScaledDepthBias = 0.0f;
        bool myDepthClipEnable = true;
        bool myScissorEnable = false;
        bool myMultisampleEnable = false;
        bool myAntialiasedLineEnable = false;
    };

    // Filter codes: bit 0 linear mip, bit 2 linear magnification, bit 4 linear minification,
    // bit 6 anisotropic, bit 7 comparison.
    enum class Filter : uint32_t
    {
        MinMagMipPoint = 0x0,
        MinMagPointMipLinear = 0x1,
        MinMagLinearMipPoint = 0x14,
        MinMagMipLinear = 0x15,
        Anisotropic = 0x55,
        ComparisonMinMagMipLinear = 0x95,
    };

    enum class TextureAddressMode : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4, MirrorOnce = 5 };

    constexpr float FLOAT32_MAX = std::numeric_limits<float>::max();

    // The defaults are the sampler a texture unit uses while no sampler is set.
    struct SamplerDesc
    {
        Filter myFilter = Filter::MinMagMipLinear;
        TextureAddressMode myAddressU = TextureAddressMode::Clamp;
        TextureAddressMode myAddressV = TextureAddressMode::Clamp;
        TextureAddressMode myAddressW = TextureAddressMode::Clamp;
        float myMipLodBias = 0.0f;
        uint32_t myMaxAnisotropy = 1;
        ComparisonFunc myComparisonFunc = ComparisonFunc::Never;
        float myBorderColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        float myMinLod = -FLOAT32_MAX;
        float myMaxLod = FLOAT32_MAX;
    };

    enum class InputClassification : uint32_t { PerVertexData = 0, PerInstanceData = 1 };

    constexpr uint32_t APPEND_ALIGNED_ELEMENT = 0xFFFFFFFFu;

    struct InputElementDesc
    {
        const char* mySemanticName = "";
        uint32_t mySemanticIndex = 0;
        Format myFormat = Format::UNKNOWN;
        uint32_t myInputSlot = 0;
        uint32_t myAlignedByteOffset = APPEND_ALIGNED_ELEMENT;
        InputClassification myInputSlotClass = InputClassification::PerVertexData;
        uint32_t myInstanceDataStepRate = 0;
    };

    enum class PrimitiveTopology : uint32_t { Undefined = 0, PointList = 1, LineList = 2, LineStrip = 3, TriangleList = 4, TriangleStrip = 5 };

    // Top-left origin, y downwards, as every render target is addressed.
    struct Viewport
    {
        float myTopLeftX = 0.0f;
        float myTopLeftY = 0.0f;
        float myWidth = 0.0f;
        float myHeight = 0.0f;
        float myMinDepth = 0.0f;
        float myMaxDepth = 1.0f;
    };

    // Scissor rectangles in target pixels, right and bottom one past the last.
    using Rect = Platform::Rect;

    struct Box
    {
        uint32_t myLeft = 0;
        uint32_t myTop = 0;
        uint32_t myFront = 0;
        uint32_t myRight = 0;
        uint32_t myBottom = 0;
        uint32_t myBack = 1;
    };

    enum class MapType : uint32_t { Read = 1, Write = 2, ReadWrite = 3, WriteDiscard = 4, WriteNoOverwrite = 5 };

    struct MappedSubresource
    {
        void* myData = nullptr;
        uint32_t myRowPitch = 0;
        uint32_t myDepthPitch = 0;
    };

    enum ClearFlag : uint32_t { CLEAR_DEPTH = 0x1, CLEAR_STENCIL = 0x2 };

    constexpr uint32_t DEFAULT_SAMPLE_MASK = 0xFFFFFFFFu;

    // What the immediate context was asked to do since the counters were last reset: one count
    // per call that sets state or draws, so tests can see what a piece of render code sent.
    struct Counters
    {
        uint32_t myBlendStateSets = 0;
        uint32_t myDepthStencilStateSets = 0;
        uint32_t myRasterizerStateSets = 0;
        uint32_t mySamplerSets = 0;
        uint32_t myConstantBufferSets = 0;
        uint32_t myShaderResourceSets = 0;
        uint32_t myShaderSets = 0;
        uint32_t myInputLayoutSets = 0;
        uint32_t myTopologySets = 0;
        uint32_t myVertexBufferSets = 0;
        uint32_t myIndexBufferSets = 0;
        uint32_t myRenderTargetSets = 0;
        uint32_t myViewportSets = 0;
        uint32_t myMaps = 0;
        uint32_t myClears = 0;
        uint32_t myDrawCalls = 0;
        uint64_t myInstancesDrawn = 0;
        // Bytes of dynamic buffers sent to GL when a draw used them.
        uint64_t myBufferBytesSent = 0;
    };
}
