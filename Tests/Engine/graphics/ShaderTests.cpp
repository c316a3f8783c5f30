#include "EngineTestSupport.h"

#include "drawers/CustomShapeDrawer.h"
#include "drawers/LineDrawer.h"
#include "drawers/ModelDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/ModelShader.h"
#include "graphics/Shader.h"
#include "graphics/SpriteShader.h"
#include "graphics/TextureResource.h"
#include "model/MeshData.h"

#include <string>

namespace
{
    using namespace EngineTestSupport;

    class ShaderTest : public EngineFrameTest
    {
    protected:
        Vra::GraphicsEngine& Graphics() { return *Vra::Engine::GetInstance()->GetGraphicsEngine(); }
    };

    struct LoadCase
    {
        const char* myVertexShader;
        const char* myPixelShader;
    };

    class ShaderWithMissingObject : public ShaderTest, public ::testing::WithParamInterface<LoadCase> {};

    TEST_P(ShaderWithMissingObject, StaysUnloadedAndBindsNothing)
    {
        Vra::ModelShader shader;
        EXPECT_FALSE(shader.LoadShaders(GetParam().myVertexShader, GetParam().myPixelShader));
        EXPECT_FALSE(shader.IsLoaded());
        EXPECT_FALSE(shader.Bind());
    }

    INSTANTIATE_TEST_SUITE_P(Table, ShaderWithMissingObject, ::testing::Values(
        LoadCase{ "shaders/model_shader_VS", "shaders/no_such_PS" },
        LoadCase{ "shaders/no_such_VS", "shaders/model_shader_PS" }));

    TEST_F(ShaderTest, ABaseShaderFeedsTheDefaultLayoutWhereASubclassBringsItsOwn)
    {
        // The sprite vertex shader reads its corner index as integers; the default layout feeds
        // that input as floats, so only the sprite shader's own layout fits.
        Vra::Shader base;
        EXPECT_FALSE(base.LoadShaders("shaders/instanced_sprite_shader_VS", "shaders/model_shader_vertex_color_textured_PS", {}));
        Vra::SpriteShader sprite;
        EXPECT_TRUE(sprite.LoadShaders("shaders/instanced_sprite_shader_VS", "shaders/model_shader_vertex_color_textured_PS"));
        ASSERT_TRUE(sprite.GetInputLayout());
        EXPECT_EQ(sprite.GetInputLayout()->GetAttributes().size(), 9u);

        // A vertex shader without inputs takes the default layout as it is.
        Vra::Shader fullscreen;
        EXPECT_TRUE(fullscreen.LoadShaders("Shaders/PostprocessVS", "Shaders/PostprocessCopyPS", {}));
        EXPECT_TRUE(fullscreen.GetInputLayout());
        EXPECT_TRUE(fullscreen.Bind());
        EXPECT_EQ(Vra::DX11::Context->VSGetShader(), Vra::DX11::GetVertexShader("Shaders/PostprocessVS")->myShader);
        EXPECT_EQ(Vra::DX11::Context->IAGetPrimitiveTopology(), PrimitiveTopology::TriangleList);
    }

    TEST_F(ShaderTest, ALayoutCallbackReplacesTheLayoutAndSeesTheBytecode)
    {
        Vra::Shader shader;
        std::string seen;
        EXPECT_TRUE(shader.LoadShaders("shaders/model_shader_VS", "shaders/model_shader_PS", [&](const std::string& aBytecode) { seen = aBytecode; }));
        EXPECT_TRUE(shader.IsLoaded());
        EXPECT_FALSE(shader.GetInputLayout());
        EXPECT_EQ(seen, Vra::DX11::GetVertexShader("shaders/model_shader_VS")->myBytecode);
    }

    // One triangle covering the screen, facing the camera, in screen-space pixels.
    class ModelShaderTest : public ShaderTest
    {
    protected:
        // The test triangle, white, every vertex following joint 1 alone.
        void UseTriangleOnJointOne()
        {
            std::vector<Vra::ModelVertex> vertices(3);
            const float positions[3][2] = { { -10.0f, -10.0f }, { -10.0f, 300.0f }, { 300.0f, -10.0f } };
            for (int index = 0; index < 3; ++index)
            {
                vertices[index].myPosition[0] = positions[index][0];
                vertices[index].myPosition[1] = positions[index][1];
                vertices[index].myColors[0][0] = vertices[index].myColors[0][1] = vertices[index].myColors[0][2] = vertices[index].myColors[0][3] = 1.0f;
                vertices[index].myBones[0] = 1.0f;
                vertices[index].myWeights[0] = 1.0f;
            }
            myMesh.myVertexBuffer = MakeBuffer(vertices.data(), sizeof(Vra::ModelVertex) * 3, BIND_VERTEX_BUFFER);
        }

        void SetUp() override
        {
            ShaderTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            const float positions[3][2] = { { -10.0f, -10.0f }, { -10.0f, 300.0f }, { 300.0f, -10.0f } };
            std::vector<Vra::ModelVertex> vertices(3);
            for (int index = 0; index < 3; ++index)
            {
                vertices[index].myPosition[0] = positions[index][0];
                vertices[index].myPosition[1] = positions[index][1];
                vertices[index].myNormal[2] = -1.0f;
                vertices[index].myTangent[0] = 1.0f;
                vertices[index].myBinormal[1] = 1.0f;
                for (float& channel : vertices[index].myColors[0])
                {
                    channel = 1.0f;
                }
            }
            const std::uint32_t indices[3] = { 0, 1, 2 };
            myMesh.myVertexCount = 3;
            myMesh.myIndexCount = 3;
            myMesh.myVertexBuffer = MakeBuffer(vertices.data(), sizeof(Vra::ModelVertex) * 3, BIND_VERTEX_BUFFER);
            myMesh.myIndexBuffer = MakeBuffer(indices, sizeof(indices), BIND_INDEX_BUFFER);

            // sRGB albedo: the sRGB back buffer stores its bytes again where the light is white.
            myAlbedo.SetView(MakeTextureView(1, 1, { Rgba(255, 128, 0) }, Format::R8G8B8A8_UNORM_SRGB));
            myFlatNormal.SetView(MakeTextureView(1, 1, { Rgba(128, 128, 255) }));
            myMaterial.SetView(MakeTextureView(1, 1, { Rgba(255, 255, 0) }));
            myNoEffects.SetView(MakeTextureView(1, 1, { Rgba(0, 0, 0) }));
            myOther.SetView(MakeTextureView(1, 1, { Rgba(1, 2, 3) }));
        }

        static Ref<Buffer> MakeBuffer(const void* someData, std::uint32_t aSize, std::uint32_t aBinding)
        {
            BufferDesc description;
            description.myByteWidth = aSize;
            description.myUsage = Usage::Immutable;
            description.myBindFlags = aBinding;
            SubresourceData data{ someData, 0, 0 };
            Ref<Buffer> buffer;
            EXPECT_TRUE(SUCCEEDED(Vra::DX11::Device->CreateBuffer(description, &data, &buffer)));
            return buffer;
        }

        Vra::MeshData myMesh;
        Vra::TextureResource myAlbedo;
        Vra::TextureResource myFlatNormal;
        Vra::TextureResource myMaterial;
        Vra::TextureResource myNoEffects;
        Vra::TextureResource myOther;
    };

    TEST_F(ModelShaderTest, DrawsTheMeshLitByTheFrameDefaultLights)
    {
        Vra::ModelShader& shader = *Graphics().GetModelDrawer().GetDefaultShader();
        ASSERT_TRUE(shader.IsLoaded());
        Vra::TextureResource* textures[4] = { &myAlbedo, &myFlatNormal, &myMaterial, &myNoEffects };
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        Vra::DX11::Context->ResetCounters();
        shader.Render(textures, myMesh, Vra::Matrix4x4(), nullptr);

        EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, 1u);
        EXPECT_EQ(Vra::DX11::Context->GetCounters().myDrawCalls, 1u);
        const Ref<Buffer> joints = Vra::DX11::Context->VSGetConstantBuffer(Vra::ModelShader::JOINT_BUFFER_SLOT);
        ASSERT_TRUE(joints) << "the joint buffer is bound even without joints";
        EXPECT_EQ(joints->GetDesc().myByteWidth, 8192u);
        ASSERT_TRUE(Vra::DX11::Context->VSGetConstantBuffer(Vra::ModelShader::OBJECT_BUFFER_SLOT));
        EXPECT_EQ(Vra::DX11::Context->PSGetConstantBuffer(Vra::ModelShader::OBJECT_BUFFER_SLOT), Vra::DX11::Context->VSGetConstantBuffer(Vra::ModelShader::OBJECT_BUFFER_SLOT));

        // The frame's ambient light is white: the mesh shows its albedo.
        const Pixel pixel = Image(BackBufferTexture()).At(5, 60);
        EXPECT_NEAR(pixel.r, 255, 2);
        EXPECT_NEAR(pixel.g, 128, 3);
        EXPECT_NEAR(pixel.b, 0, 2);
    }

    TEST_F(ModelShaderTest, BindsTheTextureSlotsUpToTheFirstEmptyOne)
    {
        const Ref<ShaderResourceView> sentinel = MakeTextureView(1, 1, { Rgba(9, 9, 9) });
        const Ref<ShaderResourceView> before[3] = { sentinel, sentinel, sentinel };
        Vra::DX11::Context->PSSetShaderResources(2, 3, before);

        Vra::TextureResource* textures[4] = { &myAlbedo, nullptr, &myOther, nullptr };
        Graphics().GetModelDrawer().GetDefaultShader()->Render(textures, myMesh, Vra::Matrix4x4(), nullptr);

        EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(1), myAlbedo.mySRV);
        EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(2), sentinel);
        EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(3), sentinel);
    }

    TEST_F(ModelShaderTest, AnUnloadedShaderBindsItsTexturesButDrawsNothing)
    {
        Vra::ModelShader unloaded;
        Vra::TextureResource* textures[4] = { &myOther, nullptr, nullptr, nullptr };
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        unloaded.Render(textures, myMesh, Vra::Matrix4x4(), nullptr);
        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), before);
        EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(1), myOther.mySRV);
    }

    TEST_F(ModelShaderTest, TheSkinningShaderMovesVerticesByTheirJoints)
    {
        // Every vertex follows joint 1, which moves the triangle off the left half of the screen.
        UseTriangleOnJointOne();
        std::vector<Vra::Matrix4x4> joints(Vra::ModelShader::MAX_JOINTS);
        joints[1](4, 1) = 1000.0f;

        Vra::TextureResource* textures[4] = { &myAlbedo, &myFlatNormal, &myMaterial, &myNoEffects };
        Graphics().GetModelDrawer().GetAnimatedShader()->Render(textures, myMesh, Vra::Matrix4x4(), joints.data());
        const Pixel moved = Image(BackBufferTexture()).At(5, 60);
        EXPECT_EQ(moved.r, 0);

        joints[1] = Vra::Matrix4x4();
        Graphics().GetModelDrawer().GetAnimatedShader()->Render(textures, myMesh, Vra::Matrix4x4(), joints.data());
        EXPECT_NEAR(Image(BackBufferTexture()).At(5, 60).r, 255, 2);
    }

    // Only a skinned draw sends joints, and only as many as its skeleton has; the vertices still
    // follow them.
    TEST_F(ModelShaderTest, SendsOnlyTheJointsInUse)
    {
        UseTriangleOnJointOne();
        std::vector<Vra::Matrix4x4> joints(Vra::ModelShader::MAX_JOINTS);
        joints[1](4, 1) = 1000.0f;
        Vra::TextureResource* textures[4] = { &myAlbedo, &myFlatNormal, &myMaterial, &myNoEffects };
        Vra::ModelShader& skinning = *Graphics().GetModelDrawer().GetAnimatedShader();

        const auto bytesSent = [&](std::uint32_t aJointCount) {
            Vra::DX11::Context->ResetCounters();
            skinning.Render(textures, myMesh, Vra::Matrix4x4(), joints.data(), aJointCount);
            return Vra::DX11::Context->GetCounters().myBufferBytesSent;
        };
        // The first draw also sends the frame's constants, once.
        bytesSent(2);
        const std::uint64_t withTwo = bytesSent(2);
        EXPECT_EQ(Image(BackBufferTexture()).At(5, 60).r, 0) << "joint 1 moved the triangle away";
        const std::uint64_t withAll = bytesSent(Vra::ModelShader::MAX_JOINTS);
        EXPECT_EQ(withAll - withTwo, (Vra::ModelShader::MAX_JOINTS - 2) * sizeof(Vra::Matrix4x4));

        // A static draw maps the object buffer alone.
        Vra::DX11::Context->ResetCounters();
        Graphics().GetModelDrawer().GetDefaultShader()->Render(textures, myMesh, Vra::Matrix4x4(), nullptr);
        EXPECT_EQ(Vra::DX11::Context->GetCounters().myMaps, 1u);
        EXPECT_LT(Vra::DX11::Context->GetCounters().myBufferBytesSent, Vra::ModelShader::JOINT_BUFFER_SIZE);
    }

    class ModelDrawerWithoutLambert : public ::testing::Test
    {
    protected:
        void TearDown() override { ResetProcessState(); }
    };

    TEST_F(ModelDrawerWithoutLambert, StopsAtTheFirstShaderThatFailsToLoad)
    {
        EngineFolder probe;
        const fs::path cooked = CopyCookedFolderWithout(probe.GetRoot() / "cooked", { "Shaders/LambertModelShaderPS" });
        EngineFolder folder(cooked);
        folder.Load();
        ASSERT_TRUE(Vra::Engine::Start()) << "the model drawer's result does not fail the start";

        Vra::ModelDrawer drawer;
        EXPECT_FALSE(drawer.Init());
        ASSERT_NE(drawer.GetDefaultShader(), nullptr);
        ASSERT_NE(drawer.GetAnimatedShader(), nullptr);
        EXPECT_TRUE(drawer.GetDefaultShader()->IsLoaded());
        EXPECT_TRUE(drawer.GetAnimatedShader()->IsLoaded());
        ASSERT_NE(drawer.GetLambertShader(), nullptr);
        EXPECT_FALSE(drawer.GetLambertShader()->IsLoaded());
        EXPECT_EQ(drawer.GetAnimatedLambertShader(), nullptr);
        EXPECT_EQ(drawer.GetPbrShader(), nullptr);
        EXPECT_EQ(drawer.GetAnimatedPbrShader(), nullptr);
    }

    TEST_F(ShaderTest, ShapeAndLineDrawersHoldTheirResources)
    {
        const Vra::CustomShapeDrawer& shapes = *Graphics().GetCustomShapeDrawer();
        EXPECT_TRUE(shapes.IsLoaded());
        EXPECT_EQ(shapes.GetMaxVertexCount(), 69984u);
        ASSERT_TRUE(shapes.GetVertexBuffer());
        EXPECT_EQ(shapes.GetVertexBuffer()->GetDesc().myByteWidth, 69984u * 36u);
        ASSERT_TRUE(shapes.GetConstantBuffer());
        EXPECT_EQ(shapes.GetConstantBuffer()->GetDesc().myByteWidth, 64u);
        EXPECT_EQ(shapes.GetInputLayout()->GetAttributes().size(), 3u);

        const Vra::LineDrawer& lines = *Graphics().GetLineDrawer();
        EXPECT_TRUE(lines.IsLoaded());
        ASSERT_TRUE(lines.GetVertexBuffer());
        EXPECT_EQ(lines.GetVertexBuffer()->GetDesc().myByteWidth, 72000u);
        EXPECT_FLOAT_EQ(lines.GetLinePoints()[0].myPosition[0], -0.5f);
        EXPECT_FLOAT_EQ(lines.GetLinePoints()[0].myPosition[1], 0.5f);
        EXPECT_FLOAT_EQ(lines.GetLinePoints()[1].myPosition[0], -0.5f);
        EXPECT_FLOAT_EQ(lines.GetLinePoints()[1].myPosition[1], -0.5f);
        EXPECT_FLOAT_EQ(lines.GetLinePoints()[1].myPosition[2], 0.0f);
    }
}
