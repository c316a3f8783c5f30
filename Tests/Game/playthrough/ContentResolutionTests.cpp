// Every level of the content pack loads and runs on the files the build made: no texture falls
// back to the placeholder, every model loads, and the game prints no line about missing sounds,
// effects or level objects.
#include "ContentGame.h"

#include "graphics/TextureManager.h"
#include "model/ModelFactory.h"
#include "settings/Settings.h"

#include <nlohmann/json.hpp>

namespace
{
    using namespace ContentGame;

    struct LevelCase
    {
        const char* myName;
        const char* myScenePath;
    };

    constexpr LevelCase LEVELS[] = {
        { "Forest", "levels/level1.vrs" },
        { "Cave", "levels/level_2_01.vrs" },
        { "Final", "levels/level_3_01.vrs" },
    };

    constexpr int RUN_FRAMES = 300;

    class ContentResolution : public ContentGameTest, public ::testing::WithParamInterface<LevelCase>
    {
    };

    // The asset paths the level's objects and their definitions name, by property type.
    void CollectPaths(const nlohmann::json& someProperties, std::set<std::string>& someModels, std::set<std::string>& someTextures)
    {
        for (const nlohmann::json& property : someProperties)
        {
            const std::string type = property.value("type", std::string());
            const nlohmann::json& value = property["value"];
            if (type == "Model" && value.contains("path"))
            {
                someModels.insert(value["path"].get<std::string>());
            }
            if (type == "Sprite" && !value.value("texturePath", std::string()).empty())
            {
                someTextures.insert(value["texturePath"].get<std::string>());
            }
        }
    }

    TEST_P(ContentResolution, TheLevelRunsOnTheContentPackWithNothingMissing)
    {
        const LevelCase& level = GetParam();
        std::set<std::string> models;
        std::set<std::string> textures;
        const fs::path folder = GameAssets() / fs::path(level.myScenePath).replace_extension(".leveldata");
        std::size_t objectCount = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        {
            CollectPaths(nlohmann::json::parse(std::ifstream(entry.path()))["properties"], models, textures);
            ++objectCount;
        }
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(GameAssets()))
        {
            if (entry.path().extension() == ".vro")
            {
                CollectPaths(nlohmann::json::parse(std::ifstream(entry.path()))["properties"], models, textures);
            }
        }
        ASSERT_GT(objectCount, 10u);

        std::string output;
        {
            CapturedOutput captured;
            myWorld->InitWithScene(level.myScenePath, myInput);
            ASSERT_NE(TopLevel(), nullptr) << captured.Text();
            for (int frame = 0; frame < RUN_FRAMES; ++frame)
            {
                ASSERT_TRUE(Frame());
            }
            output = captured.Text();
        }
        EXPECT_EQ(TopLevel()->GetLevelPath(), level.myScenePath);
        EXPECT_EQ(LinesWith(output, ContentErrorMarks()), "");
        EXPECT_NE(output.find("Level Loaded: " + std::string(level.myScenePath)), std::string::npos);

        Vra::TextureManager& textureManager = *Vra::Engine::GetInstance()->GetTextureManager();
        for (const std::string& texture : textures)
        {
            EXPECT_NE(textureManager.LoadTexture(texture.c_str(), Vra::TextureSrgbMode::ForceSrgb, false), nullptr) << texture;
        }
        for (const std::string& model : models)
        {
            EXPECT_NE(Vra::ModelFactory::GetInstance().GetModel(model), nullptr) << model;
        }
        EXPECT_EQ(textureManager.GetPlaceholderPaths(), std::vector<std::string>());
    }

    INSTANTIATE_TEST_SUITE_P(Levels, ContentResolution, ::testing::ValuesIn(LEVELS),
                             [](const ::testing::TestParamInfo<LevelCase>& anInfo) { return std::string(anInfo.param.myName); });
}
