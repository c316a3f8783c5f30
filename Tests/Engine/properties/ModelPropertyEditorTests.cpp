#include "ImGuiTableHost.h"
#include "ModelFactoryTestSupport.h"

#include "model/ModelFactory.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using PropertyTestSupport::Edit;
using PropertyTestSupport::ImGuiTableHost;
using PropertyTestSupport::WidgetId;
using Column = ImGuiTableHost::Column;

namespace
{
    using ModelValue = Vra::CopyOnWriteWrapper<Vra::SceneModel>;
    constexpr const char* LABEL = "Mesh";

    Vra::StringId Intern(const std::string& aText)
    {
        return Vra::StringRegistry::RegisterOrGet(aText);
    }

    // The model editor's texture tree learns the meshes from the model factory, on the engine.
    class ModelEditor : public ModelFactoryTestSupport::ModelFactoryTest
    {
    protected:
        ModelValue WithPath(const std::string& aPath)
        {
            ModelValue value;
            value.GetMutable().myModelPath = Intern(aPath);
            return value;
        }

        ImGuiTableHost::Rows RowsOf(ModelValue& aValue)
        {
            return [&aValue] { Edit(aValue, LABEL); };
        }

        // Opens the tree node at the end of anIdPath (below the row's label) with a click.
        void Open(ModelValue& aValue, std::initializer_list<PropertyTestSupport::IdStep> anIdPath)
        {
            ImGuiID node = 0;
            const ImGuiTableHost::Rows probe = [&]
            {
                Edit(aValue, LABEL);
                node = WidgetId(anIdPath);
            };
            // Each level of the path below "Textures" is indented once more.
            const float indent = ImGui::GetStyle().IndentSpacing * static_cast<float>(anIdPath.size() > 2 ? anIdPath.size() - 3 : 0);
            myHost.Click(myHost.FindItem(node, Column::Label, probe, indent), RowsOf(aValue));
            myHost.MoveMouse(ImGuiTableHost::Outside());
        }

        ImGuiTableHost myHost;
    };

    TEST_F(ModelEditor, ANullPathShowsNoTexturesAndAsksTheFactoryForNothing)
    {
        ModelValue value;
        const std::string drawn = myHost.Frame(RowsOf(value));
        for (const char* shown : {LABEL, "Path", "None", "Clear"})
        {
            EXPECT_NE(drawn.find(shown), std::string::npos) << shown << " in " << drawn;
        }
        EXPECT_EQ(drawn.find("Textures"), std::string::npos) << drawn;
        EXPECT_EQ(Vra::ModelFactory::GetInstanceIfCreated(), nullptr);
    }

    TEST_F(ModelEditor, OneMeshShowsItsFourSlotsRightUnderTextures)
    {
        const std::string path = Install("box.fbx");
        ModelValue value = WithPath(path);
        const ModelValue other = value;
        std::string drawn = myHost.Frame(RowsOf(value));
        EXPECT_NE(drawn.find(path), std::string::npos) << drawn;
        EXPECT_NE(drawn.find("Textures"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("[0] Color"), std::string::npos) << "the tree starts closed: " << drawn;
        EXPECT_NE(Vra::ModelFactory::GetInstanceIfCreated(), nullptr) << "the factory was made on first use";

        Open(value, {LABEL, "Textures"});
        drawn = myHost.Frame(RowsOf(value));
        std::size_t at = drawn.find("Textures");
        for (const char* shown : {"[0] Color", "None", "Clear", "[1] Normal", "[2] Material", "[3] Effects", "Clear"})
        {
            const std::size_t found = drawn.find(shown, at);
            ASSERT_NE(found, std::string::npos) << shown << " in " << drawn;
            at = found + 1;
        }
        EXPECT_EQ(drawn.find("Box"), std::string::npos) << "no node for the one mesh: " << drawn;

        // The ".fbx" path row and the four ".dds" slots take their own payloads.
        EXPECT_EQ(myHost.DropTargets(".fbx", RowsOf(value)).size(), 1u);
        const std::vector<ImRect> slots = myHost.DropTargets(".dds", RowsOf(value));
        ASSERT_EQ(slots.size(), 4u);
        const std::vector<bool> results =
            myHost.Drop(".dds", "textures/box_m.dds", ImGuiTableHost::Centre(slots[2]), [&] { return Edit(value, LABEL); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false}));
        EXPECT_EQ(value->myTextures[0][2], Intern("textures/box_m.dds"));
        EXPECT_TRUE(other->myTextures[0][2].IsNull()) << "the other holder keeps its slots";
        EXPECT_EQ(value->myModelPath, Intern(path));
    }

    TEST_F(ModelEditor, TwoMeshesEachGetANodeNamedByTheMeshHoldingItsSlots)
    {
        const std::string path = Install("two_meshes.fbx");
        ModelValue value = WithPath(path);
        Open(value, {LABEL, "Textures"});
        std::string drawn = myHost.Frame(RowsOf(value));
        const std::size_t left = drawn.find("Left");
        const std::size_t right = drawn.find("Right");
        ASSERT_NE(left, std::string::npos) << drawn;
        ASSERT_NE(right, std::string::npos) << drawn;
        EXPECT_LT(left, right);
        EXPECT_EQ(drawn.find("[0] Color"), std::string::npos) << "the mesh nodes start closed: " << drawn;
        EXPECT_TRUE(myHost.DropTargets(".dds", RowsOf(value)).empty());

        Open(value, {LABEL, "Textures", 1, "Right"});
        drawn = myHost.Frame(RowsOf(value));
        EXPECT_GT(drawn.find("[0] Color"), drawn.find("Right")) << drawn;
        const std::vector<ImRect> slots = myHost.DropTargets(".dds", RowsOf(value));
        ASSERT_EQ(slots.size(), 4u);
        const std::vector<bool> results =
            myHost.Drop(".dds", "textures/right_n.dds", ImGuiTableHost::Centre(slots[1]), [&] { return Edit(value, LABEL); });
        EXPECT_EQ(results.back(), false);
        EXPECT_EQ(results[3], true);
        EXPECT_EQ(value->myTextures[1][1], Intern("textures/right_n.dds"));
        EXPECT_TRUE(value->myTextures[0][1].IsNull()) << "the first mesh keeps its slots";
    }

    TEST_F(ModelEditor, AModelThatCannotBeLoadedOpensAnEmptyTree)
    {
        ModelValue value = WithPath("models/missing.fbx");
        Open(value, {LABEL, "Textures"});
        const std::string drawn = myHost.Frame(RowsOf(value));
        EXPECT_NE(drawn.find("Textures"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("[0] Color"), std::string::npos) << drawn;
        EXPECT_TRUE(myHost.DropTargets(".dds", RowsOf(value)).empty());
    }

    TEST_F(ModelEditor, WithoutALabelOnlyThePathIsShown)
    {
        const std::string path = Install("box.fbx");
        ModelValue value = WithPath(path);
        bool result = true;
        std::string drawn = myHost.Frame([&] { result = Edit(value, nullptr); });
        EXPECT_FALSE(result);
        EXPECT_NE(drawn.find(path), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("Textures"), std::string::npos) << drawn;
        ModelValue empty;
        drawn = myHost.Frame([&] { Edit(empty, nullptr); });
        EXPECT_NE(drawn.find("None"), std::string::npos) << drawn;
    }
}
