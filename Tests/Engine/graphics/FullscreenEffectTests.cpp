#include "EngineTestSupport.h"
#include "GpuReadBack.h"

#include "graphics/FullscreenEffect.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/RenderTarget.h"
#include "postprocess/FullscreenPixelateEffect.h"

#include <cmath>
#include <cstring>
#include <functional>

namespace
{
    using namespace EngineTestSupport;

    constexpr std::uint32_t SIZE = 32;

    // Runs a pass over a source bound at slot 1 into a plain 8-bit target and reads the result.
    class FullscreenEffectTest : public EngineFrameTest
    {
    protected:
        void SetUp() override
        {
            EngineFrameTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            Vra::GraphicsStateStack& states = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack();
            states.SetBlendState(Vra::BlendState::Disabled);
            states.SetSamplerState(Vra::SamplerFilter::Point, Vra::SamplerAddressMode::Clamp);
        }

        Image Run(Vra::FullscreenEffect& anEffect, const Ref<ShaderResourceView>& aSource)
        {
            const Vra::RenderTarget target = Vra::RenderTarget::Create({ SIZE, SIZE }, Format::R8G8B8A8_UNORM);
            target.SetAsActiveTarget(nullptr);
            Vra::DX11::Context->PSSetShaderResources(1, 1, &aSource);
            anEffect.Render();
            return Image(target.GetRenderTargetView()->GetTexture2D());
        }

        Vra::GraphicsEngine& Graphics() { return *Vra::Engine::GetInstance()->GetGraphicsEngine(); }

        static std::vector<std::uint32_t> Pattern(const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& aPixel)
        {
            std::vector<std::uint32_t> pixels(SIZE * SIZE);
            for (std::uint32_t y = 0; y < SIZE; ++y)
            {
                for (std::uint32_t x = 0; x < SIZE; ++x)
                {
                    pixels[y * SIZE + x] = aPixel(x, y);
                }
            }
            return pixels;
        }

        static std::uint32_t Gradient(std::uint32_t aX, std::uint32_t aY)
        {
            return Rgba(static_cast<std::uint8_t>(aX * 8), static_cast<std::uint8_t>(aY * 8), 77);
        }
    };

    TEST_F(FullscreenEffectTest, CopyReproducesTheSource)
    {
        const Image image = Run(*Graphics().GetCopyEffect(), MakeTextureView(SIZE, SIZE, Pattern(Gradient)));
        for (std::uint32_t y = 0; y < SIZE; ++y)
        {
            for (std::uint32_t x = 0; x < SIZE; ++x)
            {
                const Pixel pixel = image.At(x, y);
                ASSERT_EQ(pixel.r, static_cast<int>(x * 8)) << x << "," << y;
                ASSERT_EQ(pixel.g, static_cast<int>(y * 8)) << x << "," << y;
                ASSERT_EQ(pixel.b, 77);
            }
        }
    }

    TEST_F(FullscreenEffectTest, TonemapCompressesHighValuesBelowOne)
    {
        // Half-float texels: 0, 0.5, 4 and 64 in the four quarters of the row.
        const float values[4] = { 0.0f, 0.5f, 4.0f, 64.0f };
        std::vector<std::uint16_t> halves(SIZE * SIZE * 4);
        const std::uint16_t encoded[4] = { 0x0000, 0x3800, 0x4400, 0x5400 };
        for (std::uint32_t y = 0; y < SIZE; ++y)
        {
            for (std::uint32_t x = 0; x < SIZE; ++x)
            {
                std::uint16_t* texel = &halves[(y * SIZE + x) * 4];
                texel[0] = texel[1] = texel[2] = encoded[x * 4 / SIZE];
                texel[3] = 0x3C00;
            }
        }
        Texture2DDesc description;
        description.myWidth = SIZE;
        description.myHeight = SIZE;
        description.myFormat = Format::R16G16B16A16_FLOAT;
        description.myBindFlags = BIND_SHADER_RESOURCE;
        SubresourceData data{ halves.data(), SIZE * 8, 0 };
        Ref<Texture2D> texture;
        ASSERT_TRUE(SUCCEEDED(Vra::DX11::Device->CreateTexture2D(description, &data, &texture)));
        Ref<ShaderResourceView> view;
        ASSERT_TRUE(SUCCEEDED(Vra::DX11::Device->CreateShaderResourceView(texture, nullptr, &view)));

        const Image image = Run(*Graphics().GetTonemapEffect(), view);
        int previous = -1;
        for (int quarter = 0; quarter < 4; ++quarter)
        {
            const int value = image.At(quarter * SIZE / 4 + 2, 5).r;
            EXPECT_GT(value, previous) << values[quarter];
            previous = value;
        }
        EXPECT_EQ(image.At(1, 1).r, 0);
        EXPECT_LT(image.At(SIZE / 4 + 2, 5).r, 255 * 0.7);   // 0.5 maps to about 0.62
        EXPECT_GT(image.At(SIZE / 4 + 2, 5).r, 255 * 0.55);
        EXPECT_LT(image.At(SIZE / 2 + 2, 5).r, 255);          // 4 stays below white...
        EXPECT_GT(image.At(SIZE / 2 + 2, 5).r, 255 * 0.9);    // ...but close to it
    }

    struct BlurCase
    {
        const char* myName;
        bool myIsVertical;
    };

    class GaussianBlur : public FullscreenEffectTest, public ::testing::WithParamInterface<BlurCase> {};

    TEST_P(GaussianBlur, SpreadsASinglePointAlongItsAxisOnly)
    {
        const std::uint32_t centre = SIZE / 2;
        const auto dot = [centre](std::uint32_t aX, std::uint32_t aY) { return aX == centre && aY == centre ? Rgba(255, 255, 255) : Rgba(0, 0, 0); };
        Vra::FullscreenEffect& pass = GetParam().myIsVertical ? *Graphics().GetGaussianVerticalEffect() : *Graphics().GetGaussianHorizontalEffect();
        const Image image = Run(pass, MakeTextureView(SIZE, SIZE, Pattern(dot)));

        const auto along = [&](int anOffset) {
            return GetParam().myIsVertical ? image.At(centre, centre + anOffset).r : image.At(centre + anOffset, centre).r;
        };
        const auto across = [&](int anOffset) {
            return GetParam().myIsVertical ? image.At(centre + anOffset, centre).r : image.At(centre, centre + anOffset).r;
        };
        EXPECT_LT(along(0), 255) << GetParam().myName;
        EXPECT_GT(along(0), 30);
        EXPECT_GT(along(2), 0);
        EXPECT_GT(along(-2), 0);
        EXPECT_GT(along(1), along(3));
        EXPECT_EQ(along(6), 0);
        EXPECT_EQ(across(1), 0);
        EXPECT_EQ(across(-1), 0);
    }

    INSTANTIATE_TEST_SUITE_P(Table, GaussianBlur, ::testing::Values(BlurCase{ "vertical", true }, BlurCase{ "horizontal", false }),
                             [](const auto& anInfo) { return std::string(anInfo.param.myName); });

    TEST_F(FullscreenEffectTest, VignetteDarkensTheCornersAndKeepsTheCentre)
    {
        Vra::FullscreenEffect vignette;
        ASSERT_TRUE(vignette.Init("Shaders/PostprocessVignettePS"));
        const Image image = Run(vignette, MakeTextureView(SIZE, SIZE, Pattern([](auto, auto) { return Rgba(200, 200, 200); })));
        EXPECT_NEAR(image.At(SIZE / 2, SIZE / 2).r, 200, 1);
        EXPECT_LT(image.At(0, 0).r, 140);
        EXPECT_LT(image.At(SIZE - 1, SIZE - 1).r, 140);
        EXPECT_LT(image.At(0, 0).r, image.At(SIZE / 4, SIZE / 4).r);
    }

    TEST_F(FullscreenEffectTest, FilmGrainAddsNoiseAroundTheSourceValue)
    {
        Vra::FullscreenEffect grain;
        ASSERT_TRUE(grain.Init("Shaders/PostprocessFilmGrainPS"));
        const Image image = Run(grain, MakeTextureView(SIZE, SIZE, Pattern([](auto, auto) { return Rgba(128, 128, 128); })));
        double sum = 0.0;
        int differing = 0;
        for (std::uint32_t y = 0; y < SIZE; ++y)
        {
            for (std::uint32_t x = 0; x < SIZE; ++x)
            {
                const int value = image.At(x, y).r;
                sum += value;
                differing += value != 128 ? 1 : 0;
                EXPECT_LE(std::abs(value - 128), 12);
            }
        }
        EXPECT_GT(differing, static_cast<int>(SIZE * SIZE / 2));
        EXPECT_NEAR(sum / (SIZE * SIZE), 128.0, 2.0);
    }

    TEST_F(FullscreenEffectTest, AMissingPixelShaderFailsInit)
    {
        Vra::FullscreenEffect effect;
        EXPECT_FALSE(effect.Init("Shaders/NoSuchShaderPS"));
        EXPECT_FALSE(effect.IsInitialized());
    }

    TEST_F(FullscreenEffectTest, EachPassCountsOneDrawCall)
    {
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        Run(*Graphics().GetCopyEffect(), MakeTextureView(SIZE, SIZE, Pattern(Gradient)));
        EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 1u);
    }

    // The back buffer is 128 by 64; the pass reads its own copy of the scene.
    class PixelateTest : public EngineTest {};

    TEST_F(PixelateTest, ShowsEachBlockInTheColourOfItsCentreAndReceivesItsConstants)
    {
        ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        FullscreenPixelateEffect& pixelate = *Vra::Engine::GetInstance()->GetGraphicsEngine()->GetPixelateEffect();
        EXPECT_FLOAT_EQ(pixelate.GetPixelSize(), 16.0f);
        pixelate.SetPixelSize(8.0f);

        // Scene: every pixel distinct.
        const Ref<Texture2D> source = pixelate.GetRenderTargetView()->GetTexture2D();
        const std::uint32_t width = source->GetDesc().myWidth;
        const std::uint32_t height = source->GetDesc().myHeight;
        std::vector<std::uint32_t> scene(width * height);
        for (std::uint32_t y = 0; y < height; ++y)
        {
            for (std::uint32_t x = 0; x < width; ++x)
            {
                // Stored as B, G, R, A bytes: x in red, y in green.
                scene[y * width + x] = Rgba(0, static_cast<std::uint8_t>(y * 4), static_cast<std::uint8_t>(x * 2));
            }
        }
        Vra::DX11::Context->UpdateSubresource(source, 0, nullptr, scene.data(), width * 4, 0);

        pixelate.Render();

        const Ref<Buffer> constants = Vra::DX11::Context->PSGetConstantBuffer(FullscreenPixelateEffect::CONSTANT_BUFFER_SLOT);
        ASSERT_TRUE(constants);
        EXPECT_EQ(constants->GetDesc().myByteWidth, 16u);
        EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(FullscreenPixelateEffect::SOURCE_TEXTURE_SLOT), pixelate.GetShaderResourceView());

        const Image image(BackBufferTexture());
        int wrong = 0;
        for (std::uint32_t y = 0; y < height; ++y)
        {
            for (std::uint32_t x = 0; x < width; ++x)
            {
                const std::uint32_t centreX = x / 8 * 8 + 4;
                const std::uint32_t centreY = y / 8 * 8 + 4;
                const Pixel pixel = image.At(x, y);
                // The source is read as plain bytes and written through the sRGB view, so compare
                // neighbouring blocks by equality rather than by value.
                const Pixel centre = image.At(centreX, centreY);
                if (pixel.r != centre.r || pixel.g != centre.g)
                {
                    ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_NE(image.At(4, 4).r, image.At(12, 4).r);
        EXPECT_NE(image.At(4, 4).g, image.At(4, 12).g);
    }

    class PixelateConstants : public ::testing::Test
    {
    protected:
        void TearDown() override { ResetProcessState(); }
    };

    TEST_F(PixelateConstants, TheShaderReceivesThePixelSizeAndTheRenderSize)
    {
        EngineFolder folder;
        folder.Load();
        Vra::GetEngineConfiguration().myRenderSize = { 1920, 1080 };
        ASSERT_TRUE(Vra::Engine::Start());
        ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        FullscreenPixelateEffect& pixelate = *Vra::Engine::GetInstance()->GetGraphicsEngine()->GetPixelateEffect();
        pixelate.SetPixelSize(6.0f);
        pixelate.Render();

        const Ref<Buffer> bound = Vra::DX11::Context->PSGetConstantBuffer(FullscreenPixelateEffect::CONSTANT_BUFFER_SLOT);
        ASSERT_TRUE(bound);
        const std::vector<std::uint8_t> bytes = TestSupport::ReadBack(*Vra::DX11::Device, bound);
        ASSERT_EQ(bytes.size(), 16u);
        float pixelSize = 0.0f;
        std::uint32_t words[3] = {};
        std::memcpy(&pixelSize, bytes.data(), 4);
        std::memcpy(words, bytes.data() + 4, 12);
        EXPECT_FLOAT_EQ(pixelSize, 6.0f);
        EXPECT_EQ(words[0], 1920u);
        EXPECT_EQ(words[1], 1080u);
        EXPECT_EQ(words[2], 0u);
    }
}
