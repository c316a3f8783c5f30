#pragma once
#include "../AudioProbe.h"
#include "TemporaryFolder.h"

#include "audio/AudioManager.h"
#include "level/LevelState.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/PogoPad.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "player/PlayerState.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "window/WindowMessages.h"

#include <initializer_list>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace PlayerTestSupport
{
    using CommonUtilities::Vector3f;

    // A frame of two of the bird's steps.
    constexpr float DT = 2.0f * Player::STEP;

    constexpr int KEY_LEFT = 37;
    constexpr int KEY_RIGHT = 39;
    constexpr int KEY_JUMP = 'Z';
    constexpr int KEY_DASH = 'C';
    constexpr int KEY_POGO = 'X';
    constexpr int KEY_SQUAWK = ' ';

    // Keeps what the game writes on standard output (model loading, clip changes) for the test.
    class CapturedOutput
    {
    public:
        CapturedOutput() : myOldBuffer(std::cout.rdbuf(myText.rdbuf())) {}
        ~CapturedOutput() { std::cout.rdbuf(myOldBuffer); }
        CapturedOutput(const CapturedOutput&) = delete;
        CapturedOutput& operator=(const CapturedOutput&) = delete;

        std::string Text() const { return myText.str(); }
        void Clear() { myText.str(""); }

    private:
        std::ostringstream myText;
        std::streambuf* myOldBuffer;
    };

    struct Abilities
    {
        bool myDash = false;
        bool myWallJump = false;
        bool myDoubleJump = false;
    };

    // A bird in a level of the test's own: boxes, checkpoints, pads and pickups handed over
    // directly, keys pressed through window messages as the game receives them.
    class PlayerWorld
    {
    public:
        explicit PlayerWorld(const Vector3f& aStart = { 0.0f, 0.0f, 0.0f }, Abilities someAbilities = {})
        {
            myPlayer.Init(myLevel, aStart, someAbilities.myDash, someAbilities.myWallJump, someAbilities.myDoubleJump);
            myPlayer.SetCollisionSet(&myCollisionSet);
            myPlayer.SetCheckpoints(&myCheckpoints);
            myPlayer.SetPogoPads(&myPogoPads);
            myPlayer.SetAbilityPickups(&myAbilityPickups);
        }

        // A solid box whose top face lies at aTop, 100 units thick.
        void AddFloor(float aMinX, float aMaxX, float aTop)
        {
            myCollisionSet.AddBox({ { aMinX, aTop - 100.0f, 0.0f }, { aMaxX, aTop, 100.0f } });
        }
        void AddWall(const Box& aBox)
        {
            myWalls.push_back(aBox);
            myCollisionSet.SetWallBoxes(myWalls);
        }

        void Down(int aKey) { myInput.HandleMessage(Platform::WM_KEYDOWN, static_cast<Platform::WParam>(aKey), 0); }
        void Up(int aKey) { myInput.HandleMessage(Platform::WM_KEYUP, static_cast<Platform::WParam>(aKey), 0); }
        // The input's frame roll without a player update (keys down now count as held next frame).
        void RollInput() { myInput.Update(); }

        void Frame(float aDeltaTime = DT)
        {
            myInput.Update();
            myPlayer.Update(aDeltaTime, myInput);
        }
        void Run(float aSeconds, float aDeltaTime = DT)
        {
            const int frames = static_cast<int>(aSeconds / aDeltaTime + 0.5f);
            for (int frame = 0; frame < frames; ++frame)
            {
                Frame(aDeltaTime);
            }
        }
        // A key pressed for one frame, then let go.
        void Tap(int aKey, float aDeltaTime = DT)
        {
            Down(aKey);
            Frame(aDeltaTime);
            Up(aKey);
        }
        // Runs until the bird stands idle on the ground; false when it never does.
        bool Settle(int aMaxFrames = 32)
        {
            for (int frame = 0; frame < aMaxFrames; ++frame)
            {
                Frame();
                if (State() == "Idle" && myPlayer.IsGrounded())
                {
                    return true;
                }
            }
            return false;
        }
        // Frames until the state is named aName; -1 when it is not within aMaxFrames.
        int FramesUntil(const std::string& aName, int aMaxFrames, float aDeltaTime = DT)
        {
            for (int frame = 1; frame <= aMaxFrames; ++frame)
            {
                Frame(aDeltaTime);
                if (State() == aName)
                {
                    return frame;
                }
            }
            return -1;
        }

        std::string State() const { return myPlayer.GetCurrentState() != nullptr ? myPlayer.GetCurrentState()->GetName() : ""; }
        template <typename T>
        T* StateAs() const
        {
            return dynamic_cast<T*>(myPlayer.GetCurrentState());
        }

        CapturedOutput myOutput;
        SceneStateStack myStack;
        LevelState myLevel{ myStack };
        CollisionSet myCollisionSet;
        std::vector<Box> myWalls;
        std::vector<Checkpoint> myCheckpoints;
        std::vector<PogoPad> myPogoPads;
        std::vector<AbilityPickup> myAbilityPickups;
        CommonUtilities::InputHandler myInput;
        Player myPlayer;
    };

    using GameTestSupport::AudioProbe;
}
