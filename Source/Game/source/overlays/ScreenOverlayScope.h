#pragma once

namespace Vra
{
    class GraphicsEngine;
    class SpriteDrawer;
}

// What the overlays draw in: while alive, draws go into the back buffer without depth, with the
// screen-space camera, on a graphics state of their own (pushed here, popped at the end). Without
// a running engine it holds nothing and is false.
class ScreenOverlayScope
{
public:
    ScreenOverlayScope();
    ~ScreenOverlayScope();
    ScreenOverlayScope(const ScreenOverlayScope&) = delete;
    ScreenOverlayScope& operator=(const ScreenOverlayScope&) = delete;

    explicit operator bool() const { return myGraphics != nullptr; }
    // Only while true.
    Vra::SpriteDrawer& GetSpriteDrawer() const;

private:
    Vra::GraphicsEngine* myGraphics = nullptr;
};
