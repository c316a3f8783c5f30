#pragma once
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

// An on/off sprite of the options screen ("FULLSCREEN MODE", "SPEEDRUN MODE").
class Checkbox
{
public:
    static constexpr const char* UNCHECKED_TEXTURE = "sprites/S_UI_Checkbox_Unchecked.dds";
    static constexpr const char* CHECKED_TEXTURE = "sprites/S_UI_Checkbox_Checked.dds";

    Checkbox() = default;

    // Left-centre pivot at aPosition, half the unchecked texture's size.
    void Init(const Vra::Vector2f& aPosition, bool anIsChecked);
    void SetChecked(bool anIsChecked) { myIsChecked = anIsChecked; }
    bool IsChecked() const { return myIsChecked; }
    void Render() const;

    const Vra::Sprite2DInstanceData& GetSprite() const { return mySprite; }
    // The data the box draws with now.
    const Vra::SpriteSharedData& GetCurrentSpriteData() const { return myIsChecked ? myCheckedSpriteData : myUncheckedSpriteData; }

private:
    bool myIsChecked = false;
    Vra::Sprite2DInstanceData mySprite;
    Vra::SpriteSharedData myUncheckedSpriteData;
    Vra::SpriteSharedData myCheckedSpriteData;
};
