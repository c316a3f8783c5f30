#pragma once
#include "events/TriggeredEvent.h"

#include "drawers/SpriteInstanceData.h"

#include <memory>

class ParallaxLayers;
class Player;
class SceneStateStack;

namespace Vra
{
    class Camera;
}

// Puts the bird into a cutscene. The outro (kind 2) also runs the level's ending: the music
// fades to the outro theme, the bird squeaks twice, the closing text fades in over the front
// layer, and after 30 s the level's layer is popped back to the main menu.
class CutsceneEvent : public TriggeredEvent
{
public:
    static constexpr const char* TEXT_TEXTURE = "sprites/S_UI_Outro_Text.dds";
    static constexpr int KIND_INTRO = 1;
    static constexpr int KIND_OUTRO = 2;
    static constexpr int KIND_POWER_UP = 3;
    static constexpr float OUTRO_TIME = 30.0f;
    static constexpr float TEXT_SCALE = 0.8f;
    static constexpr float TEXT_Z = -999.0f;

    using TriggeredEvent::Init;
    void Init(Player* aPlayer, const int& anOrder, int aKind, SceneStateStack* aSceneStateStack, std::shared_ptr<Vra::Camera> aCamera,
              ParallaxLayers* someParallaxLayers);

    void Update(float aDeltaTime) override;
    void OnTriggerEnter() override;

    int GetKind() const { return myKind; }
    float GetOutroCountdown() const { return myOutroCountdown; }
    float GetTimer() const { return myTimer; }
    int GetSqueakStage() const { return mySqueakStage; }
    const Vra::Sprite3DInstanceData& GetSprite() const { return mySprite; }
    const Vra::SpriteSharedData& GetSpriteData() const { return mySpriteData; }
    float GetWidth() const { return myWidth; }
    float GetHeight() const { return myHeight; }

private:
    void UpdateOutro(float aDeltaTime);
    void UpdateSqueaks();
    void EndLevel();

    Vra::Sprite3DInstanceData mySprite;
    Vra::SpriteSharedData mySpriteData;
    float myWidth = 0.0f;
    float myHeight = 0.0f;
    std::shared_ptr<Vra::Camera> myCamera;
    Player* myPlayer = nullptr;
    SceneStateStack* mySceneStateStack = nullptr;
    ParallaxLayers* myParallaxLayers = nullptr;
    int myKind = 0;
    float myOutroCountdown = 0.0f;
    float myTimer = 0.0f;
    int mySqueakStage = 0;
    bool myHasStartedMusic = false;
    bool myHasFadedOutro = false;
    bool myHasEnded = false;
};
