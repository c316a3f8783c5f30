#include "ImGuiTableHost.h"

#include "properties/PropertyEditors.h"
#include "properties/PropertyTypes.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using PropertyTestSupport::ImGuiTableHost;
using Vra::CopyOnWriteWrapper;
using Vra::StringId;
using Vra::StringRegistry;

namespace
{
    using SceneValue = CopyOnWriteWrapper<Vra::SceneReference>;
    using ClipValue = CopyOnWriteWrapper<Vra::AnimationClipReference>;
    using SpriteValue = CopyOnWriteWrapper<Vra::SceneSprite>;

    // Every editor is reached the way a host reaches it: through the value's property type.
    template <typename T>
    bool Edit(T& aValue, const char* aLabel, const char* aTooltip = nullptr)
    {
        return Vra::PropertyType<T>::Get().DrawEditor(&aValue, aLabel, aTooltip);
    }

    StringId Intern(const std::string& aText)
    {
        return StringRegistry::RegisterOrGet(aText);
    }

    // The id a widget labelled aWidget gets inside the row of the property aLabel (and below the
    // further ids someInner), as the editors push them; call inside the table.
    ImGuiID WidgetId(const char* aLabel, const char* aWidget, const std::vector<int>& someInner = {})
    {
        ImGui::PushID(aLabel);
        for (const int inner : someInner)
        {
            ImGui::PushID(inner);
        }
        const ImGuiID id = ImGui::GetID(aWidget);
        for (std::size_t index = 0; index < someInner.size(); ++index)
        {
            ImGui::PopID();
        }
        ImGui::PopID();
        return id;
    }

    class PropertyEditors : public ::testing::Test
    {
    protected:
        ImGuiTableHost myHost;
    };

    // ---- the simple types ------------------------------------------------------------------

    TEST_F(PropertyEditors, DraggingAFloat3WithoutChangingItReturnsFalse)
    {
        Vra::Vector3<float> value(1.0f, 2.0f, 3.0f);
        std::vector<bool> results;
        ImVec2 widget;
        const ImGuiTableHost::Rows rows = [&]
        {
            results.push_back(Edit(value, "Position"));
            widget = ImGui::GetItemRectMin();
        };
        myHost.Frames(2, rows);
        const ImVec2 start(widget.x + 4.0f, widget.y + 4.0f);
        myHost.MoveMouse(start);
        myHost.Frame(rows);
        myHost.SetMouseDown(true);
        myHost.Frame(rows);
        // Straight down, far past the drag threshold: the widget is dragged, the value stays.
        results.clear();
        for (int step = 1; step <= 5; ++step)
        {
            myHost.MoveMouse(ImVec2(start.x, start.y + 6.0f * step));
            myHost.Frame(rows);
        }
        EXPECT_EQ(GImGui->ActiveId != 0, true) << "the drag is under way";
        EXPECT_EQ(results, std::vector<bool>(5, false));
        EXPECT_EQ(value, Vra::Vector3<float>(1.0f, 2.0f, 3.0f));

        // The same drag moved sideways changes the first component by the mouse's travel.
        results.clear();
        myHost.MoveMouse(ImVec2(start.x + 7.0f, start.y + 30.0f));
        myHost.Frame(rows);
        myHost.Frame(rows);
        myHost.SetMouseDown(false);
        myHost.Frame(rows);
        EXPECT_EQ(results, (std::vector<bool>{true, false, false}));
        EXPECT_EQ(value, Vra::Vector3<float>(8.0f, 2.0f, 3.0f));
    }
}
