#pragma once
#include "player/Box.h"

// A box that starts the level's events of the same order when the bird touches it.
struct EventTrigger
{
    Box myBox;
    int myOrder = 0;
};
