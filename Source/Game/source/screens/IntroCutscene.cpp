#include "screens/IntroCutscene.h"

#include "audio/AudioManager.h"
#include "overlays/DrawSprite.h"
#include "overlays/ScreenOverlayScope.h"

#include "Engine.h"
#include "settings/Settings.h"
#include "video/Video.h"

#include <iostream>
#include <string>

IntroCutscene::IntroCutscene() = default;

IntroCutscene::~IntroCutscene() = default;

bool IntroCutscene::Play()
{
    myVideo = std::make_shared<Vra::Video>();
    mySharedData.myColorTexture = nullptr;
    const std::string path = Vra::ResolveAssetPath(VIDEO_PATH);
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || path.empty() || !myVideo->Init(path.c_str(), false) || myVideo->GetVideoSize().x == 0 || myVideo->GetVideoSize().y == 0)
    {
        // Without a picture the intro would never end and would size itself by a zero width.
        std::cout << "The intro video cannot be played: " << VIDEO_PATH << std::endl;
        myVideo.reset();
        return false;
    }
    AudioManager::GetInstance().Play(SOUND, false, 1.0f);
    myVideo->Play(false);
    mySharedData.myColorTexture = myVideo->GetTexture();

    const Vra::Vector2<std::uint32_t> renderSize = engine->GetRenderSize();
    const Vra::Vector2<std::uint32_t> videoSize = myVideo->GetVideoSize();
    const Vra::Vector2<std::uint32_t> textureSize = myVideo->GetTextureSize();
    const float renderWidth = static_cast<float>(renderSize.x);
    const float renderHeight = static_cast<float>(renderSize.y);
    mySprite = Vra::Sprite2DInstanceData();
    mySprite.myPosition = { 0.0f, renderHeight };
    mySprite.myPivot = { 0.0f, 0.0f };
    // The picture fills the top-left part of its power-of-two texture: that part covers the screen.
    mySprite.mySize = { renderWidth / static_cast<float>(videoSize.x) * static_cast<float>(textureSize.x),
                        renderHeight / static_cast<float>(videoSize.y) * static_cast<float>(textureSize.y) };
    return true;
}

void IntroCutscene::Update(bool& aIsPlaying, float aDeltaTime)
{
    if (!myVideo)
    {
        aIsPlaying = false;
        return;
    }
    if (myVideo->GetStatus() != Vra::Video::STATUS_FINISHED)
    {
        myVideo->Update(aDeltaTime);
    }
    if (myVideo->GetStatus() == Vra::Video::STATUS_FINISHED)
    {
        AudioManager::GetInstance().Stop(SOUND);
        std::cout << "Video Over" << std::endl;
        aIsPlaying = false;
    }
}

void IntroCutscene::Render() const
{
    if (!myVideo || !mySharedData.myColorTexture)
    {
        return;
    }
    const ScreenOverlayScope scope;
    if (scope)
    {
        DrawSprite(scope.GetSpriteDrawer(), mySharedData, mySprite);
    }
}
