#pragma once
#include <memory>

class FullscreenPixelateEffect;

namespace Vra
{
    class SpriteDrawer;
    class ModelDrawer;
    class CustomShapeDrawer;
    class LineDrawer;
    class GraphicsStateStack;
    class FullscreenEffect;

    // Owns everything that draws: the drawers, the graphics state stack and the engine's post passes.
    class GraphicsEngine
    {
    public:
        static constexpr float DEFAULT_PIXEL_SIZE = 16.0f;

        GraphicsEngine();
        ~GraphicsEngine();
        GraphicsEngine(const GraphicsEngine&) = delete;
        GraphicsEngine& operator=(const GraphicsEngine&) = delete;

        // False when a post pass's shaders are missing or the state stack cannot be set up;
        // drawers without their shaders stay unloaded and do not fail it.
        bool Init();

        SpriteDrawer& GetSpriteDrawer() const { return *mySpriteDrawer; }
        ModelDrawer& GetModelDrawer() const { return *myModelDrawer; }
        GraphicsStateStack& GetGraphicsStateStack() const { return *myGraphicsStateStack; }
        FullscreenPixelateEffect* GetPixelateEffect() const { return myPixelateEffect.get(); }

        CustomShapeDrawer* GetCustomShapeDrawer() const { return myCustomShapeDrawer.get(); }
        LineDrawer* GetLineDrawer() const { return myLineDrawer.get(); }
        FullscreenEffect* GetCopyEffect() const { return myCopyEffect.get(); }
        FullscreenEffect* GetTonemapEffect() const { return myTonemapEffect.get(); }
        FullscreenEffect* GetGaussianVerticalEffect() const { return myGaussianVerticalEffect.get(); }
        FullscreenEffect* GetGaussianHorizontalEffect() const { return myGaussianHorizontalEffect.get(); }
        bool HasGraphicsStateStack() const { return myGraphicsStateStack != nullptr; }
        bool IsInitialized() const { return myIsInitialized; }

    private:
        std::unique_ptr<SpriteDrawer> mySpriteDrawer;
        std::unique_ptr<ModelDrawer> myModelDrawer;
        std::unique_ptr<CustomShapeDrawer> myCustomShapeDrawer;
        std::unique_ptr<LineDrawer> myLineDrawer;
        std::unique_ptr<GraphicsStateStack> myGraphicsStateStack;
        std::unique_ptr<FullscreenEffect> myCopyEffect;
        std::unique_ptr<FullscreenEffect> myTonemapEffect;
        std::unique_ptr<FullscreenEffect> myGaussianVerticalEffect;
        std::unique_ptr<FullscreenEffect> myGaussianHorizontalEffect;
        std::unique_ptr<FullscreenPixelateEffect> myPixelateEffect;
        bool myIsInitialized = false;
    };
}
