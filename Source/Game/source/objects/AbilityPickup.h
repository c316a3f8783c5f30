#pragma once
#include "Vector3.h"
#include "Vector4.h"
#include "drawers/SpriteInstanceData.h"
#include "model/ModelInstance.h"

#include <string>

namespace Vra
{
    class TextureResource;
}

// A floating feather that unlocks the dash, the wall jump or the double jump when the bird
// touches it.
class AbilityPickup
{
public:
    static constexpr const char* TEXTURE = "Sprites/S_UI_Feather.dds";
    static constexpr float SPRITE_HEIGHT = 50.0f;

    AbilityPickup();

    // aKind 1 "Dash", 2 "WallJump", 3 "DoubleJump"; any other kind unlocks nothing.
    void Init(const Vra::ModelInstance& aSource, const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector,
              float aRadius, int aKind);
    std::string GetName() const { return myName; }
    // A sphere (x, y, z, radius) one radius above the position.
    CommonUtilities::Vector4 GetBounds() const;
    void Update(float aDeltaTime);
    void Render();

    const CommonUtilities::Vector3f& GetPosition() const { return myPosition; }
    const CommonUtilities::Vector3f& GetSecondVector() const { return mySecondVector; }
    float GetRadius() const { return myRadius; }
    const Vra::Sprite2DInstanceData& GetSprite() const { return mySprite; }
    const Vra::ModelInstance& GetSource() const { return mySource; }

private:
    std::string myName;
    CommonUtilities::Vector3f myPosition{ 0.0f, 0.0f, 0.0f };
    CommonUtilities::Vector3f mySecondVector{ 0.0f, 0.0f, 0.0f };
    float myRadius = 0.0f;
    Vra::Vector2<float> myHome;
    float myAmplitudeX = 0.0f;
    float myAmplitudeY = 10.0f;
    // Radians.
    float mySwayAmplitude = 0.25f;
    // Radians per second.
    float mySwayFrequency = 2.5f;
    float myBobFrequency = 1.5f;
    float myTime = 0.0f;
    Vra::Sprite2DInstanceData mySprite;
    Vra::TextureResource* myTexture = nullptr;
    Vra::ModelInstance mySource;
};
