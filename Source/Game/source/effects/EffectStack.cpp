#include "effects/EffectStack.h"

#include "Engine.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

#include "gpu/DeviceContext.h"

namespace
{
    // The slot every post pass reads its source from.
    constexpr std::uint32_t SOURCE_SLOT = 1;

    Vra::Vector2<std::uint32_t> RenderSize()
    {
        const Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine ? engine->GetRenderSize() : Vra::Vector2<std::uint32_t>{};
    }
}

void EffectStack::Init()
{
    myInputTarget = Vra::RenderTarget::Create(RenderSize(), TARGET_FORMAT);
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { OnResize(anEvent.myWidth, anEvent.myHeight); });
}

bool EffectStack::AddEffect(const std::string& aShader)
{
    Vra::FullscreenEffect effect;
    if (!effect.Init(aShader.c_str()))
    {
        return false;
    }
    return AddEffectPass(effect);
}

bool EffectStack::AddEffectPass(const Vra::FullscreenEffect& anEffect)
{
    myPasses.push_back({ Vra::RenderTarget::Create(RenderSize(), TARGET_FORMAT), anEffect });
    myPassOrder.push_back(myPasses.size() - 1);
    return true;
}

Vra::RenderTarget EffectStack::GetRenderTarget() const
{
    if (myPasses.empty() && Vra::DX11::BackBuffer)
    {
        return *Vra::DX11::BackBuffer;
    }
    return myInputTarget;
}

void EffectStack::Render()
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (myPasses.empty() || !engine || !engine->GetGraphicsEngine() || !Vra::DX11::BackBuffer)
    {
        return;
    }
    Vra::GraphicsEngine& graphics = *engine->GetGraphicsEngine();
    Vra::GraphicsStateStack& stateStack = graphics.GetGraphicsStateStack();
    stateStack.Push();
    stateStack.SetBlendState(Vra::BlendState::Disabled);

    const Vra::RenderTarget* source = &myInputTarget;
    for (std::size_t step = 0; step < myPassOrder.size(); ++step)
    {
        Pass& pass = myPasses[myPassOrder[step]];
        const bool isLast = step + 1 == myPassOrder.size();
        const Vra::RenderTarget& destination = isLast ? *Vra::DX11::BackBuffer : pass.myTarget;
        destination.SetAsActiveTarget(nullptr);
        Vra::DX11::Context->PSSetShaderResources(SOURCE_SLOT, 1, &source->GetShaderResourceView());
        pass.myEffect.Render();
        source = &pass.myTarget;
    }
    if (myPassOrder.empty() && graphics.GetCopyEffect())
    {
        Vra::DX11::BackBuffer->SetAsActiveTarget(nullptr);
        Vra::DX11::Context->PSSetShaderResources(SOURCE_SLOT, 1, &myInputTarget.GetShaderResourceView());
        graphics.GetCopyEffect()->Render();
    }

    // Unbound first, so the next frame can draw into the target this pass read.
    const Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> none;
    Vra::DX11::Context->PSSetShaderResources(SOURCE_SLOT, 1, &none);
    myInputTarget.Clear({ 0.0f, 0.0f, 0.0f, 0.0f });
    stateStack.Pop();
}

void EffectStack::OnResize(std::uint32_t aWidth, std::uint32_t aHeight)
{
    myInputTarget = Vra::RenderTarget::Create(RenderSize(), TARGET_FORMAT);
    if (aWidth == 0 || aHeight == 0)
    {
        return;
    }
    const Vra::Vector2<std::uint32_t> size{ aWidth, aHeight };
    for (Pass& pass : myPasses)
    {
        pass.myTarget = Vra::RenderTarget::Create(size, TARGET_FORMAT);
    }
    myInputTarget = Vra::RenderTarget::Create(size, TARGET_FORMAT);
}
