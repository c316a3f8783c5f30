#include "overlays/ScreenOverlayScope.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

ScreenOverlayScope::ScreenOverlayScope()
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine() || !engine->GetGraphicsEngine()->HasGraphicsStateStack() || !Vra::DX11::BackBuffer)
    {
        return;
    }
    myGraphics = engine->GetGraphicsEngine();
    Vra::GraphicsStateStack& stateStack = myGraphics->GetGraphicsStateStack();
    stateStack.Push();
    stateStack.SetScreenSpaceCamera();
    Vra::DX11::BackBuffer->SetAsActiveTarget(nullptr);
}

ScreenOverlayScope::~ScreenOverlayScope()
{
    if (myGraphics)
    {
        myGraphics->GetGraphicsStateStack().Pop();
    }
}

Vra::SpriteDrawer& ScreenOverlayScope::GetSpriteDrawer() const
{
    return myGraphics->GetSpriteDrawer();
}
