#include "objects/IcicleSystem.h"

#include "audio/AudioManager.h"
#include "effects/VfxManager.h"
#include "objects/TextureLookup.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "player/Sphere.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "properties/CopyOnWriteWrapper.h"
#include "properties/PropertyType.h"
#include "properties/SceneSprite.h"
#include "scene/SceneObject.h"
#include "settings/Settings.h"

#include <cmath>
#include <iostream>
#include <string>
#include <string_view>

namespace
{
    constexpr float RADIANS_PER_DEGREE = 0.017453292f;
    constexpr float UNIT = 100.0f;
    constexpr float SHAKE_SPEED = 20.0f;
    constexpr float SHAKE_DEGREES = 10.0f;

    template <typename T>
    const T* FindValue(const std::vector<Vra::PropertyDefinition>& someProperties, std::string_view aKey)
    {
        for (const Vra::PropertyDefinition& property : someProperties)
        {
            if (property.myName && property.myName.View() == aKey && property.myValue.Holds<T>())
            {
                return &property.myValue.Get<T>();
            }
        }
        return nullptr;
    }

    float RowLength(const Vra::Matrix4x4& aMatrix, int aRow)
    {
        return std::sqrt(aMatrix(aRow, 1) * aMatrix(aRow, 1) + aMatrix(aRow, 2) * aMatrix(aRow, 2) + aMatrix(aRow, 3) * aMatrix(aRow, 3));
    }

    // The rotation rows become aRotation's, each keeping its own length (the sprite's size).
    void SetRotation(Vra::Matrix4x4& aTransform, const Vra::Matrix4x4& aRotation)
    {
        for (int row = 1; row <= 3; ++row)
        {
            const float length = RowLength(aTransform, row);
            for (int column = 1; column <= 3; ++column)
            {
                aTransform(row, column) = aRotation(row, column) * length;
            }
        }
    }

    void SetTranslation(Vra::Matrix4x4& aTransform, const CommonUtilities::Vector3f& aPoint)
    {
        aTransform(4, 1) = aPoint.x;
        aTransform(4, 2) = aPoint.y;
        aTransform(4, 3) = aPoint.z;
    }

    // A box of half width aHalfWidth around x, from aBottom up to aTop, one unit deep from z.
    Box MakeBox(const CommonUtilities::Vector3f& aTop, float aHalfWidth, float aBottom, float aTopY)
    {
        return { { aTop.x - aHalfWidth, aBottom, aTop.z }, { aTop.x + aHalfWidth, aTopY, aTop.z + IcicleSystem::BOX_DEPTH } };
    }
}

Vra::Matrix4x4 EulerDegreesToQuaternion(float anX, float aY, float aZ)
{
    const float halfX = anX * RADIANS_PER_DEGREE * 0.5f;
    const float halfY = aY * RADIANS_PER_DEGREE * 0.5f;
    const float halfZ = aZ * RADIANS_PER_DEGREE * 0.5f;
    const float cx = std::cos(halfX), sx = std::sin(halfX);
    const float cy = std::cos(halfY), sy = std::sin(halfY);
    const float cz = std::cos(halfZ), sz = std::sin(halfZ);
    const float w = cx * cy * cz + sx * sy * sz;
    const float x = sx * cy * cz - cx * sy * sz;
    const float y = cx * sy * cz + sx * cy * sz;
    const float z = cx * cy * sz - sx * sy * cz;

    // Rows are the rotated axes (points are row vectors).
    Vra::Matrix4x4 rotation;
    rotation(1, 1) = 1.0f - 2.0f * (y * y + z * z);
    rotation(1, 2) = 2.0f * (x * y + w * z);
    rotation(1, 3) = 2.0f * (x * z - w * y);
    rotation(2, 1) = 2.0f * (x * y - w * z);
    rotation(2, 2) = 1.0f - 2.0f * (x * x + z * z);
    rotation(2, 3) = 2.0f * (y * z + w * x);
    rotation(3, 1) = 2.0f * (x * z + w * y);
    rotation(3, 2) = 2.0f * (y * z - w * x);
    rotation(3, 3) = 1.0f - 2.0f * (x * x + y * y);
    return rotation;
}

void IcicleSystem::Load(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
{
    const CommonUtilities::Vector3f position(anObject.myTranslation.x, anObject.myTranslation.y, anObject.myTranslation.z);
    const Vra::Vector3<float>& scale = anObject.myScale;

    if (const float* dropDelay = FindValue<float>(someProperties, "DropDelay"))
    {
        myDropDelay = *dropDelay;
    }
    if (const float* gravity = FindValue<float>(someProperties, "Gravity"))
    {
        myGravity = *gravity;
    }
    if (const Vra::Vector2<float>* trigger = FindValue<Vra::Vector2<float>>(someProperties, "Trigger"))
    {
        myTriggerHalfWidth = trigger->x * UNIT * 0.5f;
        myTriggerHeight = trigger->y * UNIT;
    }
    if (const Vra::Vector2<float>* hitbox = FindValue<Vra::Vector2<float>>(someProperties, "Hitbox"))
    {
        // The hit width is used as a half width as it stands.
        myHitHalfWidth = hitbox->x * UNIT;
        myHitHeight = hitbox->y * UNIT;
    }

    // The sprite's size and pivot, scaled like the object; the pivot lands on the icicle's top.
    Vra::Vector2<float> spriteSize{ UNIT, UNIT };
    for (const Vra::PropertyDefinition& property : someProperties)
    {
        if (!property.myValue.Holds<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>())
        {
            continue;
        }
        const Vra::SceneSprite& sprite = property.myValue.Get<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>().Get();
        spriteSize = { sprite.mySize.x * scale.x, sprite.mySize.y * scale.y };
        mySpriteOffset = { sprite.myPivot.x * spriteSize.x, -sprite.myPivot.y * spriteSize.y, 0.0f };
        const Vra::StringId texturePath = sprite.myTextures[0];
        if (texturePath)
        {
            myTexture = LoadSrgbTexture(std::string(texturePath.View()).c_str());
        }
        else
        {
            std::cout << "Icicle without a sprite texture: " << anObject.myName << std::endl;
        }
        break;
    }

    Vra::Sprite3DInstanceData sprite;
    sprite.myTransform(1, 1) = spriteSize.x;
    sprite.myTransform(2, 2) = spriteSize.y;
    SetRotation(sprite.myTransform, EulerDegreesToQuaternion(anObject.myRotation.x, anObject.myRotation.y, anObject.myRotation.z));
    SetTranslation(sprite.myTransform, position - mySpriteOffset);

    myIsTriggered.push_back(false);
    myIsFalling.push_back(false);
    myTimers.push_back(0.0f);
    myVelocities.push_back(0.0f);
    myPositions.push_back({ position });
    mySprites.push_back(sprite);
}

void IcicleSystem::Update(Player& aPlayer)
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (engine != nullptr)
    {
        Update(aPlayer, engine->GetDeltaTime(), engine->GetTotalTime());
    }
}

void IcicleSystem::Update(Player& aPlayer, float aDeltaTime, float aTotalTime)
{
    for (std::size_t index = 0; index < myPositions.size();)
    {
        // A broken icicle's slot now holds the former last one, which is visited next.
        if (UpdateIcicle(index, aPlayer, aDeltaTime, aTotalTime))
        {
            ++index;
        }
    }
}

bool IcicleSystem::UpdateIcicle(std::size_t anIndex, Player& aPlayer, float aDeltaTime, float aTotalTime)
{
    IciclePosition& icicle = myPositions[anIndex];
    const CommonUtilities::Vector3f& top = icicle.myPosition;
    const CommonUtilities::Vector3f target = aPlayer.GetCameraTarget();
    Vra::Sprite3DInstanceData& sprite = mySprites[anIndex];

    if (!myIsTriggered[anIndex] && !myIsFalling[anIndex])
    {
        const Box reach = MakeBox(top, myTriggerHalfWidth, top.y - myTriggerHeight, top.y);
        if (SquaredDistanceToBox(reach, target) <= REACH_SQUARED)
        {
            myIsTriggered[anIndex] = true;
        }
        myTimers[anIndex] = myDropDelay;
        return true;
    }
    if (myIsTriggered[anIndex])
    {
        // The shake fades as the delay runs out.
        icicle.myShakeAngle = std::sin(aTotalTime * SHAKE_SPEED) * SHAKE_DEGREES * myTimers[anIndex];
        myTimers[anIndex] -= aDeltaTime;
        if (myTimers[anIndex] < 0.0f)
        {
            myIsFalling[anIndex] = true;
            myIsTriggered[anIndex] = false;
            myTimers[anIndex] = FALL_LIFE;
            icicle.myShakeAngle = 0.0f;
        }
        SetRotation(sprite.myTransform, EulerDegreesToQuaternion(0.0f, 0.0f, icicle.myShakeAngle));
        return true;
    }

    myVelocities[anIndex] += aDeltaTime * myGravity;
    icicle.myPosition.y -= myVelocities[anIndex] * aDeltaTime;
    SetTranslation(sprite.myTransform, icicle.myPosition - mySpriteOffset);

    const Box hit = MakeBox(top, myHitHalfWidth, top.y - myHitHeight, top.y);
    const bool hitPlayer = SquaredDistanceToBox(hit, target) <= REACH_SQUARED;
    if (hitPlayer)
    {
        aPlayer.Kill();
    }
    const Box tip = MakeBox(top, myHitHalfWidth, top.y - myHitHeight, top.y - myHitHeight * 0.5f);
    const bool hitWall = myCollisionSet != nullptr && myCollisionSet->Overlaps(tip);
    myTimers[anIndex] -= aDeltaTime;
    if (hitWall || hitPlayer || myTimers[anIndex] <= 0.0f)
    {
        Break(anIndex);
        return false;
    }
    return true;
}

void IcicleSystem::Break(std::size_t anIndex)
{
    const CommonUtilities::Vector3f& top = myPositions[anIndex].myPosition;
    VfxManager::GetInstance().Spawn("Icicle_Break", Vra::Vector2<float>(top.x, top.y - myHitHeight + BREAK_EFFECT_HEIGHT), false, false, 0.0f);
    AudioManager::GetInstance().Play("Icicle_Break", true, 1.0f);
    Remove(anIndex);
}

void IcicleSystem::Remove(std::size_t anIndex)
{
    const std::size_t last = myPositions.size() - 1;
    myIsTriggered[anIndex] = myIsTriggered[last];
    myIsFalling[anIndex] = myIsFalling[last];
    myTimers[anIndex] = myTimers[last];
    myVelocities[anIndex] = myVelocities[last];
    myPositions[anIndex] = myPositions[last];
    mySprites[anIndex] = mySprites[last];
    myIsTriggered.pop_back();
    myIsFalling.pop_back();
    myTimers.pop_back();
    myVelocities.pop_back();
    myPositions.pop_back();
    mySprites.pop_back();
}

void IcicleSystem::Render()
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (engine == nullptr || engine->GetGraphicsEngine() == nullptr || myTexture == nullptr || mySprites.empty())
    {
        return;
    }
    Vra::GraphicsStateStack& states = engine->GetGraphicsEngine()->GetGraphicsStateStack();
    states.Push();
    states.SetSamplerState(Vra::SamplerFilter::Linear, Vra::SamplerAddressMode::Border);
    states.SetDepthStencilState(Vra::DepthStencilState::ReadOnlyLess);
    states.SetBlendState(Vra::BlendState::AlphaBlend);
    Vra::SpriteSharedData sharedData;
    sharedData.myColorTexture = myTexture;
    {
        Vra::SpriteBatchScope batch = engine->GetGraphicsEngine()->GetSpriteDrawer().BeginBatch(sharedData);
        batch.Draw(mySprites.data(), mySprites.size());
    }
    states.Pop();
}
