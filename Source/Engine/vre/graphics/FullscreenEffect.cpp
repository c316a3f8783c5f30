#include "graphics/FullscreenEffect.h"

#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

namespace Vra
{
    using namespace Platform::Gpu;

    FullscreenEffect::~FullscreenEffect() = default;

    bool FullscreenEffect::Init(const char* aPixelShaderName)
    {
        myVertexShader = DX11::GetVertexShader(VERTEX_SHADER_NAME);
        myPixelShader = aPixelShaderName ? DX11::GetPixelShader(aPixelShaderName) : nullptr;
        return myVertexShader && myPixelShader;
    }

    void FullscreenEffect::Render()
    {
        Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack().ApplyState(false);

        DeviceContext& context = *DX11::Context;
        context.IASetPrimitiveTopology(PrimitiveTopology::TriangleList);
        context.IASetInputLayout(nullptr);
        const Ref<Buffer> noBuffers[2];
        const std::uint32_t zeros[2] = { 0, 0 };
        context.IASetVertexBuffers(0, 2, noBuffers, zeros, zeros);
        context.IASetIndexBuffer(nullptr, Format::UNKNOWN, 0);
        context.VSSetShader(myVertexShader ? myVertexShader->myShader : nullptr);
        context.PSSetShader(myPixelShader);

        Engine::CountDrawCall();
        context.Draw(3, 0);
    }
}
