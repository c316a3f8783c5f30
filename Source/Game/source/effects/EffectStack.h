#pragma once
#include "graphics/FullscreenEffect.h"
#include "graphics/RenderTarget.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A chain of full-screen passes over what the level draws: the level draws into the input target,
// each pass reads the previous result, and the last pass writes the back buffer. Without passes
// the level draws straight into the back buffer.
class EffectStack
{
public:
    // 8-bit RGBA, unsigned normalised.
    static constexpr Platform::Gpu::Format TARGET_FORMAT = Platform::Gpu::Format::R8G8B8A8_UNORM;

    EffectStack() = default;
    EffectStack(const EffectStack&) = delete;
    EffectStack& operator=(const EffectStack&) = delete;

    // Makes the input target at the render size and follows resizes.
    void Init();
    // A pass running the named pixel shader; false, and nothing added, when it cannot be had.
    bool AddEffect(const std::string& aShader);
    // A pass running a copy of the effect's shaders.
    bool AddEffectPass(const Vra::FullscreenEffect& anEffect);
    // Where the level draws: the input target, or the back buffer when there is no pass.
    Vra::RenderTarget GetRenderTarget() const;
    // Runs the passes into the back buffer and clears the input target for the next frame.
    void Render();
    void OnResize(std::uint32_t aWidth, std::uint32_t aHeight);

    std::size_t GetPassCount() const { return myPasses.size(); }
    const Vra::RenderTarget& GetPassTarget(std::size_t anIndex) const { return myPasses[anIndex].myTarget; }

private:
    struct Pass
    {
        Vra::RenderTarget myTarget;
        Vra::FullscreenEffect myEffect;
    };

    Vra::RenderTarget myInputTarget;
    std::vector<Pass> myPasses;
    std::vector<std::size_t> myPassOrder;
    EventBusCallback<ResizeEvent> myResizeListener;
};
