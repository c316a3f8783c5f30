#pragma once
#include "Synth.h"

namespace ContentTool
{
    // The game's music, stereo. The loops wrap their tails to their start.
    AudioBuffer MainMenuTheme();
    AudioBuffer IntroTheme();
    AudioBuffer ForestTheme();
    AudioBuffer CaveTheme();
    AudioBuffer FinalTheme();
    AudioBuffer OutroTheme();
    AudioBuffer SadViolinTheme();
}
