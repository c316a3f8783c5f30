#pragma once
#include "properties/PropertyTypes.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

// A Dear ImGui host without back-ends, as an editing tool would embed the property editors: its
// own context with a built font atlas, one fixed window holding a two-column table (label, value)
// into which a test draws its rows, and the mouse, keys, typed characters and drag-and-drop
// payloads that a platform back-end would feed in.
namespace PropertyTestSupport
{
    class ImGuiTableHost
    {
    public:
        using Rows = std::function<void()>;

        static constexpr float DISPLAY_WIDTH = 800.0f;
        static constexpr float DISPLAY_HEIGHT = 700.0f;
        // Smaller than the display, so that a press beside it hits no widget.
        static constexpr float WINDOW_WIDTH = 560.0f;
        static constexpr float WINDOW_HEIGHT = 660.0f;
        static constexpr float LABEL_COLUMN_WIDTH = 180.0f;

        // A point on one item, found by moving the mouse over the table.
        struct Spot
        {
            ImGuiID myId = 0;
            ImVec2 myPoint;
        };

        ImGuiTableHost()
        {
            myContext = ImGui::CreateContext();
            ImGuiIO& io = ImGui::GetIO();
            io.DisplaySize = ImVec2(DISPLAY_WIDTH, DISPLAY_HEIGHT);
            io.DeltaTime = 1.0f / 60.0f;
            io.IniFilename = nullptr;
            io.LogFilename = nullptr;
            // Every click of a test stands alone: two in a row on one widget never make a double click.
            io.MouseDoubleClickTime = 0.0f;
            unsigned char* pixels = nullptr;
            int width = 0;
            int height = 0;
            io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
            // The key indices are ImGui's own key numbers.
            for (int key = 0; key < ImGuiKey_COUNT; ++key)
            {
                io.KeyMap[key] = key;
            }
            io.MousePos = Outside();
        }

        ~ImGuiTableHost() { ImGui::DestroyContext(myContext); }

        ImGuiTableHost(const ImGuiTableHost&) = delete;
        ImGuiTableHost& operator=(const ImGuiTableHost&) = delete;

        // One frame with aRows inside the table; returns the text the frame drew, item by item.
        std::string Frame(const Rows& aRows)
        {
            ImGui::NewFrame();
            if (myPayloadActive)
            {
                // A payload dragged in from outside ImGui (the host's file browser).
                if (ImGui::BeginDragDropSource(ImGuiDragDropFlags_SourceExtern | ImGuiDragDropFlags_SourceNoPreviewTooltip))
                {
                    ImGui::SetDragDropPayload(myPayloadType.c_str(), myPayload.empty() ? nullptr : myPayload.data(), myPayload.size());
                    ImGui::EndDragDropSource();
                }
            }
            ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
            ImGui::SetNextWindowSize(ImVec2(WINDOW_WIDTH, WINDOW_HEIGHT));
            ImGui::Begin("Properties", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
            // Logged without opening any tree node the rows would leave closed.
            ImGui::LogToBuffer(0);
            if (ImGui::BeginTable("properties", 2))
            {
                ImGui::TableSetupColumn("label", ImGuiTableColumnFlags_WidthFixed, LABEL_COLUMN_WIDTH);
                ImGui::TableSetupColumn("value", ImGuiTableColumnFlags_WidthStretch);
                aRows();
                const ImGuiTable* table = ImGui::GetCurrentTable();
                myLabelX = table->Columns[0].WorkMinX;
                myValueX = table->Columns[1].WorkMinX;
                myValueMaxX = table->Columns[1].WorkMaxX;
                ImGui::EndTable();
            }
            const std::string drawn = GImGui->LogBuffer.c_str();
            ImGui::LogFinish();
            ImGui::End();
            ImGui::Render();
            ResetOneFrameInput();
            return drawn;
        }

        // The same rows for several frames (the layout settles after the first).
        void Frames(int aCount, const Rows& aRows)
        {
            for (int frame = 0; frame < aCount; ++frame)
            {
                Frame(aRows);
            }
        }

        enum class Column
        {
            Label,
            Value
        };

        float LabelX() const { return myLabelX; }
        float ValueX() const { return myValueX; }
        float ValueMaxX() const { return myValueMaxX; }
        // A little right of where aColumn's content starts (and anIndent further), as the rows lay out.
        float ProbeX(Column aColumn, const Rows& aRows, float anIndent = 0.0f)
        {
            Frame(aRows);
            return (aColumn == Column::Label ? myLabelX : myValueX) + anIndent + 4.0f;
        }

        void MoveMouse(ImVec2 aPoint) { ImGui::GetIO().MousePos = aPoint; }
        void SetMouseDown(bool aDown) { ImGui::GetIO().MouseDown[0] = aDown; }
        // Held down for the next frame only.
        void PressKey(ImGuiKey aKey)
        {
            ImGui::GetIO().KeysDown[aKey] = true;
            myReleasedKeys.push_back(aKey);
        }
        void Type(const std::string& someCharacters) { ImGui::GetIO().AddInputCharactersUTF8(someCharacters.c_str()); }
        void SetCtrl(bool aDown) { ImGui::GetIO().KeyCtrl = aDown; }

        // A click: the press and the release on frames of their own.
        void Click(ImVec2 aPoint, const Rows& aRows)
        {
            MoveMouse(aPoint);
            Frame(aRows);
            SetMouseDown(true);
            Frame(aRows);
            SetMouseDown(false);
            Frame(aRows);
        }

        // The items in aColumn (indented by anIndent) that take the mouse, top to bottom, one point
        // on each.
        std::vector<Spot> HoveredItems(Column aColumn, const Rows& aRows, float anIndent = 0.0f)
        {
            const float anX = ProbeX(aColumn, aRows, anIndent);
            std::vector<Spot> spots;
            for (float y = 1.0f; y < WINDOW_HEIGHT; y += SWEEP_STEP)
            {
                MoveMouse(ImVec2(anX, y));
                Frame(aRows);
                const ImGuiID hovered = GImGui->HoveredId;
                if (hovered != 0 && (spots.empty() || spots.back().myId != hovered))
                {
                    spots.push_back({hovered, ImVec2(anX, y + SWEEP_STEP * 0.5f)});
                }
            }
            MoveMouse(Outside());
            Frame(aRows);
            return spots;
        }

        // The point of the item anId in aColumn; fails the test when no item there has that id.
        // The rows may fill in anId as they draw.
        ImVec2 FindItem(const ImGuiID& anId, Column aColumn, const Rows& aRows, float anIndent = 0.0f)
        {
            for (const Spot& spot : HoveredItems(aColumn, aRows, anIndent))
            {
                if (spot.myId == anId)
                {
                    return spot.myPoint;
                }
            }
            ADD_FAILURE() << "no item with id " << anId << " in column " << static_cast<int>(aColumn);
            return Outside();
        }

        // The drop targets in the value column that accept a payload of aType, top to bottom: the
        // mouse is pressed beside the window and dragged down the table with the payload, never
        // released over a target.
        std::vector<ImRect> DropTargets(const char* aType, const Rows& aRows)
        {
            const float anX = ProbeX(Column::Value, aRows);
            std::vector<ImRect> targets;
            StartPayload(aType, "probe");
            MoveMouse(Outside());
            SetMouseDown(true);
            Frame(aRows);
            for (float y = 1.0f; y < WINDOW_HEIGHT; y += SWEEP_STEP)
            {
                MoveMouse(ImVec2(anX, y));
                Frame(aRows);
                if (GImGui->DragDropAcceptIdCurr != 0)
                {
                    const ImRect target = GImGui->DragDropTargetRect;
                    if (targets.empty() || targets.back().Min.y != target.Min.y)
                    {
                        targets.push_back(target);
                    }
                }
            }
            // Away from every target before letting go: nothing is delivered.
            MoveMouse(Outside());
            Frame(aRows);
            SetMouseDown(false);
            Frame(aRows);
            StopPayload();
            Frame(aRows);
            return targets;
        }

        // Drags a payload of aType holding someBytes (exactly those bytes) onto aPoint and lets go
        // there. Returns the editors' result on each frame of the drag, the release frame last.
        std::vector<bool> Drop(const char* aType, const std::string& someBytes, ImVec2 aPoint, const std::function<bool()>& aRows)
        {
            std::vector<bool> results;
            const Rows rows = [&] { results.push_back(aRows()); };
            StartPayload(aType, someBytes);
            MoveMouse(Outside());
            SetMouseDown(true);
            Frame(rows);
            MoveMouse(aPoint);
            Frame(rows);
            Frame(rows);
            SetMouseDown(false);
            Frame(rows);
            StopPayload();
            MoveMouse(Outside());
            Frame(rows);
            return results;
        }

        static ImVec2 Outside() { return ImVec2(DISPLAY_WIDTH - 2.0f, DISPLAY_HEIGHT - 2.0f); }
        static ImVec2 Centre(const ImRect& aRect) { return ImVec2((aRect.Min.x + aRect.Max.x) * 0.5f, (aRect.Min.y + aRect.Max.y) * 0.5f); }

    private:
        static constexpr float SWEEP_STEP = 3.0f;

        void StartPayload(const char* aType, const std::string& someBytes)
        {
            myPayloadActive = true;
            myPayloadType = aType;
            myPayload.assign(someBytes.begin(), someBytes.end());
        }

        void StopPayload() { myPayloadActive = false; }

        // Keys pressed for a frame are let go after it (typed characters the frame consumed itself).
        void ResetOneFrameInput()
        {
            for (const ImGuiKey key : myReleasedKeys)
            {
                ImGui::GetIO().KeysDown[key] = false;
            }
            myReleasedKeys.clear();
        }

        ImGuiContext* myContext = nullptr;
        float myLabelX = 0.0f;
        float myValueX = 0.0f;
        float myValueMaxX = 0.0f;
        bool myPayloadActive = false;
        std::string myPayloadType;
        std::vector<char> myPayload;
        std::vector<ImGuiKey> myReleasedKeys;
    };

    // Every editor is reached the way a host reaches it: through the value's property type. An
    // unlabelled editor opens no row of its own, so the host gives it a cell.
    template <typename T>
    bool Edit(T& aValue, const char* aLabel, const char* aTooltip = nullptr)
    {
        if (!aLabel)
        {
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(1);
        }
        return Vra::PropertyType<T>::Get().DrawEditor(&aValue, aLabel, aTooltip);
    }

    // How many separators aDrawn shows: ImGui logs each as a line of 32 dashes.
    inline int SeparatorCount(const std::string& aDrawn)
    {
        const std::string line(32, '-');
        int count = 0;
        for (std::size_t at = aDrawn.find(line); at != std::string::npos; at = aDrawn.find(line, at + line.size()))
        {
            ++count;
        }
        return count;
    }

    // One step of an ImGui id path: a pushed label or index.
    using IdStep = std::variant<const char*, int>;

    // The id ImGui gives the last step of somePath once the steps before it are pushed, as the
    // editors push them below the table; call inside the table.
    inline ImGuiID WidgetId(std::initializer_list<IdStep> somePath)
    {
        const std::vector<IdStep> steps(somePath);
        for (std::size_t index = 0; index + 1 < steps.size(); ++index)
        {
            std::visit([](auto aStep) { ImGui::PushID(aStep); }, steps[index]);
        }
        const ImGuiID id = std::visit([](auto aStep) { return ImGui::GetCurrentWindow()->GetID(aStep); }, steps.back());
        for (std::size_t index = 0; index + 1 < steps.size(); ++index)
        {
            ImGui::PopID();
        }
        return id;
    }
}
