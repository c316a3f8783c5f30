#pragma once
#include "player/Box.h"

#include "drawers/SpriteInstanceData.h"

// The level's respawn point: the box the bird touches and the sprite that breaks open once reached.
struct Checkpoint
{
    static constexpr const char* TEXTURE = "Sprites/A_checkpointBreak.dds";
    static constexpr int LAST_FRAME = 15;

    Box myBox;
    bool myIsReached = false;
    Vra::Sprite2DInstanceData mySprite;
    Vra::SpriteSharedData mySpriteData;
    int myFrame = 0;
    float myFrameTime = 1.0f / 24.0f;
    float myTimer = 0.0f;
};
