#pragma once
#include <filesystem>

namespace ContentTool
{
    // Draws the ten-second intro (a flight over the snowy mountains at night, then the game's name)
    // and has anFfmpeg encode it as H.264 in MP4 with aToneTrack as its sound.
    void WriteIntroVideo(const std::filesystem::path& anFfmpeg, const std::filesystem::path& aToneTrack, const std::filesystem::path& aVideo);

    constexpr int INTRO_WIDTH = 960;
    constexpr int INTRO_HEIGHT = 540;
    constexpr int INTRO_FRAMES_PER_SECOND = 24;
    constexpr int INTRO_FRAME_COUNT = 240;
}
