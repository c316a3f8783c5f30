#include "objects/AbilityPickup.h"

#include "objects/TextureLookup.h"
#include "overlays/DrawSprite.h"

#include <cmath>

namespace
{
    constexpr std::uint32_t SPRITE_SIZE_DIVISOR = 18;

    std::string NameOfKind(int aKind)
    {
        switch (aKind)
        {
        case 1: return "Dash";
        case 2: return "WallJump";
        case 3: return "DoubleJump";
        default: return "";
        }
    }
}

AbilityPickup::AbilityPickup()
{
    mySprite.myPivot = { 0.5f, 0.5f };
}

void AbilityPickup::Init(const Vra::ModelInstance& aSource, const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector,
                         float aRadius, int aKind)
{
    mySource = aSource;
    myPosition = aPosition;
    mySecondVector = aSecondVector;
    myRadius = aRadius;
    myName = NameOfKind(aKind);
    myTexture = LoadSrgbTexture(TEXTURE);
    myHome = { aPosition.x, aPosition.y + SPRITE_HEIGHT };
    mySprite.myPosition = myHome;
    mySprite.myPivot = { 0.5f, 0.5f };
    const Vra::Vector2<std::uint32_t> size = GetTextureSize(myTexture);
    mySprite.mySize = { static_cast<float>(size.x / SPRITE_SIZE_DIVISOR), static_cast<float>(size.y / SPRITE_SIZE_DIVISOR) };
    mySprite.myColor = { 1.0f, 1.0f, 1.0f, 1.0f };
}

CommonUtilities::Vector4 AbilityPickup::GetBounds() const
{
    return { myPosition.x, myPosition.y + myRadius, myPosition.z, myRadius };
}

void AbilityPickup::Update(float aDeltaTime)
{
    myTime += aDeltaTime;
    mySprite.myRotation = std::sin(myTime * mySwayFrequency) * mySwayAmplitude;
    const float bob = std::sin(myTime * myBobFrequency);
    mySprite.myPosition = { myHome.x + bob * myAmplitudeX, myHome.y + bob * myAmplitudeY };
}

void AbilityPickup::Render()
{
    Vra::SpriteDrawer* const drawer = FindSpriteDrawer();
    if (drawer != nullptr && myTexture != nullptr)
    {
        Vra::SpriteSharedData sharedData;
        sharedData.myColorTexture = myTexture;
        DrawSprite(*drawer, sharedData, mySprite);
    }
}
