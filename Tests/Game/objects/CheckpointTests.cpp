#include "../player/PlayerTestSupport.h"

#include "objects/Checkpoint.h"

#include <gtest/gtest.h>

namespace
{
    using namespace PlayerTestSupport;

    Checkpoint MakeCheckpoint(float aMinX)
    {
        Checkpoint checkpoint;
        checkpoint.myBox = { { aMinX, 0.0f, 0.0f }, { aMinX + 100.0f, 500.0f, 100.0f } };
        return checkpoint;
    }

    std::vector<bool> Reached(const PlayerWorld& aWorld)
    {
        std::vector<bool> reached;
        for (const Checkpoint& checkpoint : aWorld.myCheckpoints)
        {
            reached.push_back(checkpoint.myIsReached);
        }
        return reached;
    }

    TEST(Checkpoint, TheSphereCentreWithinFortyUnitsReachesItAndOnlyOneIsReached)
    {
        AudioProbe audio({ "Checkpoint" });
        PlayerWorld world;
        world.myCheckpoints = { MakeCheckpoint(100.0f), MakeCheckpoint(1000.0f) };

        world.myPlayer.SetPosition({ 59.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(Reached(world), std::vector<bool>({ false, false }));
        EXPECT_EQ(audio.Plays("Checkpoint"), 0u);

        world.myPlayer.SetPosition({ 60.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(Reached(world), std::vector<bool>({ true, false }));
        EXPECT_EQ(audio.Plays("Checkpoint"), 1u);

        // Staying there, or coming back, is silent.
        world.myPlayer.CheckCollision();
        world.myPlayer.SetPosition({ 150.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(audio.Plays("Checkpoint"), 1u);

        world.myPlayer.SetPosition({ 1050.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(Reached(world), std::vector<bool>({ false, true }));
        EXPECT_EQ(audio.Plays("Checkpoint"), 2u);

        // The older one becomes the respawn point again, with its sound.
        world.myPlayer.SetPosition({ 150.0f, 0.0f, 50.0f });
        world.myPlayer.CheckCollision();
        EXPECT_EQ(Reached(world), std::vector<bool>({ true, false }));
        EXPECT_EQ(audio.Plays("Checkpoint"), 3u);
    }

    TEST(Checkpoint, RecordStartsUnreachedOnItsFirstFrame)
    {
        const Checkpoint checkpoint;
        EXPECT_FALSE(checkpoint.myIsReached);
        EXPECT_EQ(checkpoint.myFrame, 0);
        EXPECT_FLOAT_EQ(checkpoint.myFrameTime, 1.0f / 24.0f);
        EXPECT_FLOAT_EQ(checkpoint.myTimer, 0.0f);
    }
}
