#pragma once
#include "level/ParallaxSprite.h"

#include "Math/Matrix4x4.h"
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

class FoxSneakEvent;

// The level's flat scenery in three layers drawn at three moments of the level's render: the
// back layer before the level's objects, the middle layer between the bird and the pogo pads,
// the front layer near the end. Back and front sprites shift with the camera in proportion to
// their depth; sprites far from the view are hidden once the layers are enabled.
class ParallaxLayers
{
public:
    static constexpr int FRONT_LAYER = 0;
    static constexpr int MIDDLE_LAYER = 1;
    static constexpr int BACK_LAYER = 2;
    // Half the 1600 x 900 view.
    static constexpr float VIEW_HALF_WIDTH = 800.0f;
    static constexpr float VIEW_HALF_HEIGHT = 450.0f;
    static constexpr float BACK_EASING = 0.4f;
    static constexpr float DEPTH_X_DIVISOR = 1000.0f;
    static constexpr float DEPTH_Y_DIVISOR = 2000.0f;

    // Seeds the depth jitter from the random device; the loader may run on a task, so the jitter
    // has a generator of its own.
    ParallaxLayers();
    ParallaxLayers(const ParallaxLayers&) = delete;
    ParallaxLayers& operator=(const ParallaxLayers&) = delete;

    // aSize scales the transform's first two rows; layers other than 0, 1 and 2 add nothing.
    void AddSprite(const int& aLayer, const char* aTexturePath, const Vra::Vector2f& aSize, const Vra::Matrix4x4& aTransform);
    void AddFoxEvent(std::shared_ptr<FoxSneakEvent> aFoxEvent);
    // Empties the foxes, the textures, the layers and forgets the cutscene sprite.
    void Clear();
    // Far sprites (largest depth) first in every layer.
    void SortByDepth();
    void Enable();

    // The sprite belongs to a cutscene event of the level; Clear forgets it.
    void SetCutsceneSprite(const Vra::SpriteSharedData* aSpriteData, const Vra::Sprite3DInstanceData* aSprite);
    void StartFade();

    void Update(const Vra::Vector2f& aCameraPosition);
    void RenderBack() const;
    void RenderMiddle() const;
    void RenderFront() const;

    // A generator for the depth jitter in tests.
    void SeedJitter(std::uint32_t aSeed) { myGenerator.seed(aSeed); }

    const std::vector<ParallaxSprite>& GetLayer(int aLayer) const;
    // The layer's sprites to change in place; null for a layer other than 0, 1 and 2.
    std::vector<ParallaxSprite>* FindLayer(int aLayer);
    const std::vector<Vra::SpriteSharedData>& GetTextures() const { return myTextures; }
    const std::vector<std::shared_ptr<FoxSneakEvent>>& GetFoxEvents() const { return myFoxEvents; }
    float GetParallaxFactor() const { return myParallaxFactor; }
    bool IsEnabled() const { return myIsEnabled; }
    bool IsShowingCutsceneSprite() const { return myShowCutsceneSprite; }
    const Vra::Sprite3DInstanceData* GetCutsceneSprite() const { return myCutsceneSprite; }

private:
    Vra::Vector2f GetOffset(float aZ, const Vra::Vector2f& aCameraPosition) const;
    void Cull(std::vector<ParallaxSprite>& someSprites, const Vra::Vector2f& aCameraPosition);
    void RenderLayer(const std::vector<ParallaxSprite>& someSprites, bool anIsFront) const;

    std::vector<Vra::SpriteSharedData> myTextures;
    std::vector<std::shared_ptr<FoxSneakEvent>> myFoxEvents;
    std::vector<ParallaxSprite> myBackLayer;
    std::vector<ParallaxSprite> myFrontLayer;
    std::vector<ParallaxSprite> myMiddleLayer;
    const Vra::SpriteSharedData* myCutsceneSpriteData = nullptr;
    const Vra::Sprite3DInstanceData* myCutsceneSprite = nullptr;
    float myParallaxFactor = 0.0f;
    bool myIsEnabled = false;
    bool myShowCutsceneSprite = false;
    std::mt19937 myGenerator;
};
