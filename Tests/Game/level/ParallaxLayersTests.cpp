#include "LevelTestSupport.h"

#include "events/FoxSneakEvent.h"
#include "level/ParallaxLayers.h"

#include "graphics/Camera.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
    Vra::Matrix4x4 At(float anX, float aY, float aZ)
    {
        return Vra::Matrix4x4::CreateTranslation({ anX, aY, aZ });
    }

    const Vra::Vector2f SIZE{ 100.0f, 100.0f };

    class ParallaxLayersTest : public testing::Test
    {
    protected:
        ParallaxLayersTest() { myLayers.SeedJitter(7); }

        const ParallaxSprite& Sprite(int aLayer, std::size_t anIndex = 0) const { return myLayers.GetLayer(aLayer)[anIndex]; }
        Vra::Vector3f Position(int aLayer, std::size_t anIndex = 0) const { return Sprite(aLayer, anIndex).mySprite.myTransform.GetTranslation(); }

        ParallaxLayers myLayers;
    };

    TEST_F(ParallaxLayersTest, SpritesTakeTheirSizeAJitteredDepthAndTheirBounds)
    {
        myLayers.AddSprite(ParallaxLayers::BACK_LAYER, "sprites/a.dds", { 200.0f, 50.0f }, At(10.0f, 20.0f, 300.0f));
        const ParallaxSprite& sprite = Sprite(ParallaxLayers::BACK_LAYER);
        EXPECT_FLOAT_EQ(sprite.mySprite.myTransform(1, 1), 200.0f);
        EXPECT_FLOAT_EQ(sprite.mySprite.myTransform(2, 2), 50.0f);
        EXPECT_FLOAT_EQ(sprite.myBaseX, 10.0f);
        EXPECT_FLOAT_EQ(sprite.myBaseY, 20.0f);
        EXPECT_FLOAT_EQ(sprite.myAuthoredZ, 300.0f);
        EXPECT_GE(sprite.myDepth, 299.0f);
        EXPECT_LT(sprite.myDepth, 301.0f);
        EXPECT_FLOAT_EQ(sprite.myHalfWidth, 100.0f);
        EXPECT_FLOAT_EQ(sprite.myHalfHeight, 25.0f);
        // The quad hangs below its translation: it covers x 10..210 and y -30..20.
        EXPECT_FLOAT_EQ(sprite.myCenterX, 110.0f);
        EXPECT_FLOAT_EQ(sprite.myCenterY, -5.0f);
        EXPECT_EQ(sprite.mySprite.myColor, (Vra::Color{ 1.0f, 1.0f, 1.0f, 1.0f }));
        EXPECT_FALSE(sprite.mySprite.myIsHidden);
    }

    TEST_F(ParallaxLayersTest, ATurnedSpriteBoundsItsRotatedCorners)
    {
        // A quarter turn about z: the 200 x 50 sprite stands 50 wide and 200 high.
        const Vra::Matrix4x4 turned = Vra::Matrix4x4::CreateRotationAroundZ(1.5707964f) * At(0.0f, 0.0f, 0.0f);
        myLayers.AddSprite(ParallaxLayers::MIDDLE_LAYER, "sprites/a.dds", { 200.0f, 50.0f }, turned);
        EXPECT_NEAR(Sprite(ParallaxLayers::MIDDLE_LAYER).myHalfWidth, 25.0f, 1e-3f);
        EXPECT_NEAR(Sprite(ParallaxLayers::MIDDLE_LAYER).myHalfHeight, 100.0f, 1e-3f);
    }

    TEST_F(ParallaxLayersTest, OnlyLayersZeroToTwoTakeSprites)
    {
        for (const int layer : { 0, 1, 2, 3, -1 })
        {
            myLayers.AddSprite(layer, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 0.0f));
        }
        EXPECT_EQ(myLayers.GetLayer(0).size(), 1u);
        EXPECT_EQ(myLayers.GetLayer(1).size(), 1u);
        EXPECT_EQ(myLayers.GetLayer(2).size(), 1u);
        EXPECT_TRUE(myLayers.GetLayer(3).empty());
    }

    TEST_F(ParallaxLayersTest, SortingPutsFarSpritesFirstInEveryLayer)
    {
        for (const int layer : { 0, 1, 2 })
        {
            for (const float z : { 10.0f, 50.0f, -30.0f, 20.0f })
            {
                myLayers.AddSprite(layer, "sprites/a.dds", SIZE, At(z, 0.0f, z));
            }
        }
        myLayers.SortByDepth();
        for (const int layer : { 0, 1, 2 })
        {
            const auto& sprites = myLayers.GetLayer(layer);
            ASSERT_EQ(sprites.size(), 4u);
            EXPECT_FLOAT_EQ(sprites[0].myAuthoredZ, 50.0f) << layer;
            EXPECT_FLOAT_EQ(sprites[1].myAuthoredZ, 20.0f) << layer;
            EXPECT_FLOAT_EQ(sprites[2].myAuthoredZ, 10.0f) << layer;
            EXPECT_FLOAT_EQ(sprites[3].myAuthoredZ, -30.0f) << layer;
        }
    }

    TEST_F(ParallaxLayersTest, BeforeEnableNothingShiftsAndNothingIsCulled)
    {
        myLayers.AddSprite(ParallaxLayers::FRONT_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 500.0f));
        myLayers.AddSprite(ParallaxLayers::MIDDLE_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 0.0f));
        myLayers.Update({ 50000.0f, 50000.0f });
        EXPECT_FLOAT_EQ(Position(ParallaxLayers::FRONT_LAYER).x, 0.0f);
        EXPECT_FLOAT_EQ(Position(ParallaxLayers::FRONT_LAYER).y, 0.0f);
        EXPECT_FALSE(Sprite(ParallaxLayers::FRONT_LAYER).mySprite.myIsHidden);
        EXPECT_FALSE(Sprite(ParallaxLayers::MIDDLE_LAYER).mySprite.myIsHidden);
    }

    TEST_F(ParallaxLayersTest, TheBackLayerEasesTowardItsShiftAndTheFrontSnaps)
    {
        myLayers.AddSprite(ParallaxLayers::BACK_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 100.0f));
        myLayers.AddSprite(ParallaxLayers::FRONT_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 100.0f));
        myLayers.AddSprite(ParallaxLayers::MIDDLE_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 100.0f));
        myLayers.AddSprite(ParallaxLayers::BACK_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 0.0f));
        myLayers.Enable();
        // Shift (1000 x 100 / 1000, 400 x 100 / 2000) = (100, 20).
        const Vra::Vector2f camera{ 1000.0f, 400.0f };
        myLayers.Update(camera);
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 0).x, 40.0f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 0).y, 8.0f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::FRONT_LAYER).x, 100.0f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::FRONT_LAYER).y, 20.0f, 1e-3f);
        EXPECT_FLOAT_EQ(Position(ParallaxLayers::FRONT_LAYER).z, Sprite(ParallaxLayers::FRONT_LAYER).myDepth);
        EXPECT_FLOAT_EQ(Position(ParallaxLayers::MIDDLE_LAYER).x, 0.0f);
        EXPECT_FLOAT_EQ(Position(ParallaxLayers::MIDDLE_LAYER).z, 100.0f);
        myLayers.Update(camera);
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 0).x, 64.0f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 0).y, 12.8f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::FRONT_LAYER).x, 100.0f, 1e-3f);
        // A back sprite at depth 0 stays where it is.
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 1).x, 0.0f, 1e-3f);
        EXPECT_NEAR(Position(ParallaxLayers::BACK_LAYER, 1).y, 0.0f, 1e-3f);
    }

    TEST_F(ParallaxLayersTest, SpritesBeyondHalfTheirSizePlusHalfTheViewAreHidden)
    {
        // Drawn over x 0..100 and y -100..0: centre (50, -50), half size 50 by 50.
        myLayers.AddSprite(ParallaxLayers::MIDDLE_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 0.0f));
        myLayers.Enable();
        struct Case
        {
            Vra::Vector2f myCamera;
            bool myIsHidden;
        };
        const Case cases[] = { { { 900.0f, -50.0f }, false },  { { 900.5f, -50.0f }, true },  { { -800.0f, -50.0f }, false },
                               { { -800.5f, -50.0f }, true },  { { 50.0f, 450.0f }, false },  { { 50.0f, 450.5f }, true },
                               { { 50.0f, -550.0f }, false },  { { 50.0f, -550.5f }, true } };
        for (const Case& entry : cases)
        {
            myLayers.Update(entry.myCamera);
            EXPECT_EQ(Sprite(ParallaxLayers::MIDDLE_LAYER).mySprite.myIsHidden, entry.myIsHidden) << entry.myCamera.x << ", " << entry.myCamera.y;
        }
    }

    TEST_F(ParallaxLayersTest, ShiftedLayersAreCulledWhereTheyAreDrawn)
    {
        // Depth 1000 shifts the front sprite with the camera in x, so it stays in view.
        myLayers.AddSprite(ParallaxLayers::FRONT_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 1000.0f));
        myLayers.Enable();
        myLayers.Update({ 5000.0f, 0.0f });
        EXPECT_FALSE(Sprite(ParallaxLayers::FRONT_LAYER).mySprite.myIsHidden);
        myLayers.Update({ 0.0f, 5000.0f });
        EXPECT_TRUE(Sprite(ParallaxLayers::FRONT_LAYER).mySprite.myIsHidden);
    }

    TEST_F(ParallaxLayersTest, SpritesAreCulledByTheRowsTheyCover)
    {
        // A 300 x 100 sprite placed at y 500 covers y 400..500: its lower rows are in the view of a
        // camera at the origin (y -450..450). One placed at y -451 lies wholly below it.
        struct Case
        {
            float myY;
            bool myIsHidden;
        };
        const Case cases[] = { { 500.0f, false }, { 549.5f, false }, { 550.5f, true }, { -449.0f, false }, { -450.5f, true }, { -451.0f, true } };
        for (const Case& entry : cases)
        {
            ParallaxLayers layers;
            layers.AddSprite(ParallaxLayers::MIDDLE_LAYER, "sprites/a.dds", { 300.0f, 100.0f }, At(0.0f, entry.myY, 0.0f));
            layers.Enable();
            layers.Update({ 0.0f, 0.0f });
            EXPECT_EQ(layers.GetLayer(ParallaxLayers::MIDDLE_LAYER)[0].mySprite.myIsHidden, entry.myIsHidden) << entry.myY;
        }
    }

    TEST_F(ParallaxLayersTest, TheBackLayerIsCulledWhereItHasEasedTo)
    {
        // Depth 1000 shifts the sprite by the whole camera x: its target, x 3000..3100, is in the
        // view (x 2200..3800), but the first update eases it only 0.4 of the way, to x 1200..1300.
        myLayers.AddSprite(ParallaxLayers::BACK_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 1000.0f));
        myLayers.Enable();
        const Vra::Vector2f camera{ 3000.0f, -50.0f };
        myLayers.Update(camera);
        ASSERT_NEAR(Position(ParallaxLayers::BACK_LAYER).x, 1200.0f, 1e-2f);
        EXPECT_TRUE(Sprite(ParallaxLayers::BACK_LAYER).mySprite.myIsHidden);
        for (int frame = 0; frame < 40; ++frame)
        {
            myLayers.Update(camera);
        }
        EXPECT_FALSE(Sprite(ParallaxLayers::BACK_LAYER).mySprite.myIsHidden);
    }

    TEST_F(ParallaxLayersTest, ClearForgetsTheCutsceneSpriteAndItsFade)
    {
        const Vra::SpriteSharedData data;
        const Vra::Sprite3DInstanceData sprite;
        myLayers.AddSprite(ParallaxLayers::FRONT_LAYER, "sprites/a.dds", SIZE, At(0.0f, 0.0f, 0.0f));
        myLayers.SetCutsceneSprite(&data, &sprite);
        myLayers.StartFade();
        ASSERT_TRUE(myLayers.IsShowingCutsceneSprite());
        ASSERT_EQ(myLayers.GetCutsceneSprite(), &sprite);
        myLayers.Clear();
        EXPECT_EQ(myLayers.GetCutsceneSprite(), nullptr);
        EXPECT_FALSE(myLayers.IsShowingCutsceneSprite());
        EXPECT_TRUE(myLayers.GetLayer(ParallaxLayers::FRONT_LAYER).empty());
        EXPECT_TRUE(myLayers.GetTextures().empty());
        // Drawing after the clear must not reach the destroyed event's sprite.
        myLayers.RenderFront();
    }

    // The layers drawn through the level's camera (1600 x 900 world units) into a 160 x 90 back
    // buffer: ten world units a pixel.
    class ParallaxPictureTest : public LevelTestSupport::LevelTest
    {
    protected:
        // The number of lit pixels in each band of ten pixel rows or columns along the view's edges.
        struct EdgeLight
        {
            int myTop = 0;
            int myBottom = 0;
            int myLeft = 0;
            int myRight = 0;
        };

        EdgeLight Draw(ParallaxLayers& someLayers, const Vra::Vector2f& aCamera)
        {
            Vra::Engine& engine = *Vra::Engine::GetInstance();
            EXPECT_TRUE(engine.BeginFrame());
            Vra::Camera camera;
            camera.myTransform = Vra::Matrix4x4::CreateTranslation({ aCamera.x, aCamera.y, -1000.0f });
            camera.SetOrthographicProjection(1600.0f, 900.0f, 2000.0f);
            Vra::GraphicsStateStack& states = engine.GetGraphicsEngine()->GetGraphicsStateStack();
            states.Push();
            states.SetCamera(camera);
            someLayers.RenderBack();
            someLayers.RenderMiddle();
            someLayers.RenderFront();
            states.Pop();
            const EngineTestSupport::Image image(EngineTestSupport::BackBufferTexture());
            engine.EndFrame();
            EdgeLight light;
            for (std::uint32_t y = 0; y < image.GetHeight(); ++y)
            {
                for (std::uint32_t x = 0; x < image.GetWidth(); ++x)
                {
                    if (image.At(x, y).g < 128)
                    {
                        continue;
                    }
                    light.myTop += y < 10 ? 1 : 0;
                    light.myBottom += y >= image.GetHeight() - 10 ? 1 : 0;
                    light.myLeft += x < 10 ? 1 : 0;
                    light.myRight += x >= image.GetWidth() - 10 ? 1 : 0;
                }
            }
            return light;
        }
    };

    TEST_F(ParallaxPictureTest, SpritesReachingIntoTheViewAtEachEdgeAreDrawnThere)
    {
        // Each sprite reaches 100 units (ten pixels) into the view from beyond one edge; the
        // transform places the sprite's top-left corner. Back and front sprites are placed where
        // their shift for the camera puts them.
        struct Case
        {
            const char* myEdge;
            int myLayer;
            float myZ;
            Vra::Vector2f myCorner;
            Vra::Vector2f mySize;
        };
        const Vra::Vector2f cameraPosition{ 1000.0f, 400.0f };
        const Case cases[] = {
            { "top", ParallaxLayers::MIDDLE_LAYER, 0.0f, { 850.0f, 950.0f }, { 300.0f, 200.0f } },
            { "bottom", ParallaxLayers::MIDDLE_LAYER, 0.0f, { 850.0f, 50.0f }, { 300.0f, 200.0f } },
            { "left", ParallaxLayers::MIDDLE_LAYER, 0.0f, { 100.0f, 550.0f }, { 200.0f, 300.0f } },
            { "right", ParallaxLayers::MIDDLE_LAYER, 0.0f, { 1700.0f, 550.0f }, { 200.0f, 300.0f } },
            // Depth 500 shifts by (500, 100); depth -200 by (-200, -40).
            { "top", ParallaxLayers::BACK_LAYER, 500.0f, { 350.0f, 850.0f }, { 300.0f, 200.0f } },
            { "bottom", ParallaxLayers::FRONT_LAYER, -200.0f, { 1050.0f, 90.0f }, { 300.0f, 200.0f } },
            { "left", ParallaxLayers::BACK_LAYER, 500.0f, { -400.0f, 450.0f }, { 200.0f, 300.0f } },
            { "right", ParallaxLayers::FRONT_LAYER, -200.0f, { 1900.0f, 590.0f }, { 200.0f, 300.0f } },
        };
        for (const Case& entry : cases)
        {
            ParallaxLayers layers;
            layers.AddSprite(entry.myLayer, "sprites/rock.dds", entry.mySize, At(entry.myCorner.x, entry.myCorner.y, entry.myZ));
            layers.Enable();
            // The back layer eases toward its shift: let it settle.
            for (int frame = 0; frame < 60; ++frame)
            {
                layers.Update(cameraPosition);
            }
            const EdgeLight light = Draw(layers, cameraPosition);
            const std::string edge = entry.myEdge;
            const int lit = edge == "top" ? light.myTop : edge == "bottom" ? light.myBottom : edge == "left" ? light.myLeft : light.myRight;
            // The band along that edge is lit over the sprite's 30 pixels, the opposite one not at all.
            EXPECT_GE(lit, 10 * 20) << edge << " edge, layer " << entry.myLayer;
            const int opposite = edge == "top" ? light.myBottom : edge == "bottom" ? light.myTop : edge == "left" ? light.myRight : light.myLeft;
            EXPECT_EQ(opposite, 0) << edge << " edge, layer " << entry.myLayer;
        }
    }

    TEST_F(ParallaxPictureTest, ASkyFarLargerThanTheViewCoversItWhole)
    {
        // The sky of a level: far larger than the view, hanging from well above it.
        ParallaxLayers layers;
        layers.AddSprite(ParallaxLayers::BACK_LAYER, "sprites/rock.dds", { 6000.0f, 3600.0f }, At(-1000.0f, 2400.0f, 900.0f));
        layers.Enable();
        for (int frame = 0; frame < 60; ++frame)
        {
            layers.Update({ 200.0f, 540.0f });
        }
        const EdgeLight light = Draw(layers, { 200.0f, 540.0f });
        EXPECT_EQ(light.myTop, 160 * 10);
        EXPECT_EQ(light.myBottom, 160 * 10);
    }

    class ParallaxFoxTest : public LevelTestSupport::LevelTest
    {
    };

    TEST_F(ParallaxFoxTest, TriggeredFoxesShiftByTheirStartDepth)
    {
        ParallaxLayers layers;
        auto fox = std::make_shared<FoxSneakEvent>();
        CommonUtilities::Matrix4x4 transform;
        transform(4, 1) = 100.0f;
        transform(4, 2) = 50.0f;
        transform(4, 3) = 500.0f;
        fox->Init(transform, 1, false, true, 0, 1.0f);
        auto idle = std::make_shared<FoxSneakEvent>();
        idle->Init(transform, 2, false, true, 0, 1.0f);
        layers.AddFoxEvent(fox);
        layers.AddFoxEvent(idle);
        layers.Enable();
        testing::internal::CaptureStdout();
        fox->OnTriggerEnter();
        testing::internal::GetCapturedStdout();
        layers.Update({ 200.0f, 400.0f });
        // (200 x 500 / 1000, 400 x 500 / 2000) from the start.
        EXPECT_FLOAT_EQ(fox->GetWorldTransform()(4, 1), 200.0f);
        EXPECT_FLOAT_EQ(fox->GetWorldTransform()(4, 2), 150.0f);
        EXPECT_FLOAT_EQ(fox->GetWorldTransform()(4, 3), 500.0f);
        EXPECT_FLOAT_EQ(idle->GetWorldTransform()(4, 1), 0.0f);
    }
}
