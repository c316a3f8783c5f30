#pragma once

// How the bird moves. Units are world units and seconds.
struct PlayerTuning
{
    float myDeceleration = 2000.0f;
    float myMaxSpeed = 400.0f;
    float myAcceleration = 8000.0f;
    float myGravity = 3000.0f;
    float myMaxFallSpeed = 1000.0f;
    float myJumpVelocity = 1000.0f;
    // The longest time a held jump keeps the jump velocity.
    float myMaxJumpHoldTime = 0.25f;
    // The shortest jump before a release cuts it.
    float myMinJumpTime = 0.05f;
    // Gravity factor once the jump key is released.
    float myReleaseGravityFactor = 3.0f;
    float myDashDuration = 0.3f;
    float myDashSpeed = 1000.0f;
    float myDashCooldown = 0.2f;
    // Fall-speed factor while sliding down a wall.
    float myWallSlideFallFactor = 0.4f;
    // How long a wall jump keeps the bird from steering.
    float myWallJumpLockTime = 0.2f;
    // Wall-jump push and speed factor.
    float myWallJumpFactor = 1.5f;
    // How long a pogo bounce keeps the jump velocity.
    float myPogoHoldTime = 0.1f;
    float myPogoReadySpeedFactor = 1.25f;
    float myPogoReadyFallFactor = 1.5f;
    float myPogoLandTime = 0.3f;
    // How long a press stays usable.
    float myInputBufferTime = 0.15f;
    // How long after walking off a ledge a jump is still a ground jump.
    float myCoyoteTime = 0.1f;
    // Interval of the wall-slide sound and dust.
    float myWallSlideSoundInterval = 0.6f;
};
