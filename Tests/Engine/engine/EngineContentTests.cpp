#include "EngineTestSupport.h"

#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
    using namespace EngineTestSupport;

    // The settings the build places beside the executable must lead the engine to its assets.
    class BuildSettings : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::SetModulePathOverride((TestSupport::BinFolder() / "Game").string());
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration();
        }

        void TearDown() override { ResetProcessState(); }
    };

    TEST_F(BuildSettings, NameTheEngineTexturesAndTheCookedShaders)
    {
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        for (const char* texture : { "Textures/T_Default_c.dds", "Textures/T_Default_n.dds", "Textures/T_Default_m.dds",
                                     "Textures/T_Default_fx.dds", "Textures/whiteCubeMap.dds", "Textures/horizonCubeMap.dds" })
        {
            const std::string resolved = Vra::ResolveAssetPath(texture);
            EXPECT_FALSE(resolved.empty()) << texture;
            EXPECT_TRUE(fs::is_regular_file(resolved)) << resolved;
        }
        EXPECT_TRUE(fs::is_regular_file(Vra::CookedAssetsPath() / "Shaders/PostprocessVS.cso"));
        EXPECT_TRUE(fs::is_regular_file(Vra::CookedAssetsPath() / "shaders/instanced_sprite_shader_VS.cso"));
    }

    TEST_F(BuildSettings, StartTheEngineWhichLoadsTheRealDefaultTexture)
    {
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        Vra::GetEngineConfiguration().myDebugFeatures = 0;
        ASSERT_TRUE(Vra::Engine::Start());
        Vra::TextureResource* texture =
            Vra::Engine::GetInstance()->GetTextureManager()->GetTexture("Textures/T_Default_c.dds", Vra::TextureSrgbMode::AsFile);
        ASSERT_NE(texture, nullptr);
        EXPECT_FALSE(texture->myIsPlaceholder);
        EXPECT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        Vra::Engine::GetInstance()->EndFrame();
    }

    // The watcher runs only with its debug feature on; the engine's own frame then swaps the view.
    class EngineHotReload : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            myFolder.Load();
            Vra::GetEngineConfiguration().myDebugFeatures = Vra::ToMask(Vra::DebugFeature::Filewatcher);
            myTexturePath = myFolder.GetRoot() / "game" / "swapped.png";
            fs::copy_file(FixtureFile("image_3x2.png"), myTexturePath);
            ASSERT_TRUE(Vra::Engine::Start());
        }

        void TearDown() override { ResetProcessState(); }

        static fs::path FixtureFile(const char* aName) { return fs::current_path() / "fixtures" / "textures" / aName; }

        EngineFolder myFolder;
        fs::path myTexturePath;
    };

    TEST_F(EngineHotReload, ASavedTextureIsReplacedInTheSameResourceAtALaterFrame)
    {
        Vra::Engine& engine = *Vra::Engine::GetInstance();
        Vra::TextureResource* texture = engine.GetTextureManager()->GetTexture("swapped.png", Vra::TextureSrgbMode::AsFile);
        ASSERT_FALSE(texture->myIsPlaceholder);
        ASSERT_EQ(texture->GetSize(), (Vra::Vector2<std::uint32_t>{ 3, 2 }));
        const Vra::TextureResource::View before = texture->mySRV;

        fs::copy_file(FixtureFile("image_40x10.png"), myTexturePath, fs::copy_options::overwrite_existing);
        fs::last_write_time(myTexturePath, fs::last_write_time(myTexturePath) + std::chrono::seconds(5));

        // Nothing changes between frames; the change shows once a frame has begun.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (texture->mySRV == before && std::chrono::steady_clock::now() < deadline)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            ASSERT_TRUE(engine.BeginFrame());
            engine.EndFrame();
        }
        EXPECT_NE(texture->mySRV, before);
        EXPECT_EQ(engine.GetTextureManager()->GetTexture("swapped.png", Vra::TextureSrgbMode::AsFile), texture);
        EXPECT_EQ(texture->GetSize(), (Vra::Vector2<std::uint32_t>{ 40, 10 }));
        EXPECT_FALSE(texture->myIsPlaceholder);
    }
}
