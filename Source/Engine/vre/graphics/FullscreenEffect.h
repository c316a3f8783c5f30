#pragma once
#include "graphics/DX11.h"
#include "gpu/GpuObjects.h"

namespace Vra
{
    // Runs one pixel shader over the whole bound target with a single triangle that the vertex
    // shader makes from the vertex index.
    class FullscreenEffect
    {
    public:
        static constexpr const char* VERTEX_SHADER_NAME = "Shaders/PostprocessVS";

        FullscreenEffect() = default;
        FullscreenEffect(const FullscreenEffect&) = default;
        FullscreenEffect& operator=(const FullscreenEffect&) = default;
        virtual ~FullscreenEffect();

        // False when the vertex shader or the named pixel shader cannot be had.
        virtual bool Init(const char* aPixelShaderName);
        // Draws into whatever target is bound.
        virtual void Render();

        bool IsInitialized() const { return myVertexShader && myPixelShader; }

    protected:
        const DX11::VertexShaderEntry* myVertexShader = nullptr;
        Platform::Gpu::Ref<Platform::Gpu::PixelShader> myPixelShader;
    };
}
