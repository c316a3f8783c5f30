#include "events/CutsceneEvent.h"

#include "audio/AudioManager.h"
#include "level/ParallaxLayers.h"
#include "overlays/SpeedrunTimer.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "graphics/Camera.h"
#include "graphics/TextureManager.h"

#include <algorithm>

namespace
{
    constexpr float FIRST_SQUEAK_TIME = 5.0f;
    constexpr float SECOND_SQUEAK_TIME = 5.5f;
    constexpr float MUSIC_FADE_TIME = 5.0f;
    constexpr float TEXT_FADE_TIME = 10.0f;
}

void CutsceneEvent::Init(Player* aPlayer, const int& anOrder, int aKind, SceneStateStack* aSceneStateStack, std::shared_ptr<Vra::Camera> aCamera,
                         ParallaxLayers* someParallaxLayers)
{
    myPlayer = aPlayer;
    myOrder = anOrder;
    myKind = aKind;
    mySceneStateStack = aSceneStateStack;
    myCamera = std::move(aCamera);
    myParallaxLayers = someParallaxLayers;
    myIsTriggered = false;

    if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
    {
        mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(TEXT_TEXTURE, Vra::TextureSrgbMode::AsFile);
        const Vra::Vector2<std::uint32_t> size = mySpriteData.myColorTexture->GetSize();
        myWidth = TEXT_SCALE * static_cast<float>(size.x);
        myHeight = TEXT_SCALE * static_cast<float>(size.y);
    }
    mySprite.myTransform = Vra::Matrix4x4::CreateScale({ myWidth, myHeight, 1.0f });
    // White, and transparent until the closing text fades in.
    mySprite.myColor = { 1.0f, 1.0f, 1.0f, 0.0f };
    if (myKind == KIND_OUTRO)
    {
        myOutroCountdown = OUTRO_TIME;
    }
}

void CutsceneEvent::OnTriggerEnter()
{
    if (myIsTriggered)
    {
        return;
    }
    if (myPlayer)
    {
        myPlayer->EnterCutscene(myKind);
    }
    if (myParallaxLayers)
    {
        myParallaxLayers->SetCutsceneSprite(&mySpriteData, &mySprite);
    }
    myIsTriggered = true;
}

void CutsceneEvent::Update(float aDeltaTime)
{
    myTimer += aDeltaTime;
    if (myKind != KIND_OUTRO)
    {
        return;
    }
    if (!myHasStartedMusic)
    {
        myHasStartedMusic = true;
        AudioManager& audio = AudioManager::GetInstance();
        audio.FadeOutAll(1.5f);
        audio.FadeIn("Outro", "Outro", 3.0f);
    }
    UpdateSqueaks();
    if (myIsTriggered)
    {
        UpdateOutro(aDeltaTime);
    }
}

void CutsceneEvent::UpdateSqueaks()
{
    if (myTimer >= FIRST_SQUEAK_TIME && mySqueakStage == 0)
    {
        mySqueakStage = 1;
        AudioManager::GetInstance().Play("Squeak", true, 1.0f);
    }
    else if (myTimer >= SECOND_SQUEAK_TIME && mySqueakStage == 1)
    {
        mySqueakStage = 2;
        AudioManager::GetInstance().Play("Squeak", true, 1.0f);
    }
}

void CutsceneEvent::UpdateOutro(float aDeltaTime)
{
    myOutroCountdown -= aDeltaTime;
    if (myCamera)
    {
        const Vra::Vector3f camera = myCamera->myTransform.GetTranslation();
        mySprite.myTransform.SetTranslation({ camera.x - myWidth / 2.0f, camera.y + myHeight / 2.0f, TEXT_Z });
    }
    if (myOutroCountdown <= MUSIC_FADE_TIME && !myHasFadedOutro)
    {
        myHasFadedOutro = true;
        AudioManager::GetInstance().FadeOut("Outro", MUSIC_FADE_TIME);
    }
    if (myOutroCountdown > 0.0f)
    {
        if (myOutroCountdown <= TEXT_FADE_TIME && mySprite.myColor.a < 1.0f)
        {
            if (myParallaxLayers)
            {
                myParallaxLayers->StartFade();
            }
            mySprite.myColor.a = std::min(mySprite.myColor.a + aDeltaTime, 1.0f);
        }
        return;
    }
    EndLevel();
}

void CutsceneEvent::EndLevel()
{
    // The layer goes at the end of this stack update; a second request would find the menu's.
    if (myHasEnded)
    {
        return;
    }
    myHasEnded = true;
    SpeedrunTimer::Stop();
    AudioManager& audio = AudioManager::GetInstance();
    audio.StopAll();
    audio.Play("Main Menu", true, 1.0f);
    if (mySceneStateStack)
    {
        mySceneStateStack->RequestPopLayer();
    }
}
