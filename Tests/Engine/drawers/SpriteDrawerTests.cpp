#include "EngineTestSupport.h"

#include "AssertionCatcher.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/RenderTarget.h"
#include "graphics/TextureResource.h"

#include <algorithm>
#include <vector>

namespace
{
    using namespace EngineTestSupport;
    using Vra::Sprite2DInstanceData;

    constexpr std::uint32_t WIDTH = 128;
    constexpr std::uint32_t HEIGHT = 64;

    class SpriteDrawerTest : public EngineFrameTest
    {
    protected:
        Vra::SpriteDrawer& Drawer() { return Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer(); }
        Vra::GraphicsStateStack& States() { return Vra::Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack(); }

        void DrawSprites(const std::vector<Sprite2DInstanceData>& someSprites, Vra::TextureResource* aTexture = nullptr)
        {
            Vra::SpriteSharedData shared;
            shared.myColorTexture = aTexture;
            Vra::SpriteBatchScope batch = Drawer().BeginBatch(shared);
            batch.Draw(someSprites.data(), someSprites.size());
        }
    };

    struct CoverageCase
    {
        const char* myName;
        Vra::Vector2<float> myPosition;
        Vra::Vector2<float> myPivot;
        Vra::Vector2<float> myScale;
        // Expected pixels, x rightward and y downward from the top-left: [left, right) x [top, bottom).
        int myLeft, myRight, myTop, myBottom;
    };

    class SpriteCoverage : public SpriteDrawerTest, public ::testing::WithParamInterface<CoverageCase> {};

    // Screen space has its origin at the bottom left with y up: a sprite whose top edge is at y
    // covers the rows from HEIGHT - y down.
    TEST_P(SpriteCoverage, CoversExactlyItsRectangle)
    {
        const CoverageCase& coverage = GetParam();
        Sprite2DInstanceData sprite;
        sprite.myPosition = coverage.myPosition;
        sprite.myPivot = coverage.myPivot;
        sprite.mySize = { 100.0f, 50.0f };
        sprite.myScale = coverage.myScale;
        DrawSprites({ sprite });

        const Image image(BackBufferTexture());
        int wrong = 0;
        for (std::uint32_t y = 0; y < HEIGHT; ++y)
        {
            for (std::uint32_t x = 0; x < WIDTH; ++x)
            {
                const bool inside = static_cast<int>(x) >= coverage.myLeft && static_cast<int>(x) < coverage.myRight
                    && static_cast<int>(y) >= coverage.myTop && static_cast<int>(y) < coverage.myBottom;
                const Pixel pixel = image.At(x, y);
                const bool white = pixel.r == 255 && pixel.g == 255 && pixel.b == 255;
                const bool black = pixel.r == 0 && pixel.g == 0 && pixel.b == 0;
                if (inside ? !white : !black)
                {
                    ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << coverage.myName;
    }

    INSTANTIATE_TEST_SUITE_P(Table, SpriteCoverage, ::testing::Values(
        // x 10..110, y -30..20: only its top 20 rows are on screen.
        CoverageCase{ "top-left pivot at (10, 20)", { 10.0f, 20.0f }, { 0.0f, 0.0f }, { 1.0f, 1.0f }, 10, 110, HEIGHT - 20, HEIGHT },
        CoverageCase{ "fully on screen", { 10.0f, 60.0f }, { 0.0f, 0.0f }, { 1.0f, 1.0f }, 10, 110, HEIGHT - 60, HEIGHT - 10 },
        CoverageCase{ "centred pivot", { 64.0f, 32.0f }, { 0.5f, 0.5f }, { 1.0f, 1.0f }, 14, 114, 7, 57 },
        CoverageCase{ "mirrored about the pivot", { 120.0f, 60.0f }, { 0.0f, 0.0f }, { -1.0f, 1.0f }, 20, 120, HEIGHT - 60, HEIGHT - 10 },
        CoverageCase{ "half height", { 10.0f, 60.0f }, { 0.0f, 0.0f }, { 1.0f, 0.5f }, 10, 110, HEIGHT - 60, HEIGHT - 35 }),
        [](const auto& anInfo) { return std::to_string(anInfo.index); });

    // A 2 by 2 texture: red, green on the top row; blue, white below.
    class SpriteTextureTest : public SpriteDrawerTest
    {
    protected:
        void SetUp() override
        {
            SpriteDrawerTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            myTexture.SetView(MakeTextureView(2, 2, { Rgba(255, 0, 0), Rgba(0, 255, 0), Rgba(0, 0, 255), Rgba(255, 255, 255) }));
            States().SetSamplerState(Vra::SamplerFilter::Point, Vra::SamplerAddressMode::Clamp);
        }

        Sprite2DInstanceData FullScreenSprite() const
        {
            Sprite2DInstanceData sprite;
            sprite.myPosition = { 0.0f, static_cast<float>(HEIGHT) };
            sprite.mySize = { static_cast<float>(WIDTH), static_cast<float>(HEIGHT) };
            return sprite;
        }

        Vra::TextureResource myTexture;
    };

    TEST_F(SpriteTextureTest, TheWholeTextureLiesUprightOnTheQuad)
    {
        DrawSprites({ FullScreenSprite() }, &myTexture);
        const Image image(BackBufferTexture());
        const Pixel topLeft = image.At(10, 10);
        const Pixel topRight = image.At(WIDTH - 10, 10);
        const Pixel bottomLeft = image.At(10, HEIGHT - 10);
        const Pixel bottomRight = image.At(WIDTH - 10, HEIGHT - 10);
        EXPECT_EQ(topLeft.r, 255); EXPECT_EQ(topLeft.g, 0);
        EXPECT_EQ(topRight.g, 255); EXPECT_EQ(topRight.r, 0);
        EXPECT_EQ(bottomLeft.b, 255); EXPECT_EQ(bottomLeft.r, 0);
        EXPECT_EQ(bottomRight.r, 255); EXPECT_EQ(bottomRight.g, 255); EXPECT_EQ(bottomRight.b, 255);
    }

    TEST_F(SpriteTextureTest, SpriteEdgesFadeOutWithTheBorderAddressMode)
    {
        // An opaque black texture drawn large with linear filtering: at its edges the filter reaches
        // past the texture into the border colour, which must not brighten them into a frame.
        myTexture.SetView(MakeTextureView(2, 2, { Rgba(0, 0, 0), Rgba(0, 0, 0), Rgba(0, 0, 0), Rgba(0, 0, 0) }));
        Vra::Engine::GetInstance()->SetClearColor({ 0.0f, 0.0f, 0.0f, 1.0f });
        States().SetSamplerState(Vra::SamplerFilter::Linear, Vra::SamplerAddressMode::Border);
        DrawSprites({ FullScreenSprite() }, &myTexture);
        const Image image(BackBufferTexture());
        int brightest = 0;
        for (std::uint32_t y = 0; y < HEIGHT; ++y)
        {
            for (std::uint32_t x = 0; x < WIDTH; ++x)
            {
                const Pixel pixel = image.At(x, y);
                brightest = std::max({ brightest, pixel.r, pixel.g, pixel.b });
            }
        }
        EXPECT_LE(brightest, 2);
    }

    struct RectangleCase
    {
        Vra::Vector4<float> myRectangle;
        Pixel myExpected;
    };

    class SpriteTextureRectangle : public SpriteTextureTest, public ::testing::WithParamInterface<RectangleCase> {};

    TEST_P(SpriteTextureRectangle, ShowsOnlyThePartTheRectangleNames)
    {
        Sprite2DInstanceData sprite = FullScreenSprite();
        sprite.myTextureRectangle = GetParam().myRectangle;
        DrawSprites({ sprite }, &myTexture);
        const Image image(BackBufferTexture());
        const Pixel expected = GetParam().myExpected;
        for (const auto& [x, y] : { std::pair{ 1u, 1u }, std::pair{ WIDTH - 2, 1u }, std::pair{ 1u, HEIGHT - 2 }, std::pair{ WIDTH - 2, HEIGHT - 2 } })
        {
            const Pixel pixel = image.At(x, y);
            EXPECT_EQ(pixel.r, expected.r) << x << "," << y;
            EXPECT_EQ(pixel.g, expected.g) << x << "," << y;
            EXPECT_EQ(pixel.b, expected.b) << x << "," << y;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Table, SpriteTextureRectangle, ::testing::Values(
        RectangleCase{ { 0.0f, 0.0f, 0.5f, 0.5f }, { 255, 0, 0, 255 } },
        RectangleCase{ { 0.5f, 0.0f, 1.0f, 0.5f }, { 0, 255, 0, 255 } },
        RectangleCase{ { 0.0f, 0.5f, 0.5f, 1.0f }, { 0, 0, 255, 255 } },
        RectangleCase{ { 0.5f, 0.5f, 1.0f, 1.0f }, { 255, 255, 255, 255 } }));

    TEST_F(SpriteDrawerTest, TheClipRectangleKeepsOnlyItsPartOfTheQuad)
    {
        // Left, top, right, bottom in fractions of the quad: the right half's lower half stays.
        Sprite2DInstanceData sprite;
        sprite.myPosition = { 0.0f, static_cast<float>(HEIGHT) };
        sprite.mySize = { static_cast<float>(WIDTH), static_cast<float>(HEIGHT) };
        sprite.myClipRectangle = { 0.5f, 0.5f, 1.0f, 1.0f };
        DrawSprites({ sprite });
        const Image image(BackBufferTexture());
        EXPECT_EQ(image.At(WIDTH * 3 / 4, HEIGHT * 3 / 4).r, 255);
        EXPECT_EQ(image.At(WIDTH / 4, HEIGHT * 3 / 4).r, 0);
        EXPECT_EQ(image.At(WIDTH * 3 / 4, HEIGHT / 4).r, 0);
        EXPECT_EQ(image.At(WIDTH / 4, HEIGHT / 4).r, 0);
    }

    TEST_F(SpriteDrawerTest, LinearisesTheColourBeforeTheShaderSeesIt)
    {
        // Into a plain 8-bit target the linear value lands as it is; the sRGB back buffer encodes it back.
        const Vra::RenderTarget target = Vra::RenderTarget::Create({ WIDTH, HEIGHT }, Format::R8G8B8A8_UNORM);
        target.SetAsActiveTarget(nullptr);
        Sprite2DInstanceData sprite;
        sprite.myPosition = { 0.0f, static_cast<float>(HEIGHT) };
        sprite.mySize = { static_cast<float>(WIDTH), static_cast<float>(HEIGHT) };
        sprite.myColor = { 0.5f, 0.25f, 1.0f, 1.0f };
        States().SetBlendState(Vra::BlendState::Disabled);
        DrawSprites({ sprite });
        Vra::DX11::BackBuffer->SetAsActiveTarget(nullptr);
        DrawSprites({ sprite });

        const Pixel linear = Image(target.GetRenderTargetView()->GetTexture2D()).At(5, 5);
        EXPECT_NEAR(linear.r, 55, 1);  // 0.214
        EXPECT_NEAR(linear.g, 13, 1);  // 0.0508
        EXPECT_EQ(linear.b, 255);
        const Pixel encoded = Image(BackBufferTexture()).At(5, 5);
        EXPECT_NEAR(encoded.r, 128, 1);
        EXPECT_NEAR(encoded.g, 64, 1);
        EXPECT_EQ(encoded.b, 255);
    }

    TEST_F(SpriteDrawerTest, ABatchFlushesEveryBatchSizeSprites)
    {
        std::vector<Sprite2DInstanceData> sprites(2500);
        for (Sprite2DInstanceData& sprite : sprites)
        {
            sprite.mySize = { 1.0f, 1.0f };
        }
        DeviceContext& context = *Vra::DX11::Context;
        context.ResetCounters();
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        DrawSprites(sprites);
        EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 3u);
        EXPECT_EQ(context.GetCounters().myDrawCalls, 3u);
        EXPECT_EQ(context.GetCounters().myInstancesDrawn, 2500u);
    }

    TEST_F(SpriteDrawerTest, HiddenSpritesAreSkippedButTheBatchStillDraws)
    {
        std::vector<Sprite2DInstanceData> sprites(1500);
        for (Sprite2DInstanceData& sprite : sprites)
        {
            sprite.mySize = { 10.0f, 10.0f };
            sprite.myIsHidden = true;
        }
        DeviceContext& context = *Vra::DX11::Context;
        context.ResetCounters();
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        DrawSprites(sprites);
        EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 1u);
        EXPECT_EQ(context.GetCounters().myDrawCalls, 1u);
        EXPECT_EQ(context.GetCounters().myInstancesDrawn, 0u);
    }

    TEST_F(SpriteDrawerTest, TheStateTransformMovesEverySprite)
    {
        Sprite2DInstanceData sprite;
        sprite.myPosition = { 0.0f, 10.0f };
        sprite.mySize = { 10.0f, 10.0f };
        States().Push();
        Vra::Matrix4x4 transform;
        transform(4, 1) = 50.0f;
        transform(4, 2) = 20.0f;
        States().GetRenderState().myTransform = transform;
        DrawSprites({ sprite });
        States().Pop();

        const Image image(BackBufferTexture());
        EXPECT_EQ(image.At(55, HEIGHT - 25).r, 255);
        EXPECT_EQ(image.At(5, HEIGHT - 5).r, 0);
    }

    TEST_F(SpriteDrawerTest, MisuseFailsItsAssertion)
    {
        EXPECT_EQ(TestSupport::FailedAssertion([&] {
            Vra::SpriteBatchScope first = Drawer().BeginBatch({});
            Vra::SpriteBatchScope second = Drawer().BeginBatch({});
        }), "!myIsInBatch");
        EXPECT_FALSE(Drawer().IsInBatch());

        Vra::SpriteDrawer unloaded;
        EXPECT_EQ(TestSupport::FailedAssertion([&] { unloaded.BeginBatch({}); }), "myIsLoaded");
    }

    TEST_F(SpriteDrawerTest, AMovedScopeEndsTheBatchOnce)
    {
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        {
            Vra::SpriteBatchScope first = Drawer().BeginBatch({});
            Vra::SpriteBatchScope second(std::move(first));
            EXPECT_TRUE(Drawer().IsInBatch());
        }
        EXPECT_FALSE(Drawer().IsInBatch());
        EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 1u);
    }
}
