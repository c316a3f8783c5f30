// The content the build made must hold everything the game asks for, in forms its readers take.
#include "EngineTestSupport.h"

#include "EffectSheets.h"
#include "ParallaxSprites.h"
#include "SoundFile.h"
#include "TextureWriter.h"

#include "loaders/DdsLoader.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
    using namespace EngineTestSupport;
    using Json = nlohmann::json;

    Json ReadTable(const std::string& aName)
    {
        std::ifstream file(EnvironmentPath("VRA_BIN_DIR") / "settings" / aName);
        EXPECT_TRUE(file.is_open()) << aName;
        return file.is_open() ? Json::parse(file) : Json::object();
    }

    const Json* FindSound(const Json& aTable, const std::string& aName)
    {
        for (const Json& sound : aTable["sounds"])
        {
            if (sound.value("name", "") == aName)
            {
                return &sound;
            }
        }
        return nullptr;
    }

    std::vector<std::string> GroupMembers(const Json& aTable, const std::string& aGroup)
    {
        const Json& groups = aTable["Player"]["Sounds"];
        return groups.contains(aGroup) ? groups[aGroup].get<std::vector<std::string>>() : std::vector<std::string>{};
    }

    TEST(ContentSounds, EveryFileOfTheTableDecodesToAudibleSound)
    {
        const Json table = ReadTable("LoadSounds.json");
        ASSERT_FALSE(table["sounds"].empty());
        for (const Json& sound : table["sounds"])
        {
            const std::string file = sound.at("file").get<std::string>();
            // The game opens the files relative to its working folder, the executable's.
            const std::optional<ContentTool::DecodedSound> decoded = ContentTool::ReadSoundFile(EnvironmentPath("VRA_BIN_DIR") / file);
            ASSERT_TRUE(decoded.has_value()) << file;
            EXPECT_EQ(decoded->mySampleRate, 48000) << file;
            EXPECT_TRUE(decoded->myChannels == 1 || decoded->myChannels == 2) << file;
            const std::size_t frames = decoded->mySamples.size() / decoded->myChannels;
            EXPECT_GT(frames, 48000u / 10) << file;
            float peak = 0.0f;
            for (const float sample : decoded->mySamples)
            {
                peak = std::max(peak, std::abs(sample));
            }
            EXPECT_GT(peak, 0.1f) << file;
            EXPECT_LE(peak, 1.0f) << file;
        }
    }

    TEST(ContentSounds, EveryGroupTheGamePlaysNamesLoadedSounds)
    {
        const Json table = ReadTable("LoadSounds.json");
        const char* groups[] = {"Main Menu", "UI_Button", "Intro", "Level1", "Level2", "Level3", "Forest Ambience", "Cave Ambience", "Outro", "Squeak",
                                "Cave_Event", "Fox_Running", "Fox_Vocal", "Fox_Vocal2", "Death", "Ability", "Checkpoint", "Land_Snow", "Walk", "Jump",
                                "Dash", "Double_Jump", "Wall_Slide", "Wall_Jump", "Face_Plant", "Beetle_Idle", "Beetle_Hit", "Mushroom_Hit", "Icicle_Break"};
        for (const char* group : groups)
        {
            EXPECT_FALSE(GroupMembers(table, group).empty()) << group;
        }
        for (const auto& [group, members] : table["Player"]["Sounds"].items())
        {
            for (const std::string& member : members.get<std::vector<std::string>>())
            {
                const Json* sound = FindSound(table, member);
                ASSERT_NE(sound, nullptr) << group << " names " << member;
                EXPECT_FALSE(sound->value("file", "").empty()) << member;
            }
        }
    }

    // Stops, fades and pauses name the variant that played, so the variants carry those names.
    TEST(ContentSounds, VariantsCarryTheNamesTheGameStopsAndFades)
    {
        const Json table = ReadTable("LoadSounds.json");
        const std::pair<const char*, const char*> variants[] = {
            {"Walk", "Player_Walk"}, {"Jump", "Player_Jump"}, {"Jump", "Player_JumpV2"}, {"Double_Jump", "Player_Double_Jump"},
            {"Wall_Slide", "Player_Wall_Slide"}, {"Face_Plant", "Player_FacePlant"}, {"Wall_Jump", "Player_Wall_Jump_1"},
            {"Wall_Jump", "Player_Wall_Jump_2"}, {"Cave_Event", "Sad_Violin_Event"}, {"Outro", "Outro"}, {"Fox_Running", "Fox_Running"},
            {"Fox_Vocal2", "Fox_Vocal2"}, {"Beetle_Idle", "Beetle_Idle"}, {"Intro", "Intro"}};
        for (const auto& [group, variant] : variants)
        {
            const std::vector<std::string> members = GroupMembers(table, group);
            EXPECT_NE(std::find(members.begin(), members.end(), variant), members.end()) << group << " lacks " << variant;
        }
    }

    // Music, beds and the footsteps play on until stopped; the intro and the one-off calls end by themselves.
    TEST(ContentSounds, MusicAndBedsLoopAndOneOffsDoNot)
    {
        const Json table = ReadTable("LoadSounds.json");
        const std::pair<const char*, bool> loops[] = {{"Main Menu", true}, {"Level1", true}, {"Level2", true}, {"Level3", true},
                                                      {"Forest Ambience", true}, {"Cave Ambience", true}, {"Walk", true}, {"Intro", false},
                                                      {"Fox_Running", false}, {"Beetle_Idle", false}, {"Jump", false}, {"Death", false}};
        for (const auto& [group, loop] : loops)
        {
            for (const std::string& member : GroupMembers(table, group))
            {
                const Json* sound = FindSound(table, member);
                ASSERT_NE(sound, nullptr) << member;
                EXPECT_EQ(sound->value("loop", false), loop) << member;
            }
        }
    }

    // Asset paths resolve as the game resolves them: through the Game.json the build placed.
    class ContentAssets : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::SetModulePathOverride((EnvironmentPath("VRA_BIN_DIR") / "Game").string());
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        }
        void TearDown() override { ResetProcessState(); }

        static std::optional<Vra::ImageData> Load(const std::string& anAssetPath)
        {
            const std::string resolved = Vra::ResolveAssetPath(anAssetPath);
            EXPECT_FALSE(resolved.empty()) << anAssetPath << " does not resolve";
            return resolved.empty() ? std::nullopt : Vra::DdsLoader::LoadFile(resolved, Vra::DdsLoader::FORCE_SRGB);
        }

        // The top level's RGBA texels as the GPU decodes its blocks.
        static std::vector<std::uint8_t> Texels(const Vra::ImageData& anImage)
        {
            const bool isBc1 = anImage.myFormat == Vra::ImageFormat::BC1UnormSrgb;
            EXPECT_TRUE(isBc1 || anImage.myFormat == Vra::ImageFormat::BC3UnormSrgb) << static_cast<int>(anImage.myFormat);
            const Vra::ImageSurface& surface = anImage.GetSurface(0, 0);
            const std::vector<std::uint8_t> blocks(anImage.GetSurfaceBytes(0, 0), anImage.GetSurfaceBytes(0, 0) + surface.mySize);
            return ContentTool::DecompressLevel(anImage.myWidth, anImage.myHeight, blocks, isBc1 ? ContentTool::BlockFormat::Bc1 : ContentTool::BlockFormat::Bc3).myBytes;
        }

        // Whether every cell of a columns x rows sheet holds something visible.
        static bool EveryCellIsDrawn(const Vra::ImageData& anImage, std::uint32_t aColumns, std::uint32_t aRows)
        {
            const std::vector<std::uint8_t> decoded = Texels(anImage);
            const std::uint8_t* texels = decoded.data();
            const std::uint32_t cellWidth = anImage.myWidth / aColumns;
            const std::uint32_t cellHeight = anImage.myHeight / aRows;
            for (std::uint32_t cell = 0; cell < aColumns * aRows; ++cell)
            {
                bool drawn = false;
                for (std::uint32_t y = (cell / aColumns) * cellHeight; y < (cell / aColumns + 1) * cellHeight && !drawn; ++y)
                {
                    for (std::uint32_t x = (cell % aColumns) * cellWidth; x < (cell % aColumns + 1) * cellWidth && !drawn; ++x)
                    {
                        drawn = texels[(static_cast<std::size_t>(y) * anImage.myWidth + x) * 4 + 3] > 4;
                    }
                }
                if (!drawn)
                {
                    return false;
                }
            }
            return true;
        }
    };

    TEST_F(ContentAssets, EverySpriteTheGameAsksForLoads)
    {
        const char* sprites[] = {
            "Sprites/A_checkpointBreak.dds", "Sprites/A_mushroomBreak.dds", "sprites/S_VFX_Blackbar.dds", "Sprites/S_VFX_Blackbar.dds",
            "sprites/S_UI_DialogueBoxEnd.dds", "sprites/S_UI_Volumelider_Bar.dds", "sprites/S_UI_Volumelider_Controller.dds",
            "sprites/S_UI_Checkbox_Unchecked.dds", "sprites/S_UI_Checkbox_Checked.dds", "sprites/vra-splash-logo.dds", "sprites/S_UI_StudioLogo.dds",
            "sprites/FMOD.dds", "Sprites/S_UI_MenuBG.dds", "Sprites/S_UI_QuillmereLogo.dds", "Sprites/S_UI_Feather.dds",
            "Sprites/S_UI_MenuBG_Pause.dds", "sprites/S_VFX_SnowFlake_001.dds", "sprites/S_VFX_SnowFlake_002.dds", "sprites/S_VFX_SnowFlake_003.dds",
            "sprites/S_VFX_SnowFlake_004.dds", "sprites/S_VFX_SnowFlake_005.dds", "sprites/S_VFX_SnowFlake_006.dds", "sprites/S_UI_Outro_Text.dds",
            "sprites/S_VFX_Icicle.dds"};
        for (const char* sprite : sprites)
        {
            const std::optional<Vra::ImageData> image = Load(sprite);
            ASSERT_TRUE(image.has_value()) << sprite;
            EXPECT_TRUE(image->myFormat == Vra::ImageFormat::BC1UnormSrgb || image->myFormat == Vra::ImageFormat::BC3UnormSrgb) << sprite;
        }
    }

    TEST_F(ContentAssets, TheBlackBarIsOpaqueBlack)
    {
        const std::optional<Vra::ImageData> image = Load("sprites/S_VFX_Blackbar.dds");
        ASSERT_TRUE(image.has_value());
        // Opaque: the smaller blocks without an alpha block.
        EXPECT_EQ(image->myFormat, Vra::ImageFormat::BC1UnormSrgb);
        const std::vector<std::uint8_t> texels = Texels(*image);
        for (std::size_t i = 0; i < static_cast<std::size_t>(image->myWidth) * image->myHeight; ++i)
        {
            ASSERT_EQ(texels[i * 4] + texels[i * 4 + 1] + texels[i * 4 + 2], 0) << i;
            ASSERT_EQ(texels[i * 4 + 3], 255) << i;
        }
    }

    TEST_F(ContentAssets, TheBreakSheetsHoldSixteenDrawnFrames)
    {
        for (const char* sheet : {"Sprites/A_checkpointBreak.dds", "Sprites/A_mushroomBreak.dds"})
        {
            const std::optional<Vra::ImageData> image = Load(sheet);
            ASSERT_TRUE(image.has_value()) << sheet;
            EXPECT_EQ(image->myWidth % 4, 0u) << sheet;
            EXPECT_EQ(image->myHeight % 4, 0u) << sheet;
            EXPECT_TRUE(EveryCellIsDrawn(*image, 4, 4)) << sheet;
        }
    }

    // The splash draws each logo at its own size in pixels on the 1600 x 900 render.
    TEST_F(ContentAssets, SplashLogosFitTheScreen)
    {
        for (const char* logo : {"sprites/vra-splash-logo.dds", "sprites/S_UI_StudioLogo.dds", "sprites/FMOD.dds"})
        {
            const std::optional<Vra::ImageData> image = Load(logo);
            ASSERT_TRUE(image.has_value()) << logo;
            EXPECT_LE(image->myWidth, 1600u) << logo;
            EXPECT_LE(image->myHeight, 900u) << logo;
        }
    }

    TEST_F(ContentAssets, EveryEffectTheGameSpawnsHasASheetItsFramesFit)
    {
        const Json table = ReadTable("LoadVFX.json");
        std::set<std::string> names;
        for (const Json& effect : table["VFX"])
        {
            const std::string name = effect.at("name").get<std::string>();
            names.insert(name);
            const int columns = effect.value("framesX", 1);
            const int rows = effect.value("framesY", 1);
            ASSERT_GT(columns, 0) << name;
            ASSERT_GT(rows, 0) << name;
            const std::optional<Vra::ImageData> image = Load(effect.at("texture").get<std::string>());
            ASSERT_TRUE(image.has_value()) << name;
            EXPECT_EQ(image->myWidth % columns, 0u) << name;
            EXPECT_EQ(image->myHeight % rows, 0u) << name;
            EXPECT_TRUE(EveryCellIsDrawn(*image, columns, rows)) << name;
            EXPECT_GT(effect.value("frameTime", 0.05), 0.0) << name;
        }
        for (const char* spawned : {"Player_Land_Dust", "Player_Jump_Dust", "Player_Dash", "Player_Double_Jump", "Player_Wall_Slide",
                                    "Player_Wall_Jump_Dust", "Player_Pogo_Jump_Dust", "Icicle_Break"})
        {
            EXPECT_EQ(names.count(spawned), 1u) << spawned;
        }
    }

    TEST_F(ContentAssets, ParallaxPiecesLoadAtTheirListedSizes)
    {
        for (const ContentTool::ParallaxPiece& piece : ContentTool::ParallaxPieces())
        {
            const std::optional<Vra::ImageData> image = Load(piece.myPath);
            ASSERT_TRUE(image.has_value()) << piece.myPath;
            EXPECT_EQ(image->myWidth, static_cast<std::uint32_t>(piece.myWidth)) << piece.myPath;
            EXPECT_EQ(image->myHeight, static_cast<std::uint32_t>(piece.myHeight)) << piece.myPath;
            EXPECT_GT(image->myMipCount, 1u) << piece.myPath;
        }
    }
}
