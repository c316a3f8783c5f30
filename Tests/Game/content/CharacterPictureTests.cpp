#include "EngineTestSupport.h"
#include "RigFiles.h"

#include "drawers/ModelDrawer.h"
#include "effects/AnimatedObject.h"
#include "graphics/Camera.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureResource.h"
#include "model/ModelFactory.h"

#include <stb/stb_image_write.h>

#include <cstdlib>
#include <functional>

// The characters drawn headless through the model factory, the animated object and the model
// drawer, the way the game draws them, then read back. With VRA_CONTENT_PICTURES set to a folder
// every picture is also written there as a PNG, to look at.
namespace
{
    using namespace EngineTestSupport;

    constexpr std::uint32_t WIDTH = 256;
    constexpr std::uint32_t HEIGHT = 192;

    struct Silhouette
    {
        int myLeft = WIDTH, myRight = -1, myTop = HEIGHT, myBottom = -1;
        int myPixels = 0;
        int Height() const { return myBottom - myTop + 1; }
        int Width() const { return myRight - myLeft + 1; }
        float CentreX() const { return (myLeft + myRight) / 2.f; }
    };

    // Pixel columns and rows, x rightward and y downward from the top-left corner.
    struct Picture
    {
        std::vector<Pixel> myPixels;

        const Pixel& At(int x, int y) const { return myPixels[static_cast<std::size_t>(y) * WIDTH + x]; }

        Silhouette Outline() const
        {
            Silhouette outline;
            for (int y = 0; y < static_cast<int>(HEIGHT); ++y)
            {
                for (int x = 0; x < static_cast<int>(WIDTH); ++x)
                {
                    const Pixel& p = At(x, y);
                    if (std::max({p.r, p.g, p.b}) > 12) // the clear colour is black
                    {
                        outline.myLeft = std::min(outline.myLeft, x);
                        outline.myRight = std::max(outline.myRight, x);
                        outline.myTop = std::min(outline.myTop, y);
                        outline.myBottom = std::max(outline.myBottom, y);
                        ++outline.myPixels;
                    }
                }
            }
            return outline;
        }

        // The mean column of the pixels that pass the test; -1 when none does.
        float CentreOf(const std::function<bool(const Pixel&)>& aTest, int* aCount = nullptr) const
        {
            double sum = 0.0;
            int count = 0;
            for (int y = 0; y < static_cast<int>(HEIGHT); ++y)
            {
                for (int x = 0; x < static_cast<int>(WIDTH); ++x)
                {
                    if (aTest(At(x, y)))
                    {
                        sum += x;
                        ++count;
                    }
                }
            }
            if (aCount)
            {
                *aCount = count;
            }
            return count ? static_cast<float>(sum / count) : -1.f;
        }
    };

    bool Yellow(const Pixel& p) { return p.r > 120 && p.g > 80 && p.b < p.g / 2; }
    bool Red(const Pixel& p) { return p.r > 60 && p.r > 2 * p.g && p.r > 2 * p.b; }
    bool Pale(const Pixel& p) { return p.r > 120 && p.g > 120 && p.b > 100; }

    class CharacterPicture : public EngineFrameTest
    {
    protected:
        CharacterPicture() : EngineFrameTest(WIDTH, HEIGHT)
        {
            // The engine resolves game paths under the folder's "game": let it be the content.
            const auto game = myFolder.GetRoot() / "game";
            std::filesystem::remove(game);
            std::filesystem::create_directory_symlink(RigFiles::SourceFolder() / "Content" / "Game", game);
        }

        // Draws under a camera that looks along +z from z = -1000 at (aCentreX, aCentreY), aViewWidth
        // world units across the picture, and reads the picture back; the next frame starts clear.
        Picture Draw(const std::function<void()>& aDraw, float aViewWidth, float aCentreX, float aCentreY, const std::string& aName)
        {
            Vra::Engine& engine = *Vra::Engine::GetInstance();
            Vra::Camera camera;
            camera.myTransform = Vra::Matrix4x4::CreateTranslation({aCentreX, aCentreY, -1000.f});
            camera.SetOrthographicProjection(aViewWidth, aViewWidth * HEIGHT / WIDTH, 2000.f);
            Vra::GraphicsStateStack& states = engine.GetGraphicsEngine()->GetGraphicsStateStack();
            states.Push();
            states.SetCamera(camera);
            aDraw();
            states.Pop();

            const Image image(BackBufferTexture());
            Picture picture;
            for (std::uint32_t y = 0; y < HEIGHT; ++y)
            {
                for (std::uint32_t x = 0; x < WIDTH; ++x)
                {
                    picture.myPixels.push_back(image.At(x, y));
                }
            }
            Save(picture, aName);
            engine.EndFrame();
            EXPECT_TRUE(engine.BeginFrame());
            return picture;
        }

        Picture Draw(AnimatedObject& anObject, const TransformNode& aParent, float aViewWidth, float aCentreX, float aCentreY,
                     const std::string& aName)
        {
            return Draw([&] {
                anObject.Update(0.f, aParent);
                anObject.Render();
            }, aViewWidth, aCentreX, aCentreY, aName);
        }

        static void Save(const Picture& aPicture, const std::string& aName)
        {
            const char* folder = std::getenv("VRA_CONTENT_PICTURES");
            if (!folder)
            {
                return;
            }
            std::vector<std::uint8_t> rgb;
            for (const Pixel& p : aPicture.myPixels)
            {
                rgb.insert(rgb.end(), {static_cast<std::uint8_t>(p.r), static_cast<std::uint8_t>(p.g), static_cast<std::uint8_t>(p.b)});
            }
            const std::string path = (std::filesystem::path(folder) / (aName + ".png")).string();
            EXPECT_NE(stbi_write_png(path.c_str(), WIDTH, HEIGHT, 3, rgb.data(), WIDTH * 3), 0) << path;
        }

        // A character with the given clips; the first one plays, stopped at aTime seconds.
        static void Pose(AnimatedObject& anObject, const std::string& aClip, float aTime)
        {
            const std::shared_ptr<Vra::AnimationPlayer> player = anObject.PlayAnimation(aClip);
            ASSERT_NE(player, nullptr) << aClip;
            player->Update(aTime);
        }
    };

    // 1.28 pixels a unit: the feet (y 0) stand on row 96 + 50 x 1.28 = 160.
    constexpr float BIRD_VIEW = 200.f;
    constexpr float BIRD_CENTRE_Y = 50.f;
    constexpr float PIXELS_PER_UNIT = WIDTH / BIRD_VIEW;

    void LoadBird(AnimatedObject& aBird)
    {
        aBird.LoadModel("animation/Bird/SK_bird.fbx", "textures/Character/SM_Bird_T_C.dds", 0.8f);
        for (const auto& [name, file] : {std::pair{"Idle", "A_bird_idle"}, {"Death", "A_bird_death_fallBack"}})
        {
            aBird.LoadAnimation(std::string("animation/Bird/") + file + ".fbx", name, false);
        }
    }
}

TEST_F(CharacterPicture, BirdStandsOnItsFeetFacingRightAndTurnsWhenMirrored)
{
    AnimatedObject bird;
    LoadBird(bird);
    ASSERT_TRUE(bird.GetModelInstance().GetModel()) << "the bird did not load through the factory";
    Pose(bird, "Idle", 0.f);
    const Picture right = Draw(bird, TransformNode(), BIRD_VIEW, 0.f, BIRD_CENTRE_Y, "bird_idle");
    const Silhouette outline = right.Outline();
    ASSERT_GT(outline.myPixels, 2000);
    EXPECT_NEAR(outline.myBottom, HEIGHT / 2 + BIRD_CENTRE_Y * PIXELS_PER_UNIT, 4.f) << "feet on the parent's point";
    EXPECT_GT(outline.Height(), 80.f * PIXELS_PER_UNIT);
    EXPECT_LT(outline.Height(), 100.f * PIXELS_PER_UNIT);
    int red = 0;
    right.CentreOf(Red, &red);
    EXPECT_GT(red, outline.myPixels / 3) << "mostly red feathers";
    const float beak = right.CentreOf(Yellow);
    EXPECT_GT(beak, outline.CentreX() + 15.f) << "the beak points right";

    bird.FlipScaleX();
    const Picture left = Draw(bird, TransformNode(), BIRD_VIEW, 0.f, BIRD_CENTRE_Y, "bird_idle_mirrored");
    const float mirroredBeak = left.CentreOf(Yellow);
    EXPECT_LT(mirroredBeak, left.Outline().CentreX() - 15.f) << "mirrored, it points left";
    EXPECT_NEAR(left.Outline().Height(), outline.Height(), 2);
}

TEST_F(CharacterPicture, BirdLiesOnItsBackWhenDead)
{
    AnimatedObject bird;
    LoadBird(bird);
    Pose(bird, "Idle", 0.f);
    const Silhouette standing = Draw(bird, TransformNode(), BIRD_VIEW, 0.f, BIRD_CENTRE_Y, "bird_standing").Outline();
    Pose(bird, "Death", 10.f); // past its end: the last pose stays
    const Silhouette dead = Draw(bird, TransformNode(), BIRD_VIEW, 0.f, BIRD_CENTRE_Y, "bird_dead").Outline();
    EXPECT_LT(dead.Height(), standing.Height() * 0.75f);
    EXPECT_GT(dead.Width(), standing.Height() * 0.8f) << "lying along the ground";
    EXPECT_NEAR(dead.myBottom, standing.myBottom, 4) << "on the ground, not under it";
    EXPECT_LT(dead.CentreX(), standing.CentreX()) << "fallen backwards";
}

TEST_F(CharacterPicture, FoxFacesLeftAndBeetleFacesAlongItsPathOnceTurned)
{
    AnimatedObject fox;
    fox.LoadModel("animation/Fox/SK_fox.fbx", "textures/Character/T_SM_CH_Fox_C.dds", 0.5f);
    fox.LoadAnimation("animation/Fox/A_Fox_Idle.fbx", "FoxIdle", true);
    Pose(fox, "FoxIdle", 0.f);
    const Picture running = Draw(fox, TransformNode(), 480.f, 0.f, 90.f, "fox_idle");
    const Silhouette outline = running.Outline();
    ASSERT_GT(outline.myPixels, 2000);
    // Standing, its ears are its highest point: at the front of a fox that faces left.
    const float ears = running.CentreOf([&, top = outline.myTop](const Pixel& p) {
        const std::size_t index = &p - running.myPixels.data();
        return static_cast<int>(index / WIDTH) <= top + 2 && std::max({p.r, p.g, p.b}) > 12;
    });
    EXPECT_LT(ears, outline.CentreX() - 30.f);

    AnimatedObject beetle;
    beetle.LoadModel("animation/Beetle/SK_Beetle.fbx", "textures/Character/T_SM_Beetle_C.dds", 1.f);
    beetle.LoadAnimation("animation/Beetle/A_Beetle_Fly.fbx", "Fly", true);
    beetle.Rotate(0.f, 90.f, 0.f); // as its pad turns it
    Pose(beetle, "Fly", 0.f);
    const Picture flying = Draw(beetle, TransformNode(), 200.f, 0.f, 0.f, "beetle_fly");
    const Silhouette body = flying.Outline();
    ASSERT_GT(body.myPixels, 1000);
    // Its pale eyes and mandibles lead on the right.
    EXPECT_GT(flying.CentreOf([](const Pixel& p) { return Pale(p) && p.b < p.r; }), body.CentreX() + 10.f);
}

TEST_F(CharacterPicture, PropsFindTheirTexturesAndABoxIsDrawnOverItsCollisionBox)
{
    for (const auto& [name, facts] : RigFiles::Facts()["props"].items())
    {
        const std::shared_ptr<Vra::Model> model = Vra::ModelFactory::GetInstance().GetModel(facts["model"].get<std::string>());
        ASSERT_TRUE(model) << name;
        const Vra::TextureResource* colour = model->GetTextures()[0][0];
        ASSERT_NE(colour, nullptr) << name;
        const std::string texture = facts["texture"];
        EXPECT_FALSE(colour->myIsPlaceholder) << name;
        EXPECT_TRUE(colour->myPath.ends_with(texture)) << name << " found " << colour->myPath;
    }

    // A box object at p = (20, 10, 0) scaled (1.5, 0.8, 1) collides as x 20..170, y 10..90; the
    // camera's picture is one unit a pixel, its centre at (100, 50).
    Vra::ModelInstance box = Vra::ModelFactory::GetInstance().GetModelInstance("models/SM_Box.fbx");
    ASSERT_TRUE(box.GetModel());
    box.SetTransform(Vra::Matrix4x4::CreateScale({1.5f, 0.8f, 1.f}) * Vra::Matrix4x4::CreateTranslation({20.f, 10.f, 0.f}));
    const Picture picture = Draw([&] { Vra::Engine::GetInstance()->GetGraphicsEngine()->GetModelDrawer().Draw(box); },
                                 static_cast<float>(WIDTH), 100.f, 50.f, "box");
    const Silhouette outline = picture.Outline();
    const int left = 20 - 100 + WIDTH / 2, top = HEIGHT / 2 - (90 - 50);
    EXPECT_NEAR(outline.myLeft, left, 1);
    EXPECT_NEAR(outline.myRight, left + 150 - 1, 1);
    EXPECT_NEAR(outline.myTop, top, 1);
    EXPECT_NEAR(outline.myBottom, top + 80 - 1, 1);
    EXPECT_GT(outline.myPixels, 150 * 80 * 95 / 100) << "filled";
}
