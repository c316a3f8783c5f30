#include "level/ParallaxLayers.h"

#include "events/FoxSneakEvent.h"
#include "shell/RandomFloat.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureManager.h"

#include <algorithm>
#include <cmath>

namespace
{
    Vra::Vector3f Row(const Vra::Matrix4x4& aMatrix, int aRow)
    {
        return { aMatrix(aRow, 1), aMatrix(aRow, 2), aMatrix(aRow, 3) };
    }

    void ScaleRow(Vra::Matrix4x4& aMatrix, int aRow, float aFactor)
    {
        for (int column = 1; column <= 4; ++column)
        {
            aMatrix(aRow, column) *= aFactor;
        }
    }

    // aVector turned by the rotation whose axes are the normalised rows of aTransform.
    Vra::Vector3f Rotate(const Vra::Vector3f& aVector, const Vra::Matrix4x4& aTransform)
    {
        const Vra::Vector3f x = Row(aTransform, 1).GetNormalized();
        const Vra::Vector3f y = Row(aTransform, 2).GetNormalized();
        const Vra::Vector3f z = Row(aTransform, 3).GetNormalized();
        return x * aVector.x + y * aVector.y + z * aVector.z;
    }

    Vra::GraphicsEngine* GetGraphicsEngine()
    {
        Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine ? engine->GetGraphicsEngine() : nullptr;
    }
}

ParallaxLayers::ParallaxLayers()
    : myGenerator(MakeRandomSeed())
{
}

std::vector<ParallaxSprite>* ParallaxLayers::FindLayer(int aLayer)
{
    switch (aLayer)
    {
    case FRONT_LAYER:
        return &myFrontLayer;
    case MIDDLE_LAYER:
        return &myMiddleLayer;
    case BACK_LAYER:
        return &myBackLayer;
    default:
        return nullptr;
    }
}

const std::vector<ParallaxSprite>& ParallaxLayers::GetLayer(int aLayer) const
{
    static const std::vector<ParallaxSprite> none;
    std::vector<ParallaxSprite>* const layer = const_cast<ParallaxLayers*>(this)->FindLayer(aLayer);
    return layer ? *layer : none;
}

void ParallaxLayers::AddSprite(const int& aLayer, const char* aTexturePath, const Vra::Vector2f& aSize, const Vra::Matrix4x4& aTransform)
{
    std::vector<ParallaxSprite>* const layer = FindLayer(aLayer);
    if (!layer)
    {
        return;
    }
    Vra::TextureResource* texture = nullptr;
    if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
    {
        texture = engine->GetTextureManager()->GetTexture(aTexturePath, Vra::TextureSrgbMode::ForceSrgb);
    }
    const auto found = std::find_if(myTextures.begin(), myTextures.end(),
                                    [texture](const Vra::SpriteSharedData& aData) { return aData.myColorTexture == texture; });
    ParallaxSprite sprite;
    sprite.myTextureIndex = static_cast<std::int32_t>(found - myTextures.begin());
    if (found == myTextures.end())
    {
        Vra::SpriteSharedData data;
        data.myColorTexture = texture;
        myTextures.push_back(data);
    }

    Vra::Matrix4x4 world = aTransform;
    ScaleRow(world, 1, aSize.x);
    ScaleRow(world, 2, aSize.y);
    sprite.mySprite.myTransform = world;

    const Vra::Vector3f translation = world.GetTranslation();
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    sprite.myDepth = translation.z + (2.0f * unit(myGenerator) - 1.0f);
    sprite.myBaseX = translation.x;
    sprite.myBaseY = translation.y;
    sprite.myAuthoredZ = translation.z;

    // The quad spans x 0..1 and y -1..0 of its transform: it hangs below and right of its
    // translation, so its centre is half a width across and half a height down.
    const Vra::Vector3f scale{ Row(world, 1).Length(), Row(world, 2).Length(), Row(world, 3).Length() };
    const Vra::Vector3f upper = Rotate({ scale.x / 2.0f, scale.y / 2.0f, scale.z / 2.0f }, world);
    const Vra::Vector3f lower = Rotate({ scale.x / 2.0f, -scale.y / 2.0f, scale.z / 2.0f }, world);
    sprite.myHalfWidth = std::max(std::abs(upper.x), std::abs(lower.x));
    sprite.myHalfHeight = std::max(std::abs(upper.y), std::abs(lower.y));
    sprite.myCenterX = translation.x + lower.x;
    sprite.myCenterY = translation.y + lower.y;
    layer->push_back(sprite);
}

void ParallaxLayers::AddFoxEvent(std::shared_ptr<FoxSneakEvent> aFoxEvent)
{
    myFoxEvents.push_back(std::move(aFoxEvent));
}

void ParallaxLayers::Clear()
{
    myFoxEvents.clear();
    myTextures.clear();
    myBackLayer.clear();
    myFrontLayer.clear();
    myMiddleLayer.clear();
    // The cutscene sprite belongs to an event that the reload destroys.
    myCutsceneSpriteData = nullptr;
    myCutsceneSprite = nullptr;
    myShowCutsceneSprite = false;
}

void ParallaxLayers::SortByDepth()
{
    const auto fartherFirst = [](const ParallaxSprite& aLeft, const ParallaxSprite& aRight) { return aLeft.myDepth > aRight.myDepth; };
    std::stable_sort(myBackLayer.begin(), myBackLayer.end(), fartherFirst);
    std::stable_sort(myFrontLayer.begin(), myFrontLayer.end(), fartherFirst);
    std::stable_sort(myMiddleLayer.begin(), myMiddleLayer.end(), fartherFirst);
}

void ParallaxLayers::Enable()
{
    myParallaxFactor = 1.0f;
    myIsEnabled = true;
}

void ParallaxLayers::SetCutsceneSprite(const Vra::SpriteSharedData* aSpriteData, const Vra::Sprite3DInstanceData* aSprite)
{
    myCutsceneSpriteData = aSpriteData;
    myCutsceneSprite = aSprite;
}

void ParallaxLayers::StartFade()
{
    myShowCutsceneSprite = true;
}

Vra::Vector2f ParallaxLayers::GetOffset(float aZ, const Vra::Vector2f& aCameraPosition) const
{
    return { myParallaxFactor * aCameraPosition.x * aZ / DEPTH_X_DIVISOR, myParallaxFactor * aCameraPosition.y * aZ / DEPTH_Y_DIVISOR };
}

void ParallaxLayers::Update(const Vra::Vector2f& aCameraPosition)
{
    for (const std::shared_ptr<FoxSneakEvent>& fox : myFoxEvents)
    {
        if (fox->IsTriggered())
        {
            fox->SetPosition(GetOffset(fox->GetStartPosition().z, aCameraPosition));
        }
    }
    for (ParallaxSprite& sprite : myBackLayer)
    {
        const Vra::Vector2f offset = GetOffset(sprite.myAuthoredZ, aCameraPosition);
        const Vra::Vector3f target{ sprite.myBaseX + offset.x, sprite.myBaseY + offset.y, sprite.myDepth };
        const Vra::Vector3f current = sprite.mySprite.myTransform.GetTranslation();
        sprite.mySprite.myTransform.SetTranslation(current + (target - current) * BACK_EASING);
    }
    for (ParallaxSprite& sprite : myFrontLayer)
    {
        const Vra::Vector2f offset = GetOffset(sprite.myAuthoredZ, aCameraPosition);
        sprite.mySprite.myTransform.SetTranslation({ sprite.myBaseX + offset.x, sprite.myBaseY + offset.y, sprite.myDepth });
    }
    Cull(myBackLayer, aCameraPosition);
    Cull(myMiddleLayer, aCameraPosition);
    Cull(myFrontLayer, aCameraPosition);
}

void ParallaxLayers::Cull(std::vector<ParallaxSprite>& someSprites, const Vra::Vector2f& aCameraPosition)
{
    for (ParallaxSprite& sprite : someSprites)
    {
        // Where the sprite is drawn this frame: the back layer is still easing toward its shift.
        const Vra::Vector3f translation = sprite.mySprite.myTransform.GetTranslation();
        const Vra::Vector2f offset{ translation.x - sprite.myBaseX, translation.y - sprite.myBaseY };
        const bool isOutside = std::abs(sprite.myCenterX + offset.x - aCameraPosition.x) > sprite.myHalfWidth + VIEW_HALF_WIDTH ||
                               std::abs(sprite.myCenterY + offset.y - aCameraPosition.y) > sprite.myHalfHeight + VIEW_HALF_HEIGHT;
        sprite.mySprite.myIsHidden = myIsEnabled && isOutside;
    }
}

void ParallaxLayers::RenderLayer(const std::vector<ParallaxSprite>& someSprites, bool anIsFront) const
{
    Vra::GraphicsEngine* const graphics = GetGraphicsEngine();
    if (!graphics)
    {
        return;
    }
    Vra::GraphicsStateStack& state = graphics->GetGraphicsStateStack();
    state.Push();
    state.SetSamplerState(Vra::SamplerFilter::Linear, Vra::SamplerAddressMode::Border);
    state.SetDepthStencilState(Vra::DepthStencilState::ReadOnlyLessEqual);
    state.SetBlendState(Vra::BlendState::AlphaBlend);
    for (const ParallaxSprite& sprite : someSprites)
    {
        if (sprite.mySprite.myIsHidden)
        {
            continue;
        }
        Vra::SpriteBatchScope batch = graphics->GetSpriteDrawer().BeginBatch(myTextures[static_cast<std::size_t>(sprite.myTextureIndex)]);
        batch.Draw(sprite.mySprite);
    }
    if (anIsFront && myShowCutsceneSprite && myCutsceneSprite && myCutsceneSpriteData)
    {
        Vra::SpriteBatchScope batch = graphics->GetSpriteDrawer().BeginBatch(*myCutsceneSpriteData);
        batch.Draw(*myCutsceneSprite);
    }
    state.Pop();
}

void ParallaxLayers::RenderBack() const
{
    RenderLayer(myBackLayer, false);
}

void ParallaxLayers::RenderMiddle() const
{
    RenderLayer(myMiddleLayer, false);
}

void ParallaxLayers::RenderFront() const
{
    RenderLayer(myFrontLayer, true);
}
