#include "postprocess/FullscreenPixelateEffect.h"

#include "Engine.h"
#include "graphics/DX11.h"
#include "gpu/DeviceContext.h"
#include "gpu/Device.h"
#include "gpu/SwapChain.h"
#include "graphics/RenderTarget.h"

#include <cstring>

using namespace Platform::Gpu;

FullscreenPixelateEffect::FullscreenPixelateEffect(float aPixelSize) : myPixelSize(aPixelSize) {}

bool FullscreenPixelateEffect::Init(const char* aPixelShaderName)
{
    myConstantBuffer = Vra::CreateDynamicConstantBuffer(sizeof(Constants));
    if (!myConstantBuffer)
    {
        return false;
    }

    Ref<Texture2D> backBuffer;
    if (!Vra::DX11::SwapChain || FAILED(Vra::DX11::SwapChain->GetBuffer(0, &backBuffer)) || !backBuffer)
    {
        return false;
    }
    const Texture2DDesc& backBufferDescription = backBuffer->GetDesc();

    Texture2DDesc description;
    description.myWidth = backBufferDescription.myWidth;
    description.myHeight = backBufferDescription.myHeight;
    description.myFormat = backBufferDescription.myFormat;
    description.myMipLevels = 1;
    description.myArraySize = 1;
    description.myUsage = Usage::Default;
    description.myBindFlags = BIND_SHADER_RESOURCE | BIND_RENDER_TARGET | BIND_UNORDERED_ACCESS;
    if (FAILED(Vra::DX11::Device->CreateTexture2D(description, nullptr, &mySourceTexture)))
    {
        return false;
    }
    if (FAILED(Vra::DX11::Device->CreateShaderResourceView(mySourceTexture, nullptr, &myShaderResourceView)))
    {
        return false;
    }
    if (FAILED(Vra::DX11::Device->CreateRenderTargetView(mySourceTexture, nullptr, &myRenderTargetView)))
    {
        return false;
    }

    myViewport = {};
    myViewport.myWidth = static_cast<float>(description.myWidth);
    myViewport.myHeight = static_cast<float>(description.myHeight);
    myViewport.myMinDepth = 0.0f;
    myViewport.myMaxDepth = 1.0f;

    return FullscreenEffect::Init(aPixelShaderName);
}

void FullscreenPixelateEffect::Render()
{
    // A failed swap-chain resize leaves no back buffer to draw into.
    if (!Vra::DX11::BackBuffer)
    {
        return;
    }
    Vra::DX11::BackBuffer->SetAsActiveTarget(nullptr);

    const auto renderSize = Vra::Engine::GetInstance()->GetRenderSize();
    myConstants.myPixelSize = myPixelSize;
    myConstants.myRenderWidth = renderSize.x;
    myConstants.myRenderHeight = renderSize.y;
    myConstants.myPadding = 0;

    DeviceContext& context = *Vra::DX11::Context;
    MappedSubresource mapped;
    if (FAILED(context.Map(myConstantBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
    {
        return;
    }
    std::memcpy(mapped.myData, &myConstants, sizeof(myConstants));
    context.Unmap(myConstantBuffer, 0);

    context.PSSetConstantBuffers(CONSTANT_BUFFER_SLOT, 1, &myConstantBuffer);
    context.PSSetShaderResources(SOURCE_TEXTURE_SLOT, 1, &myShaderResourceView);

    FullscreenEffect::Render();
}
