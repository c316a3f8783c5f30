#include "../GameTestSupport.h"
#include "PlayerTestSupport.h"

#include "objects/IcicleSystem.h"

#include "Engine.h"
#include "model/AnimationPlayer.h"
#include "properties/CopyOnWriteWrapper.h"
#include "properties/PropertyType.h"
#include "properties/PropertyTypes.h"
#include "properties/SceneSprite.h"
#include "scene/SceneObject.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace
{
    namespace fs = std::filesystem;
    using namespace PlayerTestSupport;

    fs::path ContentFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const fs::path root = source ? fs::path(source) : fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
        return root / "Content" / "Game";
    }

    // The engine started headless with a frame open, the game folder holding what a test puts there.
    class PlayerAssetTest : public GameTestSupport::GameEngineTest
    {
    protected:
        // The bird's model, its clips and its texture, as the game ships them.
        bool InstallBird() const
        {
            const fs::path birdFolder = ContentFolder() / "animation" / "Bird";
            if (!fs::exists(birdFolder / "SK_bird.fbx"))
            {
                return false;
            }
            fs::create_directories(GameFolder() / "animation");
            fs::copy(birdFolder, GameFolder() / "animation" / "Bird", fs::copy_options::recursive);
            fs::create_directories(GameFolder() / "textures" / "Character");
            fs::copy_file(ContentFolder() / Player::MODEL_TEXTURE, GameFolder() / Player::MODEL_TEXTURE);
            return true;
        }

        static std::uint32_t DrawCalls() { return Vra::Engine::GetDrawCallCount(); }
    };

    struct ClipFact
    {
        const char* myName;
        bool myLoops;
    };

    constexpr ClipFact BIRD_CLIPS[] = {
        { "Dash", false }, { "Powerup", false }, { "DoubleJump", false }, { "StartFalling", false }, { "Falling", true },
        { "Idle", true }, { "JumpAir", true }, { "JumpStart", false }, { "JumpNeutralStart", false }, { "JumpNeutralAir", false },
        { "JumpNeutralFall", false }, { "OnWall", true }, { "PogoFail", false }, { "PogoHit", false }, { "StartPogoReady", false },
        { "PogoReady", true }, { "Run", true }, { "Walk", true }, { "Death", false }, { "Outro", false }, { "Squeak1", false },
        { "Squeak2", false },
    };

    TEST_F(PlayerAssetTest, InitLoadsTheBirdWithItsTwentyTwoClipsAndStandsIdle)
    {
        if (!InstallBird())
        {
            GTEST_SKIP() << "the bird's files are not in Content/Game";
        }
        CapturedOutput output;
        SceneStateStack stack;
        LevelState level(stack);
        Player player;
        player.Init(level, { 0.0f, 0.0f, 0.0f }, false, false, false);
        AnimatedObject& bird = player.GetAnimatedObject();
        ASSERT_TRUE(bird.GetModelInstance().IsBound());
        const std::shared_ptr<Vra::AnimationPlayer> current = bird.GetCurrentAnimation();
        ASSERT_NE(current, nullptr);
        for (const ClipFact& clip : BIRD_CLIPS)
        {
            const std::shared_ptr<Vra::AnimationPlayer> played = bird.PlayAnimation(clip.myName);
            ASSERT_NE(played, nullptr) << clip.myName;
            EXPECT_EQ(played->IsLooping(), clip.myLoops) << clip.myName;
        }
        EXPECT_EQ(bird.PlayAnimation("Idle"), current) << "Init leaves the bird idle";
        // Mirrored the bird's own way: facing left flips x.
        const float scaleX = bird.GetScale().x;
        EXPECT_FLOAT_EQ(std::abs(scaleX), Player::MODEL_SCALE);
        player.SetFacing(true);
        EXPECT_FLOAT_EQ(bird.GetScale().x, -scaleX);
        CommonUtilities::InputHandler input;
        player.Update(0.01f, input);
        EXPECT_EQ(output.Text().find("No Valid Animation!"), std::string::npos);
    }

    TEST_F(PlayerAssetTest, WithoutItsFilesTheBirdStillPlays)
    {
        CapturedOutput output;
        SceneStateStack stack;
        LevelState level(stack);
        Player player;
        player.Init(level, { 0.0f, 0.0f, 0.0f }, false, false, false);
        EXPECT_FALSE(player.GetAnimatedObject().GetModelInstance().IsBound());
        CommonUtilities::InputHandler input;
        for (int frame = 0; frame < 10; ++frame)
        {
            input.Update();
            player.Update(DT, input);
        }
        ASSERT_NE(player.GetCurrentState(), nullptr);
        EXPECT_EQ(player.GetCurrentState()->GetName(), "Fall");
    }

    TEST_F(PlayerAssetTest, FeathersTakeTheirSizeFromTheTextureAndDrawInOneBatch)
    {
        AddSprite(Player::FEATHER_TEXTURE, GameTestSupport::RED, 72, 36);
        CapturedOutput output;
        SceneStateStack stack;
        LevelState level(stack);
        Player player;
        player.Init(level, { 0.0f, 0.0f, 0.0f }, false, false, false);
        player.SpawnFeathers(3.0f);
        ASSERT_EQ(player.GetFeathers().size(), 3u);
        for (const Feather& feather : player.GetFeathers())
        {
            // 72 / 36 by 36 / 36, times the start scale.
            EXPECT_FLOAT_EQ(feather.mySprite.mySize.x, 2.0f * feather.myStartScale);
            EXPECT_FLOAT_EQ(feather.mySprite.mySize.y, 1.0f * feather.myStartScale);
            EXPECT_GE(feather.myStartScale, 0.3f);
            EXPECT_LT(feather.myStartScale, 0.6f);
            EXPECT_GE(feather.myEndScale, 1.0f);
            EXPECT_LT(feather.myEndScale, 1.6f);
            EXPECT_FLOAT_EQ(feather.mySprite.myPosition.y, 30.0f);
            EXPECT_GE(feather.myVelocity.y, 0.0f) << "the burst goes upward";
            EXPECT_FLOAT_EQ(feather.myLifetime, 1.0f);
        }
        const std::uint32_t before = DrawCalls();
        player.RenderFeathers();
        EXPECT_EQ(DrawCalls() - before, 1u);

        // Half their life on: grown halfway to the end scale, redder and half faded by t².
        CommonUtilities::InputHandler input;
        const Feather first = player.GetFeathers()[0];
        for (int frame = 0; frame < 64; ++frame)
        {
            player.Update(1.0f / 128.0f, input);
        }
        const Feather& half = player.GetFeathers()[0];
        const float scale = first.myStartScale + (first.myEndScale - first.myStartScale) * 0.5f;
        EXPECT_NEAR(half.mySprite.mySize.x, 2.0f * scale, 1e-4f);
        EXPECT_FLOAT_EQ(half.mySprite.myColor.r, 1.0f);
        EXPECT_NEAR(half.mySprite.myColor.g, 0.75f, 1e-4f);
        EXPECT_NEAR(half.mySprite.myColor.a, 0.75f, 1e-4f);
        for (int frame = 0; frame < 80; ++frame)
        {
            player.Update(1.0f / 128.0f, input);
        }
        EXPECT_FALSE(player.GetFeathers()[0].myIsAlive);
        const std::uint32_t afterDeath = DrawCalls();
        player.RenderFeathers();
        EXPECT_EQ(DrawCalls(), afterDeath) << "no feather left, nothing drawn";
    }

    TEST_F(PlayerAssetTest, PadsPickupsAndIciclesDrawWithTheirTextures)
    {
        AddSprite(PogoPad::MUSHROOM_TEXTURE, GameTestSupport::GREEN, 24, 24);
        AddSprite(AbilityPickup::TEXTURE, GameTestSupport::RED, 36, 18);
        AddSprite("sprites/S_Icicle.dds", GameTestSupport::RED, 8, 32);
        CapturedOutput output;

        PogoPad mushroom;
        mushroom.InitMushroom({ 0.0f, 0.0f, 0.0f }, { 1.0f, 1.0f, 1.0f }, 50.0f, 1.0f);
        EXPECT_FLOAT_EQ(mushroom.GetSprite().mySize.x, 4.0f) << "a sixth of the texture";
        AbilityPickup pickup;
        pickup.Init({}, { 0.0f, 0.0f, 0.0f }, { 1.0f, 1.0f, 1.0f }, 30.0f, 1);
        EXPECT_FLOAT_EQ(pickup.GetSprite().mySize.x, 2.0f) << "an eighteenth of the texture";
        EXPECT_FLOAT_EQ(pickup.GetSprite().mySize.y, 1.0f);

        IcicleSystem icicles;
        Vra::SceneObject object;
        Vra::CopyOnWriteWrapper<Vra::SceneSprite> sprite;
        sprite.GetMutable().myTextures[0] = Vra::StringRegistry::RegisterOrGet("sprites/S_Icicle.dds");
        Vra::PropertyDefinition property;
        property.myName = Vra::StringRegistry::RegisterOrGet("Sprite");
        property.myType = &Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>::Get();
        property.myValue = Vra::PropertyValue::Make(sprite);
        icicles.Load(object, { property });
        icicles.Load(object, { property });

        const std::uint32_t before = DrawCalls();
        mushroom.Render();
        pickup.Render();
        icicles.Render();
        EXPECT_EQ(DrawCalls() - before, 3u) << "one batch each; both icicles in one";
    }
}
