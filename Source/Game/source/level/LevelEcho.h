#pragma once
#include <cstdint>
#include <string>

// The music and echo settings of one level object: which level's music and ambience the audio
// manager starts, and the echo laid over the whole mix.
struct LevelEcho
{
    std::uint32_t myValid = 1;
    // "1", "2" or "3".
    std::string myLevel;
    bool myEcho = false;
    float myEchoDelay = 0.0f;
    float myEchoFeedback = 0.0f;
    float myEchoDryLevel = 0.0f;
    float myEchoWetLevel = 0.0f;
};
