#pragma once
#include "Math/Color.h"
#include "Math/Matrix4x4.h"
#include "Math/Vector3.h"
#include "graphics/Camera.h"

#include <array>
#include <cstdint>

namespace Vra
{
    class TextureResource;

    enum class BlendState : std::uint32_t { Disabled = 0, AlphaBlend = 1, Additive = 2, Count = 3 };
    enum class DepthStencilState : std::uint32_t { WriteLess = 0, WriteLessEqual = 1, ReadOnlyLess = 2, ReadOnlyLessEqual = 3, Count = 4 };
    enum class RasterizerState : std::uint32_t { BackFaceCulling = 0, NoFaceCulling = 1, Wireframe = 2, WireframeNoCulling = 3, Count = 4 };
    enum class SamplerFilter : std::uint32_t { Point = 0, Linear = 1, Anisotropic = 2, Count = 3 };
    enum class SamplerAddressMode : std::uint32_t { Clamp = 0, Wrap = 1, Mirror = 2, Border = 3, Count = 4 };

    // Which cube map the pixel shaders see in slot 0.
    enum class EnvironmentCubeMap : std::uint32_t { White = 0, Horizon = 1, Own = 2 };

    constexpr std::uint32_t MAX_POINT_LIGHTS = 8;

    struct PointLight
    {
        Vector3<float> myPosition;
        Color myColor; // sRGB
        float myRange = 1000.0f;
        float myIntensity = 0.0f;
    };

    // One entry of the graphics state stack: state objects by index, constants with version
    // counters (a buffer is uploaded when its version differs from the last applied record's),
    // the camera and the transform the sprite drawer applies.
    struct RenderState
    {
        std::uint32_t myBlendState = 0;
        std::uint32_t myDepthStencilState = 0;
        std::uint32_t myRasterizerState = 0;
        std::uint32_t mySamplerFilter = 0;
        std::uint32_t mySamplerAddressMode = 0;
        std::uint32_t myObjectVersion = 0;
        float myObjectScalar = 0.0f;
        std::array<float, 4> myObjectVector{};
        std::uint32_t myLightVersion = 0;
        std::int32_t myLightCount = 0;
        std::array<PointLight, MAX_POINT_LIGHTS> myPointLights{};
        Matrix4x4 myLightMatrix;
        Color myFirstLightColor{0.0f, 0.0f, 0.0f, 0.0f};
        float myLightScalar = 0.0f;
        Color mySecondLightColor{1.0f, 1.0f, 1.0f, 1.0f};
        std::uint32_t myEnvironmentCubeMap = 0;
        TextureResource* myCubeMap = nullptr;
        std::uint32_t myCameraVersion = 0;
        Camera myCamera;
        Matrix4x4 myTransform;
    };
}
