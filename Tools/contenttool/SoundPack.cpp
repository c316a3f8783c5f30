#include "SoundPack.h"

#include "Music.h"
#include "Parallel.h"
#include "SoundEffects.h"
#include "SoundFile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <set>
#include <stdexcept>

namespace ContentTool
{
    const std::vector<SoundRecipe>& SoundRecipes()
    {
        static const std::vector<SoundRecipe> recipes = {
            {"settings/sounds/main_menu.ogg", MainMenuTheme},
            {"settings/sounds/intro.ogg", IntroTheme},
            {"settings/sounds/level1.ogg", ForestTheme},
            {"settings/sounds/level2.ogg", CaveTheme},
            {"settings/sounds/level3.ogg", FinalTheme},
            {"settings/sounds/outro.ogg", OutroTheme},
            {"settings/sounds/sad_violin.ogg", SadViolinTheme},
            {"settings/sounds/forest_ambience.ogg", ForestAmbience},
            {"settings/sounds/cave_ambience.ogg", CaveAmbience},
            {"settings/sounds/ui_button.ogg", ButtonClick},
            {"settings/sounds/walk.ogg", SnowSteps},
            {"settings/sounds/jump.ogg", [] { return JumpWhoosh(0); }},
            {"settings/sounds/jump_v2.ogg", [] { return JumpWhoosh(1); }},
            {"settings/sounds/double_jump.ogg", DoubleJumpFlap},
            {"settings/sounds/dash.ogg", DashWhoosh},
            {"settings/sounds/wall_slide.ogg", WallScrape},
            {"settings/sounds/wall_jump_1.ogg", [] { return WallKick(0); }},
            {"settings/sounds/wall_jump_2.ogg", [] { return WallKick(1); }},
            {"settings/sounds/face_plant.ogg", FacePlant},
            {"settings/sounds/land_snow_1.ogg", [] { return SnowLanding(0); }},
            {"settings/sounds/land_snow_2.ogg", [] { return SnowLanding(1); }},
            {"settings/sounds/squeak_1.ogg", [] { return BirdSquawk(0); }},
            {"settings/sounds/squeak_2.ogg", [] { return BirdSquawk(1); }},
            {"settings/sounds/death.ogg", DeathCry},
            {"settings/sounds/ability.ogg", AbilityFanfare},
            {"settings/sounds/checkpoint.ogg", CheckpointChime},
            {"settings/sounds/fox_running.ogg", FoxPaws},
            {"settings/sounds/fox_vocal.ogg", FoxGrowl},
            {"settings/sounds/fox_vocal2.ogg", FoxBark},
            {"settings/sounds/beetle_idle.ogg", BeetleBuzz},
            {"settings/sounds/beetle_hit.ogg", BeetleBonk},
            {"settings/sounds/mushroom_hit.ogg", MushroomBoing},
            {"settings/sounds/icicle_break_1.ogg", [] { return IceShatter(0); }},
            {"settings/sounds/icicle_break_2.ogg", [] { return IceShatter(1); }},
        };
        return recipes;
    }

    void WriteSoundPack(const std::filesystem::path& aWorkingFolder, const std::filesystem::path& aSoundTable, const std::filesystem::path& aStamp)
    {
        std::ifstream file(aSoundTable);
        if (!file)
        {
            throw std::runtime_error("cannot open " + aSoundTable.string());
        }
        const nlohmann::json table = nlohmann::json::parse(file);
        std::set<std::string> files;
        for (const nlohmann::json& sound : table.at("sounds"))
        {
            files.insert(sound.at("file").get<std::string>());
        }
        std::vector<const SoundRecipe*> chosen;
        for (const std::string& path : files)
        {
            const SoundRecipe* recipe = nullptr;
            for (const SoundRecipe& candidate : SoundRecipes())
            {
                recipe = candidate.myFile == path ? &candidate : recipe;
            }
            if (recipe == nullptr)
            {
                throw std::runtime_error("no recipe makes the sound file " + path);
            }
            chosen.push_back(recipe);
        }
        RunInParallel(chosen.size(), [&](std::size_t anIndex) {
            // Music and beds are heard for long: they get the better encoding.
            const AudioBuffer buffer = chosen[anIndex]->myMake();
            WriteOggVorbis(aWorkingFolder / chosen[anIndex]->myFile, buffer, buffer.Channels() > 1 ? 0.45 : 0.35);
        });
        std::filesystem::create_directories(aStamp.parent_path());
        std::ofstream stamp(aStamp, std::ios::trunc);
        for (const std::string& path : files)
        {
            stamp << path << '\n';
        }
    }
}
