#include "ImGuiTableHost.h"

#include "properties/PropertyEditors.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using PropertyTestSupport::ImGuiTableHost;
using Column = ImGuiTableHost::Column;
using PropertyTestSupport::Edit;
using PropertyTestSupport::WidgetId;
using Vra::CopyOnWriteWrapper;
using Vra::StringId;
using Vra::StringRegistry;

namespace
{
    using SceneValue = CopyOnWriteWrapper<Vra::SceneReference>;
    using ClipValue = CopyOnWriteWrapper<Vra::AnimationClipReference>;
    using SpriteValue = CopyOnWriteWrapper<Vra::SceneSprite>;

    StringId Intern(const std::string& aText)
    {
        return StringRegistry::RegisterOrGet(aText);
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

    TEST_F(PropertyEditors, ALabelledRowShowsTheLabelAndAHelpMarkerWithAWrappedTooltipWhenHovered)
    {
        const std::string tooltip = "Drawn in the level when set; " + std::string(300, 'w') + " and more.";
        bool value = false;
        ImGuiID checkbox = 0;
        const ImGuiTableHost::Rows rows = [&]
        {
            Edit(value, "Visible", tooltip.c_str());
            checkbox = WidgetId({"Visible", "##"});
        };
        const std::string drawn = myHost.Frame(rows);
        EXPECT_NE(drawn.find("Visible"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find("\xEE\x82\x82"), std::string::npos) << "the help icon";
        const auto tooltipShown = [] {
            const ImGuiWindow* window = ImGui::FindWindowByName("##Tooltip_00");
            return window && window->Active;
        };
        EXPECT_FALSE(tooltipShown()) << "no tooltip before the icon is hovered";

        // The icon stands right of the label on the checkbox's row.
        const ImVec2 onCheckbox = myHost.FindItem(checkbox, Column::Value, rows);
        const float iconX = myHost.LabelX() + ImGui::CalcTextSize("Visible").x + ImGui::GetStyle().ItemSpacing.x + 3.0f;
        myHost.MoveMouse(ImVec2(iconX, onCheckbox.y));
        myHost.Frame(rows);
        ASSERT_TRUE(tooltipShown());
        myHost.Frame(rows);
        // Wrapped at 35 font sizes: as wide as that at most, several lines high.
        const ImGuiWindow* window = ImGui::FindWindowByName("##Tooltip_00");
        const float fontSize = ImGui::GetFontSize();
        EXPECT_LE(window->ContentSize.x, 35.0f * fontSize);
        EXPECT_GT(window->ContentSize.x, 30.0f * fontSize);
        EXPECT_GT(window->ContentSize.y, 3.0f * fontSize);

        // Back on the label, the tooltip closes.
        myHost.MoveMouse(ImVec2(myHost.LabelX() + 2.0f, onCheckbox.y));
        myHost.Frame(rows);
        EXPECT_FALSE(tooltipShown());
    }

    TEST_F(PropertyEditors, AnEmptyOrNullTooltipDrawsNoHelpMarker)
    {
        bool value = false;
        for (const char* tooltip : {static_cast<const char*>(nullptr), ""})
        {
            const std::string drawn = myHost.Frame([&] { Edit(value, "Visible", tooltip); });
            EXPECT_NE(drawn.find("Visible"), std::string::npos);
            EXPECT_EQ(drawn.find("\xEE\x82\x82"), std::string::npos);
        }
    }

    TEST_F(PropertyEditors, ALabelIsShownAsItStandsEvenWithPercentSigns)
    {
        float value = 0.0f;
        const std::string drawn = myHost.Frame([&] { Edit(value, "Speed %s in %d%%"); });
        EXPECT_NE(drawn.find("Speed %s in %d%%"), std::string::npos) << drawn;
    }

    TEST_F(PropertyEditors, ClickingABoolFlipsItAndReportsTheChangeOnce)
    {
        for (const char* label : {"Visible", static_cast<const char*>(nullptr)})
        {
            SCOPED_TRACE(label ? label : "unlabelled");
            bool value = false;
            std::vector<bool> results;
            ImVec2 box;
            const ImGuiTableHost::Rows rows = [&]
            {
                results.push_back(Edit(value, label));
                box = ImGui::GetItemRectMin();
            };
            myHost.Frames(2, rows);
            results.clear();
            myHost.Click(ImVec2(box.x + 4.0f, box.y + 4.0f), rows);
            EXPECT_TRUE(value);
            EXPECT_EQ(results, (std::vector<bool>{false, false, true}));
            myHost.MoveMouse(ImGuiTableHost::Outside());
            myHost.Frame(rows);
        }
    }

    // One drag of the first component by DRAG_PIXELS for each numeric type: the widget's speed,
    // limits and format decide what the value becomes and what the row shows.
    constexpr float DRAG_PIXELS = 12.0f;

    template <typename T>
    struct DragCase
    {
        T myStart;
        T myDragged;
        std::string myShown;
    };

    template <typename T>
    void CheckDrag(ImGuiTableHost& aHost, const DragCase<T>& aCase, const char* aLabel)
    {
        SCOPED_TRACE(aLabel ? aLabel : "unlabelled");
        T value = aCase.myStart;
        std::vector<bool> results;
        ImVec2 widget;
        float widgetEnd = 0.0f;
        const ImGuiTableHost::Rows rows = [&]
        {
            results.push_back(Edit(value, aLabel));
            widget = ImGui::GetItemRectMin();
            widgetEnd = ImGui::GetItemRectMax().x;
        };
        aHost.Frame(rows);
        const std::string drawn = aHost.Frame(rows);
        EXPECT_NE(drawn.find(aCase.myShown), std::string::npos) << drawn;
        if (aLabel)
        {
            EXPECT_NE(drawn.find(aLabel), std::string::npos) << drawn;
        }
        if (aLabel)
        {
            // One separator above the label, one above the widget, which fills the value column.
            EXPECT_EQ(PropertyTestSupport::SeparatorCount(drawn), 2) << drawn;
            EXPECT_NEAR(widgetEnd, aHost.ValueMaxX(), 2.0f);
        }
        else
        {
            EXPECT_EQ(PropertyTestSupport::SeparatorCount(drawn), 0) << drawn;
        }
        const ImVec2 start(widget.x + 3.0f, widget.y + 4.0f);
        aHost.MoveMouse(start);
        aHost.Frame(rows);
        aHost.SetMouseDown(true);
        aHost.Frame(rows);
        aHost.MoveMouse(ImVec2(start.x + DRAG_PIXELS, start.y));
        results.clear();
        aHost.Frame(rows);
        aHost.SetMouseDown(false);
        aHost.Frame(rows);
        EXPECT_EQ(results, (std::vector<bool>{true, false}));
        EXPECT_EQ(value, aCase.myDragged);
        aHost.MoveMouse(ImGuiTableHost::Outside());
        aHost.Frame(rows);
    }

    TEST_F(PropertyEditors, NumbersDragByOnePerPixelWithoutLimitsAndShowTheirFormat)
    {
        for (const char* label : {"Amount", static_cast<const char*>(nullptr)})
        {
            CheckDrag<std::int32_t>(myHost, {-3, 9, "-3"}, label);
            CheckDrag<std::int32_t>(myHost, {-300000, -299988, "-300000"}, label);
            CheckDrag<float>(myHost, {1.5f, 13.5f, "1.500"}, label);
            CheckDrag<float>(myHost, {-1.0e6f, -1.0e6f + 12.0f, "-1000000.000"}, label);
            CheckDrag<Vra::Vector2<float>>(myHost, {{0.25f, -2.0f}, {12.25f, -2.0f}, "0.250"}, label);
            CheckDrag<Vra::Vector3<float>>(myHost, {{1.0f, 2.0f, 3.0f}, {13.0f, 2.0f, 3.0f}, "3.000"}, label);
            CheckDrag<Vra::Vector4<float>>(myHost, {{1.0f, 2.0f, 3.0f, 4.125f}, {13.0f, 2.0f, 3.0f, 4.125f}, "4.125"}, label);
        }
    }

    TEST_F(PropertyEditors, AColourIsEditedAsFloats)
    {
        for (const char* label : {"Tint", static_cast<const char*>(nullptr)})
        {
            SCOPED_TRACE(label ? label : "unlabelled");
            Vra::Color value{0.5f, 0.25f, 1.0f, 1.0f};
            std::vector<bool> results;
            ImVec2 widget;
            const ImGuiTableHost::Rows rows = [&]
            {
                results.push_back(Edit(value, label));
                widget = ImGui::GetItemRectMin();
            };
            myHost.Frame(rows);
            const std::string drawn = myHost.Frame(rows);
            // As floats with three decimals, not as bytes ("128").
            EXPECT_NE(drawn.find("0.500"), std::string::npos) << drawn;
            EXPECT_NE(drawn.find("0.250"), std::string::npos) << drawn;
            const ImVec2 start(widget.x + 3.0f, widget.y + 4.0f);
            myHost.MoveMouse(start);
            myHost.Frame(rows);
            myHost.SetMouseDown(true);
            myHost.Frame(rows);
            results.clear();
            myHost.MoveMouse(ImVec2(start.x + 51.0f, start.y));
            myHost.Frame(rows);
            myHost.SetMouseDown(false);
            myHost.Frame(rows);
            EXPECT_EQ(results, (std::vector<bool>{true, false}));
            EXPECT_NEAR(value.r, 0.7f, 1.0e-3f);
            EXPECT_EQ(value.g, 0.25f);
            myHost.MoveMouse(ImGuiTableHost::Outside());
            myHost.Frame(rows);
        }
    }

    // The colour widget takes dropped colours, and reports a drop as an edit even when the colour
    // is the one it already shows: only a different colour is a change.
    TEST_F(PropertyEditors, AColourDroppedOnAColourIsAChangeOnlyWhenItDiffers)
    {
        Vra::Color value{0.5f, 0.25f, 1.0f, 1.0f};
        const auto bytesOf = [](const Vra::Color& aColour)
        { return std::string(reinterpret_cast<const char*>(&aColour), sizeof(aColour)); };
        const std::vector<ImRect> targets = myHost.DropTargets(IMGUI_PAYLOAD_TYPE_COLOR_4F, [&] { Edit(value, "Tint"); });
        ASSERT_EQ(targets.size(), 1u);
        std::vector<bool> results =
            myHost.Drop(IMGUI_PAYLOAD_TYPE_COLOR_4F, bytesOf(value), ImGuiTableHost::Centre(targets[0]), [&] { return Edit(value, "Tint"); });
        EXPECT_EQ(results, std::vector<bool>(5, false));
        EXPECT_EQ(value, (Vra::Color{0.5f, 0.25f, 1.0f, 1.0f}));

        const Vra::Color other{0.0f, 1.0f, 0.0f, 0.5f};
        results = myHost.Drop(IMGUI_PAYLOAD_TYPE_COLOR_4F, bytesOf(other), ImGuiTableHost::Centre(targets[0]), [&] { return Edit(value, "Tint"); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false}));
        EXPECT_EQ(value, other);
    }

    // ---- StringId ------------------------------------------------------------------------------

    std::string LongText(std::size_t aLength)
    {
        std::string text;
        for (std::size_t index = 0; index < aLength; ++index)
        {
            text += static_cast<char>('a' + index % 26);
        }
        return text;
    }

    class StringIdEditor : public PropertyEditors
    {
    protected:
        // Clicks into the text field of aValue's row and puts the cursor at the end; returns the rows.
        ImGuiTableHost::Rows ActivateAtEnd(StringId& aValue, std::vector<bool>& someResults)
        {
            ImGuiTableHost::Rows rows = [&aValue, &someResults]
            {
                someResults.push_back(Edit(aValue, "Name"));
            };
            ImGuiID field = 0;
            const ImGuiTableHost::Rows probe = [&]
            {
                rows();
                field = WidgetId({"Name", "##"});
            };
            myHost.Frame(probe);
            myHost.Click(myHost.FindItem(field, Column::Value, probe), rows);
            EXPECT_EQ(GImGui->ActiveId, field) << "the text field has the keyboard";
            myHost.PressKey(ImGuiKey_End);
            myHost.Frame(rows);
            someResults.clear();
            return rows;
        }
    };

    TEST_F(StringIdEditor, ALongerTextShowsItsFirst255BytesAndAnEditStoresTheEditedText)
    {
        const std::string text = LongText(300);
        StringId value = Intern(text);
        const std::string drawn = myHost.Frame([&] { Edit(value, "Name"); });
        EXPECT_NE(drawn.find(text.substr(0, 255)), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find(text.substr(0, 256)), std::string::npos) << drawn;
        EXPECT_EQ(value, Intern(text)) << "drawing changes nothing";

        std::vector<bool> results;
        const ImGuiTableHost::Rows rows = ActivateAtEnd(value, results);
        myHost.PressKey(ImGuiKey_Backspace);
        myHost.Frame(rows);
        myHost.Frame(rows);
        EXPECT_EQ(results, (std::vector<bool>{true, false}));
        EXPECT_EQ(value, Intern(text.substr(0, 254)));

        // Typing replaces the selection; each typed frame stores the text so far.
        myHost.SetCtrl(true);
        myHost.PressKey(ImGuiKey_A);
        myHost.Frame(rows);
        myHost.SetCtrl(false);
        myHost.Type("door");
        results.clear();
        myHost.Frame(rows);
        myHost.Frame(rows);
        EXPECT_EQ(results, (std::vector<bool>{true, false}));
        EXPECT_EQ(value, Intern("door"));
        EXPECT_EQ(value.View(), "door");
    }

    TEST_F(StringIdEditor, AnEditThatEndsOnTheSameTextReportsNoChange)
    {
        StringId value = Intern("door");
        std::vector<bool> results;
        const ImGuiTableHost::Rows rows = ActivateAtEnd(value, results);
        // One frame types a letter and takes it back.
        myHost.Type("s");
        myHost.PressKey(ImGuiKey_Backspace);
        myHost.Frame(rows);
        myHost.Frame(rows);
        EXPECT_EQ(value, Intern("door"));
        EXPECT_EQ(results, (std::vector<bool>{false, false}));
    }

    TEST_F(StringIdEditor, DeletingEveryCharacterStoresTheNullId)
    {
        StringId value = Intern("x");
        std::vector<bool> results;
        const ImGuiTableHost::Rows rows = ActivateAtEnd(value, results);
        myHost.PressKey(ImGuiKey_Backspace);
        myHost.Frame(rows);
        EXPECT_EQ(results, std::vector<bool>{true});
        EXPECT_TRUE(value.IsNull());
    }

    // ---- Pose ----------------------------------------------------------------------------------

    TEST_F(PropertyEditors, APoseShowsOnlyItsLabelOrTheWordPose)
    {
        Vra::PoseAndMotion value{};
        value.myBytes[3] = 7;
        bool labelled = true;
        std::string drawn = myHost.Frame([&] { labelled = Edit(value, "Idle"); });
        EXPECT_FALSE(labelled);
        EXPECT_NE(drawn.find("Idle"), std::string::npos);
        EXPECT_EQ(drawn.find("Pose"), std::string::npos) << drawn;
        bool unlabelled = true;
        drawn = myHost.Frame([&] { unlabelled = Edit(value, nullptr); });
        EXPECT_FALSE(unlabelled);
        EXPECT_NE(drawn.find("Pose"), std::string::npos) << drawn;
        EXPECT_EQ(value.myBytes[3], 7);
    }

    // ---- Scene and Animation Clip ----------------------------------------------------------------

    template <typename Value>
    struct PathEditorCase
    {
        const char* myLabel;
        const char* myPayloadType;
        const char* myOtherPayloadType;
        StringId Value::*myPath;
    };

    template <typename Value>
    class PathEditor : public PropertyEditors
    {
    protected:
        using Object = std::remove_cvref_t<decltype(std::declval<Value>().Get())>;

        static PathEditorCase<Object> Case();

        static CopyOnWriteWrapper<Object> WithPath(const char* aPath)
        {
            CopyOnWriteWrapper<Object> value;
            value.GetMutable().*Case().myPath = Intern(aPath);
            return value;
        }

        static StringId PathOf(const CopyOnWriteWrapper<Object>& aValue) { return aValue.Get().*Case().myPath; }

        // Where the "Clear" button of aValue's row is.
        ImVec2 FindClear(CopyOnWriteWrapper<Object>& aValue)
        {
            ImGuiID clear = 0;
            const ImGuiTableHost::Rows probe = [&]
            {
                Edit(aValue, Case().myLabel);
                clear = WidgetId({Case().myLabel, "Clear"});
            };
            return myHost.FindItem(clear, Column::Value, probe);
        }

        // The path's drop target: the only one in the value column.
        ImRect FindPathTarget(CopyOnWriteWrapper<Object>& aValue)
        {
            const std::vector<ImRect> targets =
                myHost.DropTargets(Case().myPayloadType, [&] { Edit(aValue, Case().myLabel); });
            EXPECT_EQ(targets.size(), 1u);
            return targets.empty() ? ImRect() : targets[0];
        }
    };

    template <>
    PathEditorCase<Vra::SceneReference> PathEditor<SceneValue>::Case()
    {
        return {"Next Level", ".vrs", ".vrac", &Vra::SceneReference::myScenePath};
    }

    template <>
    PathEditorCase<Vra::AnimationClipReference> PathEditor<ClipValue>::Case()
    {
        return {"Idle Clip", ".vrac", ".vrs", &Vra::AnimationClipReference::myClipPath};
    }

    using PathValues = ::testing::Types<SceneValue, ClipValue>;
    TYPED_TEST_SUITE(PathEditor, PathValues);

    TYPED_TEST(PathEditor, ShowsThePathOrNoneBesidePathAndAClearButton)
    {
        auto value = TestFixture::WithPath("levels/cave.vrs");
        bool result = true;
        std::string drawn = this->myHost.Frame([&] { result = Edit(value, TestFixture::Case().myLabel); });
        EXPECT_FALSE(result);
        std::size_t at = 0;
        for (const char* shown : {TestFixture::Case().myLabel, "Path", "levels/cave.vrs", "Clear"})
        {
            const std::size_t found = drawn.find(shown, at);
            EXPECT_NE(found, std::string::npos) << shown << " in " << drawn;
            at = found == std::string::npos ? at : found;
        }
        EXPECT_EQ(PropertyTestSupport::SeparatorCount(drawn), 2) << "the sub-rows have none: " << drawn;
        decltype(value) empty;
        drawn = this->myHost.Frame([&] { Edit(empty, TestFixture::Case().myLabel); });
        EXPECT_NE(drawn.find("None"), std::string::npos) << drawn;
    }

    TYPED_TEST(PathEditor, ClearingANullPathChangesNothing)
    {
        decltype(TestFixture::WithPath("")) value;
        const auto* defaultSlot = value.GetObject();
        const std::uint32_t references = value.GetReferenceCount();
        std::vector<bool> results;
        const ImVec2 clear = this->FindClear(value);
        this->myHost.Click(clear, [&] { results.push_back(Edit(value, TestFixture::Case().myLabel)); });
        EXPECT_EQ(results, std::vector<bool>(3, false));
        EXPECT_EQ(value.GetObject(), defaultSlot) << "no clone for a write that never happened";
        EXPECT_EQ(value.GetReferenceCount(), references);
        EXPECT_TRUE(TestFixture::PathOf(value).IsNull());
    }

    TYPED_TEST(PathEditor, ClearingASharedPathClonesTheValueFirst)
    {
        auto value = TestFixture::WithPath("levels/cave.vrs");
        const auto other = value;
        std::vector<bool> results;
        const ImVec2 clear = this->FindClear(value);
        this->myHost.Click(clear, [&] { results.push_back(Edit(value, TestFixture::Case().myLabel)); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, true}));
        EXPECT_TRUE(TestFixture::PathOf(value).IsNull());
        EXPECT_EQ(TestFixture::PathOf(other), Intern("levels/cave.vrs")) << "the other holder keeps its path";
        EXPECT_NE(value.GetObject(), other.GetObject());
    }

    TYPED_TEST(PathEditor, ADroppedPathOfItsPayloadTypeIsStored)
    {
        auto value = TestFixture::WithPath("old/path");
        const auto other = value;
        const ImRect target = this->FindPathTarget(value);
        const std::vector<bool> results = this->myHost.Drop(TestFixture::Case().myPayloadType, std::string("new/path.x") + '\0',
                                                            ImGuiTableHost::Centre(target),
                                                            [&] { return Edit(value, TestFixture::Case().myLabel); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false}));
        EXPECT_EQ(TestFixture::PathOf(value), Intern("new/path.x"));
        EXPECT_EQ(TestFixture::PathOf(other), Intern("old/path"));
    }

    TYPED_TEST(PathEditor, APayloadOfAnotherTypeFindsNoTarget)
    {
        auto value = TestFixture::WithPath("old/path");
        EXPECT_TRUE(this->myHost.DropTargets(TestFixture::Case().myOtherPayloadType,
                                             [&] { Edit(value, TestFixture::Case().myLabel); })
                        .empty());
        EXPECT_TRUE(this->myHost.DropTargets(".dds", [&] { Edit(value, TestFixture::Case().myLabel); })
                        .empty());
    }

    // A payload is the dragging side's bytes: no terminator is taken on trust.
    struct PayloadCase
    {
        std::string myBytes;
        std::string myStored; // empty: the drop is ignored
    };

    TYPED_TEST(PathEditor, ADroppedPathIsReadWithinThePayloadsOwnBytes)
    {
        const std::string longPath = "levels/" + std::string(60, 'p') + ".vrs";
        const std::vector<PayloadCase> cases = {
            {longPath, longPath},                                 // no terminator, on the heap
            {"a.vrs", "a.vrs"},                                   // no terminator, inside ImGui's own buffer
            {std::string("b.vrs\0tail", 10), "b.vrs"},            // the path ends at its terminator
            {"", ""},                                             // an empty payload
            {std::string("\0c.vrs", 6), ""},                      // an empty path
            {std::string(2000, 'q'), ""},                         // too long to intern
        };
        for (const PayloadCase& payload : cases)
        {
            SCOPED_TRACE(payload.myBytes.substr(0, 16) + " (" + std::to_string(payload.myBytes.size()) + " bytes)");
            auto value = TestFixture::WithPath("kept/path");
            const ImRect target = this->FindPathTarget(value);
            const std::vector<bool> results = this->myHost.Drop(TestFixture::Case().myPayloadType, payload.myBytes,
                                                                ImGuiTableHost::Centre(target),
                                                                [&] { return Edit(value, TestFixture::Case().myLabel); });
            const bool stored = !payload.myStored.empty();
            EXPECT_EQ(results, (std::vector<bool>{false, false, false, stored, false}));
            EXPECT_EQ(TestFixture::PathOf(value), Intern(stored ? payload.myStored : "kept/path"));
        }
    }

    TYPED_TEST(PathEditor, WithoutALabelOnlyThePathIsShown)
    {
        auto value = TestFixture::WithPath("levels/cave.vrs");
        bool result = true;
        std::string drawn = this->myHost.Frame([&] { result = Edit(value, nullptr); });
        EXPECT_FALSE(result);
        EXPECT_NE(drawn.find("levels/cave.vrs"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("Path"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("Clear"), std::string::npos) << drawn;
        decltype(value) empty;
        drawn = this->myHost.Frame([&] { result = Edit(empty, nullptr); });
        EXPECT_NE(drawn.find("None"), std::string::npos) << drawn;
        EXPECT_TRUE(this->myHost.DropTargets(TestFixture::Case().myPayloadType,
                                             [&] { Edit(value, nullptr); })
                        .empty())
            << "a read-out takes no drops";
    }

    // ---- Sprite ----------------------------------------------------------------------------------

    class SpriteEditor : public PropertyEditors
    {
    protected:
        static SpriteValue Shared()
        {
            SpriteValue value;
            Vra::SceneSprite& sprite = value.GetMutable();
            sprite.myTextures[0] = Intern("sprites/bird_c.dds");
            sprite.myTextures[1] = Intern("sprites/bird_n.dds");
            sprite.mySize = {64.0f, 32.0f};
            return value;
        }
    };

    TEST_F(SpriteEditor, ShowsFourSlotsThenSizeAndPivot)
    {
        SpriteValue value = Shared();
        const std::string drawn = myHost.Frame([&] { Edit(value, "Sprite"); });
        std::size_t at = 0;
        for (const char* shown : {"Sprite", "[0] Color Texture", "sprites/bird_c.dds", "Clear", "[1] Normal Texture", "sprites/bird_n.dds",
                                  "Clear", "[2] Material Texture", "None", "Clear", "[3] Effects Texture", "None", "Clear", "Size",
                                  "64.000", "32.000", "Pivot", "0.500"})
        {
            const std::size_t found = drawn.find(shown, at);
            ASSERT_NE(found, std::string::npos) << shown << " after " << at << " in " << drawn;
            at = found + 1;
        }
        EXPECT_EQ(PropertyTestSupport::SeparatorCount(drawn), 2) << "the sub-rows have none: " << drawn;
        EXPECT_EQ(myHost.DropTargets(".dds", [&] { Edit(value, "Sprite"); }).size(), 4u);
    }

    TEST_F(SpriteEditor, ADdsDroppedOnTheNormalSlotOfASharedSpriteClonesItFirst)
    {
        SpriteValue value = Shared();
        const SpriteValue other = value;
        const std::vector<ImRect> slots = myHost.DropTargets(".dds", [&] { Edit(value, "Sprite"); });
        ASSERT_EQ(slots.size(), 4u);
        const std::vector<bool> results =
            myHost.Drop(".dds", "sprites/bird_n2.dds", ImGuiTableHost::Centre(slots[1]), [&] { return Edit(value, "Sprite"); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false}));
        EXPECT_EQ(value->myTextures[1], Intern("sprites/bird_n2.dds"));
        EXPECT_EQ(value->myTextures[0], Intern("sprites/bird_c.dds")) << "the clone keeps the rest";
        EXPECT_EQ(value->mySize, (Vra::Vector2<float>{64.0f, 32.0f}));
        EXPECT_EQ(other->myTextures[1], Intern("sprites/bird_n.dds")) << "the other holder keeps the old texture";
        EXPECT_NE(value.GetObject(), other.GetObject());
        EXPECT_EQ(other.GetReferenceCount(), 1u);
    }

    TEST_F(SpriteEditor, ASlotsClearButtonEmptiesOnlyThatSlot)
    {
        SpriteValue value = Shared();
        ImGuiID clear = 0;
        const ImGuiTableHost::Rows probe = [&]
        {
            Edit(value, "Sprite");
            clear = WidgetId({"Sprite", 0, "Clear"});
        };
        const ImVec2 point = myHost.FindItem(clear, Column::Value, probe);
        std::vector<bool> results;
        myHost.Click(point, [&] { results.push_back(Edit(value, "Sprite")); });
        EXPECT_EQ(results, (std::vector<bool>{false, false, true}));
        EXPECT_TRUE(value->myTextures[0].IsNull());
        EXPECT_EQ(value->myTextures[1], Intern("sprites/bird_n.dds"));
    }

    TEST_F(SpriteEditor, SizeAndPivotDragWithTheirOwnWidgets)
    {
        struct PairCase
        {
            const char* myWidget;
            Vra::Vector2<float> Vra::SceneSprite::*myField;
            Vra::Vector2<float> myDragged;
        };
        for (const PairCase& pair : {PairCase{"##size", &Vra::SceneSprite::mySize, {74.0f, 32.0f}},
                                     PairCase{"##pivot", &Vra::SceneSprite::myPivot, {10.5f, 0.5f}}})
        {
            SCOPED_TRACE(pair.myWidget);
            SpriteValue value = Shared();
            const SpriteValue other = value;
            ImGuiID widget = 0;
            const ImGuiTableHost::Rows probe = [&]
            {
                Edit(value, "Sprite");
                // A pair widget's first field, as ImGui names the fields inside it.
                widget = WidgetId({"Sprite", pair.myWidget, 0, ""});
            };
            const ImVec2 point = myHost.FindItem(widget, Column::Value, probe);
            std::vector<bool> results;
            const ImGuiTableHost::Rows rows = [&] { results.push_back(Edit(value, "Sprite")); };
            myHost.MoveMouse(point);
            myHost.Frame(rows);
            myHost.SetMouseDown(true);
            myHost.Frame(rows);
            myHost.MoveMouse(ImVec2(point.x, point.y + 20.0f));
            myHost.Frame(rows);
            EXPECT_EQ(value.GetObject(), other.GetObject()) << "a drag that changes nothing writes nothing";
            myHost.MoveMouse(ImVec2(point.x + 10.0f, point.y + 20.0f));
            myHost.Frame(rows);
            myHost.SetMouseDown(false);
            myHost.Frame(rows);
            EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false}));
            EXPECT_EQ(value.Get().*pair.myField, pair.myDragged);
            EXPECT_EQ(other.Get().*pair.myField, Shared().Get().*pair.myField);
            myHost.MoveMouse(ImGuiTableHost::Outside());
            myHost.Frame(rows);
        }
    }

    TEST_F(SpriteEditor, WithoutALabelOnlyTheColourTextureIsShown)
    {
        SpriteValue value = Shared();
        bool result = true;
        std::string drawn = myHost.Frame([&] { result = Edit(value, nullptr); });
        EXPECT_FALSE(result);
        EXPECT_NE(drawn.find("sprites/bird_c.dds"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("bird_n"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("Size"), std::string::npos) << drawn;
        SpriteValue empty;
        drawn = myHost.Frame([&] { Edit(empty, nullptr); });
        EXPECT_NE(drawn.find("None"), std::string::npos) << drawn;
    }
}
