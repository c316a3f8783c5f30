// The three levels of the content pack, as the loader reads them: together they hold every kind
// of gameplay object and event, each level its own mood, and their exits chain 1 -> 2 -> 3.
#include "ContentGame.h"

#include "events/BlackBarEvent.h"
#include "events/CutsceneEvent.h"
#include "events/FoxAttackEvent.h"
#include "events/FoxSneakEvent.h"
#include "events/LevelLoadEvent.h"
#include "events/TutorialPromptEvent.h"
#include "level/ParallaxLayers.h"
#include "objects/AbilityPickup.h"
#include "objects/IcicleSystem.h"
#include "objects/PogoPad.h"
#include "player/CollisionSet.h"

#include <algorithm>
#include <map>

namespace
{
    using namespace ContentGame;

    struct LevelFacts
    {
        const char* myName;
        const char* myScenePath;
        const char* myNextLevel; // "" for none
        const char* myMusic;
        bool myIsCave;
        bool myStartsWithDash;
        std::vector<std::string> myPickups;
        std::vector<int> myCutscenes;
        int myPromptCount;
    };

    const LevelFacts LEVELS[] = {
        { "Forest", "levels/level1.vrs", "levels/level_2_01.vrs", "1", false, true, { "DoubleJump", "WallJump" }, { CutsceneEvent::KIND_INTRO }, 3 },
        { "Cave", "levels/level_2_01.vrs", "levels/level_3_01.vrs", "2", true, false, { "Dash" }, {}, 1 },
        { "Final", "levels/level_3_01.vrs", "", "3", false, true, {}, { CutsceneEvent::KIND_OUTRO }, 0 },
    };

    class LevelContent : public ContentGameTest, public ::testing::WithParamInterface<LevelFacts>
    {
    };

    template <typename Event>
    std::vector<const Event*> EventsOf(const LevelState& aLevel)
    {
        std::vector<const Event*> found;
        for (const std::shared_ptr<TriggeredEvent>& event : aLevel.GetEvents())
        {
            if (const Event* typed = dynamic_cast<const Event*>(event.get()))
            {
                found.push_back(typed);
            }
        }
        return found;
    }

    TEST_P(LevelContent, TheLevelHoldsItsObjectsEventsAndMood)
    {
        const LevelFacts& facts = GetParam();
        SceneStateStack stack;
        LevelState level(stack);
        {
            CapturedOutput output;
            ASSERT_TRUE(level.LoadScene(facts.myScenePath)) << output.Text();
        }
        const Player& bird = *level.GetPlayer();
        EXPECT_EQ(bird.IsDashUnlocked(), facts.myStartsWithDash);
        EXPECT_EQ(level.GetCheckpoints().size(), 1u);
        EXPECT_TRUE(level.GetCollisionSet()->HasWallBoxes());
        EXPECT_FALSE(bird.GetTrapBoxes().empty());
        EXPECT_GE(level.GetIcicleSystem()->GetCount(), 1u);
        EXPECT_EQ(level.GetNextLevelPath(), facts.myNextLevel);
        if (*facts.myNextLevel)
        {
            const std::vector<const LevelLoadEvent*> exits = EventsOf<LevelLoadEvent>(level);
            ASSERT_EQ(exits.size(), 1u);
            EXPECT_EQ(exits.front()->GetLevelPath(), facts.myNextLevel);
        }

        std::vector<std::string> pickups;
        for (const AbilityPickup& pickup : level.GetAbilityPickups())
        {
            pickups.push_back(pickup.GetName());
        }
        std::sort(pickups.begin(), pickups.end());
        EXPECT_EQ(pickups, facts.myPickups);

        std::vector<int> cutscenes;
        for (const CutsceneEvent* cutscene : EventsOf<CutsceneEvent>(level))
        {
            cutscenes.push_back(cutscene->GetKind());
        }
        EXPECT_EQ(cutscenes, facts.myCutscenes);
        EXPECT_EQ(static_cast<int>(EventsOf<TutorialPromptEvent>(level).size()), facts.myPromptCount);

        ASSERT_EQ(level.GetLevelEchoes().size(), 1u);
        EXPECT_EQ(level.GetLevelEchoes().front().myLevel, facts.myMusic);
        EXPECT_EQ(level.GetLevelEchoes().front().myEcho, facts.myIsCave);
        EXPECT_EQ(level.GetSnow().IsActive(), !facts.myIsCave);
        EXPECT_EQ(level.GetCaveParticles().IsActive(), facts.myIsCave);
        EXPECT_FALSE(level.GetVfxBlocks().empty());
        for (int layer : { ParallaxLayers::BACK_LAYER, ParallaxLayers::MIDDLE_LAYER, ParallaxLayers::FRONT_LAYER })
        {
            EXPECT_FALSE(level.GetParallaxLayers().GetLayer(layer).empty()) << "layer " << layer;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Levels, LevelContent, ::testing::ValuesIn(LEVELS),
                             [](const ::testing::TestParamInfo<LevelFacts>& anInfo) { return std::string(anInfo.param.myName); });

    using LevelSet = ContentGameTest;

    // What only some levels hold, counted over all three.
    TEST_F(LevelSet, TogetherTheLevelsUseEveryPadFoxAndBarEvent)
    {
        std::map<std::string, int> counts;
        for (const LevelFacts& facts : LEVELS)
        {
            SceneStateStack stack;
            LevelState level(stack);
            CapturedOutput output;
            ASSERT_TRUE(level.LoadScene(facts.myScenePath)) << output.Text();
            for (const PogoPad& pad : level.GetPogoPads())
            {
                ++counts[pad.IsMushroom() ? "mushroom" : (pad.IsVertical() ? "beetle up" : "beetle along")];
            }
            for (const FoxSneakEvent* fox : EventsOf<FoxSneakEvent>(level))
            {
                ++counts[fox->IsInBackground() ? "fox behind" : "fox in front"];
            }
            counts["fox attack"] += static_cast<int>(EventsOf<FoxAttackEvent>(level).size());
            counts["black bars"] += static_cast<int>(EventsOf<BlackBarEvent>(level).size());
        }
        for (const char* kind : { "mushroom", "beetle up", "beetle along", "fox behind", "fox in front", "fox attack", "black bars" })
        {
            EXPECT_GE(counts[kind], 1) << kind;
        }
    }
}
