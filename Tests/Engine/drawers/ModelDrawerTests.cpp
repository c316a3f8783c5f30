#include "ModelFactoryTestSupport.h"

#include "drawers/ModelDrawer.h"
#include "graphics/Camera.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/ModelShader.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"
#include "model/AnimatedModelInstance.h"
#include "model/AnimationPlayer.h"
#include "model/ModelInstance.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace
{
    using namespace ModelFactoryTestSupport;
    using EngineTestSupport::Image;
    using EngineTestSupport::Pixel;
    using Vra::Matrix4x4;

    constexpr std::uint32_t SIZE = 128;
    // World units per pixel of the orthographic view.
    constexpr float SCALE = 2.0f;

    float LinearToSrgb(float aValue)
    {
        aValue = std::clamp(aValue, 0.0f, 1.0f);
        return aValue <= 0.0031308f ? aValue * 12.92f : 1.055f * std::pow(aValue, 1.0f / 2.4f) - 0.055f;
    }

    int SrgbByte(float aLinear)
    {
        return static_cast<int>(std::lround(LinearToSrgb(aLinear) * 255.0f));
    }

    void ExpectColour(const Pixel& aPixel, int aRed, int aGreen, int aBlue, const std::string& aWhere, int aTolerance = 3)
    {
        EXPECT_NEAR(aPixel.r, aRed, aTolerance) << aWhere;
        EXPECT_NEAR(aPixel.g, aGreen, aTolerance) << aWhere;
        EXPECT_NEAR(aPixel.b, aBlue, aTolerance) << aWhere;
    }

    bool IsBlack(const Pixel& aPixel)
    {
        return aPixel.r == 0 && aPixel.g == 0 && aPixel.b == 0;
    }

    // Draws models through the engine's model drawer, seen by an orthographic camera looking along
    // +z from z = -1000 (as the level's camera does) over 256 by 256 world units around a centre.
    class ModelDrawing : public ModelFactoryTest
    {
    protected:
        ModelDrawing() : ModelFactoryTest(SIZE, SIZE) {}

        void SetUp() override
        {
            ModelFactoryTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        }

        Vra::GraphicsEngine& Graphics() const { return *Vra::Engine::GetInstance()->GetGraphicsEngine(); }
        Vra::ModelDrawer& Drawer() const { return Graphics().GetModelDrawer(); }

        // Clears, draws with the camera at aCentre (z = -1000 unless given) and back-face
        // culling as asked, and reads the picture back.
        Image Draw(const std::function<void()>& aDraw, const Vra::Vector3f& aCentre = { 0, 0, -1000 },
                   Vra::RasterizerState aRasterizer = Vra::RasterizerState::BackFaceCulling)
        {
            Vra::DX11::BackBuffer->Clear({ 0.0f, 0.0f, 0.0f, 1.0f });
            Vra::Camera camera;
            camera.SetOrthographicProjection(SIZE * SCALE, SIZE * SCALE, 2000.0f);
            camera.myTransform = Matrix4x4::CreateTranslation(aCentre);
            Vra::GraphicsStateStack& stack = Graphics().GetGraphicsStateStack();
            stack.Push();
            stack.SetCamera(camera);
            stack.SetRasterizerState(aRasterizer);
            aDraw();
            stack.Pop();
            return Image(EngineTestSupport::BackBufferTexture());
        }

        // The pixel that shows the world point (x, y) when the camera is centred on (cx, cy).
        static Pixel At(const Image& anImage, float anX, float aY, float aCentreX = 0.0f, float aCentreY = 0.0f)
        {
            const auto column = static_cast<std::uint32_t>(std::floor((anX - aCentreX) / SCALE + SIZE / 2.0f));
            const auto row = static_cast<std::uint32_t>(std::floor(SIZE / 2.0f - (aY - aCentreY) / SCALE));
            return anImage.At(column, row);
        }

        Vra::TextureResource* Texture(const std::string& aName) const
        {
            const fs::path file = ModelTestFiles::CopyTexture(aName, Game() / "textures");
            return Vra::Engine::GetInstance()->GetTextureManager()->GetTexture(file.string().c_str(), Vra::TextureSrgbMode::ForceSrgb);
        }

        // The box file with its green colour texture beside it.
        Vra::ModelInstance GreenBox() const
        {
            const std::string path = Install("box.fbx");
            ModelTestFiles::CopyTexture("Box_C.dds", Game() / "models");
            return Factory().GetModelInstance(path);
        }
    };

    Matrix4x4 Placed(float aScale, const Vra::Vector3f& aTranslation, const Matrix4x4& aRotation = Matrix4x4())
    {
        return Matrix4x4::CreateScale({ aScale, aScale, aScale }) * aRotation * Matrix4x4::CreateTranslation(aTranslation);
    }
}

TEST_F(ModelDrawing, TheCubeDrawsWhereItsTransformPutsIt)
{
    Vra::ModelInstance cube = Factory().GetModelInstance("Cube");
    ASSERT_TRUE(cube.IsBound());
    cube.SetTransform(Placed(0.5f, { 60.0f, 40.0f, 0.0f }));
    const std::uint32_t before = Vra::Engine::GetDrawCallCount();
    const Image image = Draw([&] { Drawer().Draw(cube); });
    EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 1u);

    // Edge 50 around (60, 40); the face towards the camera (-z) is the green one.
    ExpectColour(At(image, 60, 40), 0, 255, 0, "centre");
    ExpectColour(At(image, 37, 17), 0, 255, 0, "near a corner");
    EXPECT_TRUE(IsBlack(At(image, 31, 40))) << "left of it";
    EXPECT_TRUE(IsBlack(At(image, 89, 40))) << "right of it";
    EXPECT_TRUE(IsBlack(At(image, 60, 69))) << "above it";
    EXPECT_TRUE(IsBlack(At(image, 60, 11))) << "below it";
    EXPECT_TRUE(IsBlack(At(image, -60, -40))) << "where the untransformed cube would stand";
}

TEST_F(ModelDrawing, TheCubesVertexColoursShowOnEveryFaceTurnedToTheCamera)
{
    Vra::ModelInstance cube = Factory().GetModelInstance("Cube");
    const float quarter = std::numbers::pi_v<float> / 2.0f;
    const struct
    {
        const char* myFace;
        Vra::Vector3f myNormal;
        Matrix4x4 myTurn;
        int myRgb[3];
    } faces[] = {
        { "+z", { 0, 0, 1 }, Matrix4x4::CreateRotationAroundY(2.0f * quarter), { 255, 255, 255 } },
        { "-x", { -1, 0, 0 }, Matrix4x4::CreateRotationAroundY(-quarter), { 255, 0, 0 } },
        { "-z", { 0, 0, -1 }, Matrix4x4(), { 0, 255, 0 } },
        { "+x", { 1, 0, 0 }, Matrix4x4::CreateRotationAroundY(quarter), { 0, 0, 255 } },
        { "+y", { 0, 1, 0 }, Matrix4x4::CreateRotationAroundX(-quarter), { 255, 255, 0 } },
        { "-y", { 0, -1, 0 }, Matrix4x4::CreateRotationAroundX(quarter), { 255, 0, 255 } },
    };
    for (const auto& face : faces)
    {
        const Vra::Vector3f towards = face.myTurn.TransformDirection(face.myNormal);
        ASSERT_NEAR(towards.z, -1.0f, 1e-5f) << face.myFace << " is turned to the camera";
        cube.SetTransform(face.myTurn);
        const Image image = Draw([&] { Drawer().Draw(cube); });
        ExpectColour(At(image, 10, 10), face.myRgb[0], face.myRgb[1], face.myRgb[2], face.myFace);
        EXPECT_TRUE(IsBlack(At(image, 60, 0))) << face.myFace;
    }
}

TEST_F(ModelDrawing, ClosedMeshesShowTheirOuterFacesFromOutsideAndNothingFromInside)
{
    // With back faces culled: a camera outside sees the near faces; one inside sees only back faces.
    const Vra::ModelInstance box = GreenBox();
    ASSERT_TRUE(box.IsBound());
    const Vra::ModelInstance cube = Factory().GetModelInstance("Cube");
    for (const Vra::ModelInstance* instance : { &box, &cube })
    {
        const std::string name = instance->GetModel()->GetPath();
        const Image outside = Draw([&] { Drawer().Draw(*instance); });
        EXPECT_FALSE(IsBlack(At(outside, 0, 0))) << name;
        EXPECT_TRUE(IsBlack(At(outside, 0, 60))) << name;

        const Image inside = Draw([&] { Drawer().Draw(*instance); }, { 0, 0, 0 });
        for (const auto& [x, y] : { std::pair{ 0.0f, 0.0f }, { 30.0f, -20.0f }, { -45.0f, 45.0f } })
        {
            EXPECT_TRUE(IsBlack(At(inside, x, y))) << name << " at " << x << ", " << y;
        }
        // Without culling the same view shows the far faces: the test above can see a face.
        const Image unculled = Draw([&] { Drawer().Draw(*instance); }, { 0, 0, 0 }, Vra::RasterizerState::NoFaceCulling);
        EXPECT_FALSE(IsBlack(At(unculled, 0, 0))) << name;
    }
}

TEST_F(ModelDrawing, ABlenderMeshDrawsWithItsMaterialsColourTexture)
{
    Vra::ModelInstance box = GreenBox();
    ASSERT_TRUE(box.IsBound());
    box.SetTransform(Placed(1.0f, { -40.0f, 20.0f, 0.0f }));
    const Image image = Draw([&] { Drawer().Draw(box); });
    ExpectColour(At(image, -40, 20), 0, 255, 0, "centre");
    ExpectColour(At(image, -88, 68), 0, 255, 0, "top-left corner");
    EXPECT_TRUE(IsBlack(At(image, -40, 75))) << "above";
    EXPECT_TRUE(IsBlack(At(image, 15, 20))) << "right";
}

TEST_F(ModelDrawing, EachMeshOfAModelDrawsWithItsOwnMaterialsTexture)
{
    const std::string path = Install("two_meshes.fbx");
    ModelTestFiles::CopyTexture("LeftPaint_C.dds", Game() / "models");
    ModelTestFiles::CopyTexture("RightPaint_C.dds", Game() / "models");
    const Vra::ModelInstance model = Factory().GetModelInstance(path);
    ASSERT_TRUE(model.IsBound());
    const std::uint32_t before = Vra::Engine::GetDrawCallCount();
    const Image image = Draw([&] { Drawer().Draw(model); }, { 0, 40, -1000 });
    EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 2u);

    // Left: x -100..-20, up to 80 high, red; right: x 20..100, up to 40, blue (Blender's z is up).
    ExpectColour(At(image, -60, 20, 0, 40), 255, 0, 0, "left, low");
    ExpectColour(At(image, -60, 70, 0, 40), 255, 0, 0, "left, high");
    ExpectColour(At(image, 60, 20, 0, 40), 0, 0, 255, "right, low");
    EXPECT_TRUE(IsBlack(At(image, 60, 60, 0, 40))) << "the right one is lower";
    EXPECT_TRUE(IsBlack(At(image, 0, 20, 0, 40))) << "between them";
    EXPECT_TRUE(IsBlack(At(image, -60, -10, 0, 40))) << "below the floor";
}

TEST_F(ModelDrawing, AnInstanceDrawsWithItsOwnTextures)
{
    Vra::ModelInstance cube = Factory().GetModelInstance("Cube");
    Vra::TextureResource* red = Texture("LeftPaint_C.dds");
    cube.GetTextures()[0][0] = red;
    const Image image = Draw([&] { Drawer().Draw(cube); });
    EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(1), red->mySRV);
    // Red texture times the green face: nothing shows; the model keeps its white default.
    ExpectColour(At(image, 0, 0), 0, 0, 0, "red on green");
    EXPECT_NE(cube.GetModel()->GetTextures()[0][0], red);
}

TEST_F(ModelDrawing, StaticInstancesUseTheModelShaderAndSkinnedOnesTheSkinningShader)
{
    const Vra::ModelInstance cube = Factory().GetModelInstance("Cube");
    Draw([&] { Drawer().Draw(cube); });
    EXPECT_EQ(Vra::DX11::Context->VSGetShader(), Vra::DX11::GetVertexShader("shaders/model_shader_VS")->myShader);

    const Vra::AnimatedModelInstance skinned = Factory().GetAnimatedModelInstance(Install("skinned.fbx"));
    ASSERT_TRUE(skinned.IsBound());
    Draw([&] { Drawer().Draw(skinned); });
    EXPECT_EQ(Vra::DX11::Context->VSGetShader(), Vra::DX11::GetVertexShader("shaders/animated_model_shader_VS")->myShader);
    const Platform::Gpu::Ref<Platform::Gpu::Buffer> joints = Vra::DX11::Context->VSGetConstantBuffer(Vra::ModelShader::JOINT_BUFFER_SLOT);
    ASSERT_TRUE(joints);

    // Unbound instances draw nothing.
    const std::uint32_t before = Vra::Engine::GetDrawCallCount();
    Draw([&] {
        Drawer().Draw(Vra::ModelInstance());
        Drawer().Draw(Vra::AnimatedModelInstance());
    });
    EXPECT_EQ(Vra::Engine::GetDrawCallCount(), before);
}

TEST_F(ModelDrawing, ASkinnedModelChangesOnlyWhereItsAnimatedJointMoves)
{
    const std::string path = Install("skinned.fbx");
    ModelTestFiles::CopyTexture("Body_C.dds", Game() / "models");
    Vra::AnimatedModelInstance instance = Factory().GetAnimatedModelInstance(path);
    ASSERT_TRUE(instance.IsBound());
    Vra::AnimationPlayer player = Factory().GetAnimationPlayer(path, instance.GetModel());
    ASSERT_TRUE(player.HasAnimation());
    const Vra::Vector3f centre{ 20, 40, -1000 };

    auto drawFrame = [&](float aTime) {
        player.SetTime(aTime);
        player.SetState(Vra::AnimationState::Playing);
        player.UpdatePose();
        instance.SetPose(player);
        return Draw([&] { Drawer().Draw(instance); }, centre);
    };
    const Image first = drawFrame(0.0f);
    const Image last = drawFrame(1.0f - 1e-4f);

    // Where Blender puts the arm's vertices at frames 0 and 30 (its x and z are the picture's
    // x and y); the post's stay.
    const nlohmann::json& facts = ModelTestFiles::Expected()["skinned"];
    struct Box
    {
        float myLow[2] = { 1e9f, 1e9f };
        float myHigh[2] = { -1e9f, -1e9f };
        void Add(const nlohmann::json& aPoint)
        {
            const float point[2] = { aPoint[0].get<float>(), aPoint[2].get<float>() };
            for (int axis = 0; axis < 2; ++axis)
            {
                myLow[axis] = std::min(myLow[axis], point[axis]);
                myHigh[axis] = std::max(myHigh[axis], point[axis]);
            }
        }
        bool Contains(float anX, float aY, float aMargin) const
        {
            return anX >= myLow[0] - aMargin && anX <= myHigh[0] + aMargin && aY >= myLow[1] - aMargin && aY <= myHigh[1] + aMargin;
        }
    };
    Box post;
    Box armFirst;
    Box armLast;
    for (std::size_t vertex = 0; vertex < facts["rest_vertices"].size(); ++vertex)
    {
        // The file's vertices 0 to 7 are the post, 8 to 15 the arm.
        if (vertex < 8)
        {
            post.Add(facts["rest_vertices"][vertex]);
            continue;
        }
        armFirst.Add(facts["frames"]["0"]["vertices"][vertex]);
        armLast.Add(facts["frames"]["30"]["vertices"][vertex]);
    }

    int changed = 0;
    for (std::uint32_t row = 0; row < SIZE; ++row)
    {
        for (std::uint32_t column = 0; column < SIZE; ++column)
        {
            const Pixel a = first.At(column, row);
            const Pixel b = last.At(column, row);
            if (a.r == b.r && a.g == b.g && a.b == b.b)
            {
                continue;
            }
            ++changed;
            const float x = centre.x + (column + 0.5f - SIZE / 2.0f) * SCALE;
            const float y = centre.y + (SIZE / 2.0f - row - 0.5f) * SCALE;
            EXPECT_TRUE(armFirst.Contains(x, y, SCALE) || armLast.Contains(x, y, SCALE)) << "changed at " << x << ", " << y;
        }
    }
    EXPECT_GT(changed, 100);
    // The post, where no arm ever is, stays yellow in both.
    for (const float y : { 10.0f, 45.0f, 80.0f })
    {
        ASSERT_FALSE(armFirst.Contains(0, y, SCALE) || armLast.Contains(0, y, SCALE));
        ExpectColour(At(first, 0, y, centre.x, centre.y), 255, 255, 0, "post at frame 0");
        ExpectColour(At(last, 0, y, centre.x, centre.y), 255, 255, 0, "post at frame 30");
    }
    // The arm's tip at the start is empty at the end.
    const float tipX = armFirst.myHigh[0] - 4.0f;
    const float tipY = (armFirst.myLow[1] + armFirst.myHigh[1]) / 2.0f;
    ExpectColour(At(first, tipX, tipY, centre.x, centre.y), 255, 255, 0, "arm tip at frame 0");
    EXPECT_TRUE(IsBlack(At(last, tipX, tipY, centre.x, centre.y))) << "arm tip at frame 30";
}

namespace
{
    // Light from the camera's side along +z: ambient a (sRGB grey), directional white of intensity i.
    void LightFromTheCamera(Vra::GraphicsStateStack& aStack, float anAmbientSrgb, float anIntensity)
    {
        Vra::RenderState& state = aStack.GetRenderState();
        state.mySecondLightColor = { anAmbientSrgb, anAmbientSrgb, anAmbientSrgb, 1.0f };
        state.myFirstLightColor = { 1.0f, 1.0f, 1.0f, 1.0f };
        state.myLightScalar = anIntensity;
        // Its third row (0, 0, 1) is the direction the light shines in.
        state.myLightMatrix = Matrix4x4();
        ++state.myLightVersion;
    }
}

TEST_F(ModelDrawing, TheLambertAndPbrShadersLightTheTexturedSurface)
{
    const Vra::ModelInstance box = GreenBox();
    ASSERT_TRUE(box.IsBound());
    constexpr float AMBIENT_SRGB = 0.5f;
    constexpr float INTENSITY = 0.3f;
    const float ambient = Vra::SrgbToLinear(AMBIENT_SRGB);

    // Green albedo (linear 1 in green), the surface facing both the light and the camera.
    // Lambert: albedo * (ambient + intensity). PBR with the default material (rough, not metallic,
    // no occlusion) and the white environment: diffuse 0.96 albedo and specular 0.04 / 4 of the
    // light, plus 0.96 albedo + 0.04 of the ambient.
    const struct
    {
        const char* myName;
        Vra::ModelShader* myShader;
        float myGreen;
        float myOther;
    } shaders[] = {
        { "model", Drawer().GetDefaultShader(), ambient + INTENSITY, 0.0f },
        { "Lambert", Drawer().GetLambertShader(), ambient + INTENSITY, 0.0f },
        { "PBR", Drawer().GetPbrShader(), INTENSITY * 0.97f + ambient, INTENSITY * 0.01f + ambient * 0.04f },
    };
    for (const auto& shader : shaders)
    {
        ASSERT_NE(shader.myShader, nullptr) << shader.myName;
        const Image lit = Draw([&] {
            LightFromTheCamera(Graphics().GetGraphicsStateStack(), AMBIENT_SRGB, INTENSITY);
            box.Render(*shader.myShader);
        });
        ExpectColour(At(lit, 0, 0), SrgbByte(shader.myOther), SrgbByte(shader.myGreen), SrgbByte(shader.myOther), shader.myName, 4);

        // Turned 60 degrees from the light, the face takes half the directional light; sampled
        // at its centre, which moves to x = -50 sin 60.
        const float angle = std::numbers::pi_v<float> / 3.0f;
        Vra::ModelInstance turned = box;
        turned.SetTransform(Matrix4x4::CreateRotationAroundY(angle));
        const Image dimmer = Draw([&] {
            LightFromTheCamera(Graphics().GetGraphicsStateStack(), AMBIENT_SRGB, INTENSITY);
            turned.Render(*shader.myShader);
        });
        const Pixel faceCentre = At(dimmer, -50.0f * std::sin(angle), 0);
        if (shader.myOther == 0.0f)
        {
            ExpectColour(faceCentre, 0, SrgbByte(ambient + 0.5f * INTENSITY), 0, std::string(shader.myName) + " turned", 4);
        }
        EXPECT_LT(faceCentre.g, At(lit, 0, 0).g - 10) << shader.myName;
        EXPECT_GT(faceCentre.g, SrgbByte(ambient * 0.9f)) << shader.myName;
    }
}
