#pragma once
#include "graphics/FullscreenEffect.h"

#include <cstdint>

// Shows the scene in blocks of the pixel size. The scene is drawn into the pass's own texture
// (bind GetRenderTargetView with GetViewport), which the pass then reads into the back buffer.
class FullscreenPixelateEffect : public Vra::FullscreenEffect
{
public:
    static constexpr std::uint32_t CONSTANT_BUFFER_SLOT = 13;
    static constexpr std::uint32_t SOURCE_TEXTURE_SLOT = 0;

    // What the pixel shader reads at constant buffer 13.
    struct Constants
    {
        float myPixelSize = 0.0f;
        std::uint32_t myRenderWidth = 0;
        std::uint32_t myRenderHeight = 0;
        std::uint32_t myPadding = 0;
    };

    explicit FullscreenPixelateEffect(float aPixelSize = 16.0f);

    bool Init(const char* aPixelShaderName) override;
    void Render() override;

    void SetPixelSize(float aPixelSize) { myPixelSize = aPixelSize; }
    float GetPixelSize() const { return myPixelSize; }

    const Platform::Gpu::Ref<Platform::Gpu::RenderTargetView>& GetRenderTargetView() const { return myRenderTargetView; }
    const Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView>& GetShaderResourceView() const { return myShaderResourceView; }
    const Platform::Gpu::Viewport& GetViewport() const { return myViewport; }

private:
    float myPixelSize;
    Constants myConstants;
    Platform::Gpu::Ref<Platform::Gpu::Texture2D> mySourceTexture;
    Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> myShaderResourceView;
    Platform::Gpu::Ref<Platform::Gpu::RenderTargetView> myRenderTargetView;
    Platform::Gpu::Ref<Platform::Gpu::Buffer> myConstantBuffer;
    Platform::Gpu::Viewport myViewport;
};

static_assert(sizeof(FullscreenPixelateEffect::Constants) == 16, "the pixelate shader reads a 16-byte block");
