#pragma once
#include "Synth.h"

#include <cstdint>

namespace ContentTool
{
    // Looping stereo beds.
    AudioBuffer ForestAmbience();
    AudioBuffer CaveAmbience();

    // One-shot (and a few looping) mono effects; aVariant picks a take where a group has more than one.
    AudioBuffer ButtonClick();
    AudioBuffer SnowSteps();
    AudioBuffer JumpWhoosh(int aVariant);
    AudioBuffer DoubleJumpFlap();
    AudioBuffer DashWhoosh();
    AudioBuffer WallScrape();
    AudioBuffer WallKick(int aVariant);
    AudioBuffer FacePlant();
    AudioBuffer SnowLanding(int aVariant);
    AudioBuffer BirdSquawk(int aVariant);
    AudioBuffer DeathCry();
    AudioBuffer AbilityFanfare();
    AudioBuffer CheckpointChime();
    AudioBuffer FoxPaws();
    AudioBuffer FoxGrowl();
    AudioBuffer FoxBark();
    AudioBuffer BeetleBuzz();
    AudioBuffer BeetleBonk();
    AudioBuffer MushroomBoing();
    AudioBuffer IceShatter(int aVariant);
}
