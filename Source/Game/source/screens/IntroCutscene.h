#pragma once
#include "drawers/SpriteInstanceData.h"

#include <memory>

namespace Vra
{
    class Video;
}

// The intro video that plays while the first level loads, drawn over the whole render area with
// the "Intro" music from the sound table (the video's own sound stays off).
class IntroCutscene
{
public:
    static constexpr const char* VIDEO_PATH = "video/Intro_Cutscene.mp4";
    static constexpr const char* SOUND = "Intro";

    IntroCutscene();
    ~IntroCutscene();

    // A new video from the start, with its music. False when the file is missing or cannot be
    // played: then nothing plays and nothing is drawn.
    bool Play();
    // Advances the video; once it has ended, stops the music and clears aIsPlaying.
    void Update(bool& aIsPlaying, float aDeltaTime);
    // The current picture (the last one stays after the end); nothing without a video.
    void Render() const;

    const std::shared_ptr<Vra::Video>& GetVideo() const { return myVideo; }
    const Vra::Sprite2DInstanceData& GetSprite() const { return mySprite; }

private:
    std::shared_ptr<Vra::Video> myVideo;
    Vra::Sprite2DInstanceData mySprite;
    Vra::SpriteSharedData mySharedData;
};
