#include "properties/PropertyEditors.h"

#include "model/ModelFactory.h"
#include "stringRegistry/StringRegistry.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Vra::impl
{
    namespace
    {
        // U+E082 of the host's icon font, in UTF-8.
        constexpr const char* HELP_ICON = "\xEE\x82\x82";
        constexpr float TOOLTIP_WRAP_IN_FONT_SIZES = 35.0f;

        constexpr const char* MODEL_SLOT_LABELS[SceneModel::TEXTURE_SLOT_COUNT] = {"[0] Color", "[1] Normal", "[2] Material",
                                                                                   "[3] Effects"};
        constexpr const char* SPRITE_SLOT_LABELS[SceneSprite::TEXTURE_SLOT_COUNT] = {"[0] Color Texture", "[1] Normal Texture",
                                                                                     "[2] Material Texture", "[3] Effects Texture"};

        // The vector types are edited as float arrays.
        static_assert(sizeof(Vector2<float>) == 2 * sizeof(float) && sizeof(Vector3<float>) == 3 * sizeof(float) &&
                      sizeof(Vector4<float>) == 4 * sizeof(float) && sizeof(Color) == 4 * sizeof(float));

        // Shared by every "StringId" editor: the text being edited.
        char ourStringEditBuffer[STRING_EDIT_BUFFER_SIZE];

        const char* PathOrNone(StringId aPath)
        {
            return aPath ? aPath.GetPointer() : "None";
        }

        // The labelled row: label (and help marker) in column 0, then on to column 1. The label is
        // shown as it stands, never read as a format.
        void BeginLabelledRow(const char* aLabel, const char* aTooltip)
        {
            BeginPropertyLabel(false);
            ImGui::TextUnformatted(aLabel);
            if (aTooltip && aTooltip[0] != '\0')
            {
                DrawHelpMarker(aTooltip, true);
            }
            BeginPropertyValue(false);
        }

        // A simple type's editor: aWidget draws the widget labelled "##" and reports an edit. The
        // result is true only for an edit that leaves a value different from the one before.
        template <typename T, typename Widget>
        bool EditSimpleValue(T& aValue, const char* aLabel, const char* aTooltip, Widget aWidget)
        {
            const T before = aValue;
            bool edited = false;
            if (aLabel)
            {
                BeginLabelledRow(aLabel, aTooltip);
                ImGui::PushID(aLabel);
                edited = aWidget(aValue);
                ImGui::PopID();
            }
            else
            {
                edited = aWidget(aValue);
            }
            return edited && !(aValue == before);
        }

        // The path a payload of aPayloadType delivers to the last item this frame, or null. The
        // payload comes from whatever the host drags, so only its own bytes are read, up to its
        // first NUL; an empty payload, or a path longer than an id can hold, delivers nothing.
        StringId AcceptDroppedPath(const char* aPayloadType)
        {
            StringId dropped;
            if (ImGui::BeginDragDropTarget())
            {
                const ImGuiPayload* payload = ImGui::AcceptDragDropPayload(aPayloadType);
                if (payload && payload->Data && payload->DataSize > 0)
                {
                    const char* bytes = static_cast<const char*>(payload->Data);
                    const std::size_t length = ::strnlen(bytes, static_cast<std::size_t>(payload->DataSize));
                    if (length + 1 <= STRING_REGISTRY_SIZE_LIMIT)
                    {
                        dropped = StringRegistry::RegisterOrGet(std::string_view(bytes, length));
                    }
                }
                ImGui::EndDragDropTarget();
            }
            return dropped;
        }

        // The path as text ("None" when null) and a drop target for it; the value column must be
        // current. Returns a dropped path that differs from aPath.
        std::optional<StringId> DrawPathTarget(StringId aPath, const char* aPayloadType)
        {
            ImGui::TextUnformatted(PathOrNone(aPath));
            const StringId dropped = AcceptDroppedPath(aPayloadType);
            if (dropped && dropped != aPath)
            {
                return dropped;
            }
            return std::nullopt;
        }

        // A sub-row holding a "Clear" button; true when it was pressed while aPath is set.
        bool DrawClearRow(StringId aPath)
        {
            BeginPropertyLabel(true);
            BeginPropertyValue(true);
            const bool pressed = ImGui::Button("Clear");
            return pressed && aPath;
        }

        // The "Path" sub-row with its drop target, then the "Clear" sub-row; returns the new path.
        std::optional<StringId> DrawPathRows(StringId aPath, const char* aPayloadType)
        {
            BeginPropertyLabel(true);
            ImGui::Indent(0.0f);
            ImGui::TextUnformatted("Path");
            ImGui::Unindent(0.0f);
            BeginPropertyValue(true);
            std::optional<StringId> result = DrawPathTarget(aPath, aPayloadType);
            if (DrawClearRow(aPath))
            {
                result = StringId();
            }
            return result;
        }

        // One texture slot: its label and path as a ".dds" drop target, then its "Clear" sub-row.
        std::optional<StringId> DrawTextureSlot(int aSlot, const char* aLabel, StringId aPath)
        {
            ImGui::PushID(aSlot);
            BeginPropertyLabel(true);
            ImGui::TextUnformatted(aLabel);
            BeginPropertyValue(true);
            std::optional<StringId> result = DrawPathTarget(aPath, TEXTURE_PAYLOAD_TYPE);
            if (DrawClearRow(aPath))
            {
                result = StringId();
            }
            ImGui::PopID();
            return result;
        }

        // The model behind an editor's path, to learn its meshes. A file that cannot be read
        // shows as a model without meshes rather than ending the host.
        std::shared_ptr<Model> FetchModel(StringId aPath)
        {
            try
            {
                return ModelFactory::GetInstance().GetModel(std::string(aPath.View()));
            }
            catch (const std::exception&)
            {
                return nullptr;
            }
        }

        bool DrawMeshSlots(CopyOnWriteWrapper<SceneModel>& aValue, int aMesh)
        {
            bool changed = false;
            for (int slot = 0; slot < SceneModel::TEXTURE_SLOT_COUNT; ++slot)
            {
                if (const std::optional<StringId> path = DrawTextureSlot(slot, MODEL_SLOT_LABELS[slot], aValue->myTextures[aMesh][slot]))
                {
                    aValue.GetMutable().myTextures[aMesh][slot] = *path;
                    changed = true;
                }
            }
            return changed;
        }

        // The "Textures" tree of a model with a path: one mesh's slots directly, or one tree node
        // per mesh.
        bool DrawModelTextures(CopyOnWriteWrapper<SceneModel>& aValue)
        {
            if (!aValue->myModelPath)
            {
                return false;
            }
            const std::shared_ptr<Model> model = FetchModel(aValue->myModelPath);
            const int meshCount = model ? static_cast<int>(std::min<std::size_t>(model->GetMeshCount(), SceneModel::MESH_COUNT)) : 0;
            BeginPropertyLabel(true);
            if (!ImGui::TreeNode("Textures"))
            {
                return false;
            }
            bool changed = false;
            if (meshCount == 1)
            {
                changed = DrawMeshSlots(aValue, 0);
            }
            else if (meshCount > 1)
            {
                for (int mesh = 0; mesh < meshCount; ++mesh)
                {
                    ImGui::PushID(mesh);
                    BeginPropertyLabel(true);
                    if (ImGui::TreeNode(model->GetMeshes()[mesh].myName.c_str()))
                    {
                        changed = DrawMeshSlots(aValue, mesh) || changed;
                        ImGui::TreePop();
                    }
                    ImGui::PopID();
                }
            }
            ImGui::TreePop();
            return changed;
        }

        // A "Scene", "Animation Clip" or "Model" editor: the labelled row, the "Path" and "Clear"
        // sub-rows, then whatever sub-rows aMoreRows draws (returning whether it changed the value).
        template <typename T, typename MoreRows>
        bool EditPathValue(CopyOnWriteWrapper<T>& aValue, StringId T::*aPath, const char* aPayloadType, const char* aLabel,
                           const char* aTooltip, MoreRows aMoreRows)
        {
            if (!aLabel)
            {
                ImGui::TextUnformatted(PathOrNone(aValue.Get().*aPath));
                return false;
            }
            BeginLabelledRow(aLabel, aTooltip);
            // The sub-rows' widgets are told apart from those of other properties by the label.
            ImGui::PushID(aLabel);
            bool changed = false;
            if (const std::optional<StringId> path = DrawPathRows(aValue.Get().*aPath, aPayloadType))
            {
                aValue.GetMutable().*aPath = *path;
                changed = true;
            }
            changed = aMoreRows(aValue) || changed;
            ImGui::PopID();
            return changed;
        }

        template <typename T>
        bool NoMoreRows(CopyOnWriteWrapper<T>&)
        {
            return false;
        }

        // A sprite's "Size" or "Pivot" sub-row.
        bool EditSpritePair(const char* aLabel, const char* aWidgetId, const Vector2<float>& aStored, Vector2<float>& anEdited)
        {
            BeginPropertyLabel(true);
            ImGui::TextUnformatted(aLabel);
            BeginPropertyValue(true);
            anEdited = aStored;
            return ImGui::DragFloat2(aWidgetId, &anEdited.x, 1.0f, 0.0f, 0.0f, "%.3f") && !(anEdited == aStored);
        }
    }

    void BeginPropertyLabel(bool aNoSeparator)
    {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        if (!aNoSeparator)
        {
            ImGui::Separator();
        }
        ImGui::AlignTextToFramePadding();
    }

    void BeginPropertyValue(bool aNoSeparator)
    {
        ImGui::TableSetColumnIndex(1);
        if (!aNoSeparator)
        {
            ImGui::Separator();
        }
        ImGui::SetNextItemWidth(-1.0f);
    }

    void DrawHelpMarker(const char* aText, bool aSameLine)
    {
        if (aSameLine)
        {
            ImGui::SameLine(0.0f, -1.0f);
        }
        ImGui::TextDisabled("%s", HELP_ICON);
        // This ImGui has no BeginItemTooltip: a tooltip opened while the icon is hovered does the same.
        if (ImGui::IsItemHovered())
        {
            ImGui::BeginTooltip();
            ImGui::PushTextWrapPos(ImGui::GetFontSize() * TOOLTIP_WRAP_IN_FONT_SIZES);
            ImGui::TextUnformatted(aText);
            ImGui::PopTextWrapPos();
            ImGui::EndTooltip();
        }
    }

    bool DrawPropertyEditor(bool& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip, [](bool& aEdited) { return ImGui::Checkbox("##", &aEdited); });
    }

    bool DrawPropertyEditor(std::int32_t& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip,
                               [](std::int32_t& aEdited) { return ImGui::DragInt("##", &aEdited, 1.0f, 0, 0, "%d"); });
    }

    bool DrawPropertyEditor(float& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip,
                               [](float& aEdited) { return ImGui::DragFloat("##", &aEdited, 1.0f, 0.0f, 0.0f, "%.3f"); });
    }

    bool DrawPropertyEditor(Vector2<float>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip, [](Vector2<float>& aEdited)
                               { return ImGui::DragFloat2("##", &aEdited.x, 1.0f, 0.0f, 0.0f, "%.3f"); });
    }

    bool DrawPropertyEditor(Vector3<float>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip, [](Vector3<float>& aEdited)
                               { return ImGui::DragFloat3("##", &aEdited.x, 1.0f, 0.0f, 0.0f, "%.3f"); });
    }

    bool DrawPropertyEditor(Vector4<float>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip, [](Vector4<float>& aEdited)
                               { return ImGui::DragFloat4("##", &aEdited.x, 1.0f, 0.0f, 0.0f, "%.3f"); });
    }

    bool DrawPropertyEditor(Color& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip,
                               [](Color& aEdited) { return ImGui::ColorEdit4("##", &aEdited.r, ImGuiColorEditFlags_Float); });
    }

    bool DrawPropertyEditor(StringId& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditSimpleValue(aValue, aLabel, aTooltip,
                               [](StringId& aEdited)
                               {
                                   const std::string_view text = aEdited.View();
                                   const std::size_t copied = std::min(text.size(), STRING_EDIT_BUFFER_SIZE - 1);
                                   std::memcpy(ourStringEditBuffer, text.data(), copied);
                                   ourStringEditBuffer[copied] = '\0';
                                   ourStringEditBuffer[STRING_EDIT_BUFFER_SIZE - 1] = '\0';
                                   if (!ImGui::InputText("##", ourStringEditBuffer, STRING_EDIT_BUFFER_SIZE))
                                   {
                                       return false;
                                   }
                                   ourStringEditBuffer[STRING_EDIT_BUFFER_SIZE - 1] = '\0';
                                   aEdited = StringRegistry::RegisterOrGet(ourStringEditBuffer);
                                   return true;
                               });
    }

    bool DrawPropertyEditor(PoseAndMotion&, const char* aLabel, const char* aTooltip)
    {
        if (aLabel)
        {
            BeginLabelledRow(aLabel, aTooltip);
        }
        else
        {
            ImGui::TextUnformatted("Pose");
        }
        return false;
    }

    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneReference>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditPathValue(aValue, &SceneReference::myScenePath, SCENE_PAYLOAD_TYPE, aLabel, aTooltip, NoMoreRows<SceneReference>);
    }

    bool DrawPropertyEditor(CopyOnWriteWrapper<AnimationClipReference>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditPathValue(aValue, &AnimationClipReference::myClipPath, ANIMATION_CLIP_PAYLOAD_TYPE, aLabel, aTooltip,
                             NoMoreRows<AnimationClipReference>);
    }

    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneModel>& aValue, const char* aLabel, const char* aTooltip)
    {
        return EditPathValue(aValue, &SceneModel::myModelPath, MODEL_PAYLOAD_TYPE, aLabel, aTooltip, DrawModelTextures);
    }

    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneSprite>& aValue, const char* aLabel, const char* aTooltip)
    {
        if (!aLabel)
        {
            ImGui::TextUnformatted(PathOrNone(aValue->myTextures[0]));
            return false;
        }
        BeginLabelledRow(aLabel, aTooltip);
        ImGui::PushID(aLabel);
        bool changed = false;
        for (int slot = 0; slot < SceneSprite::TEXTURE_SLOT_COUNT; ++slot)
        {
            if (const std::optional<StringId> path = DrawTextureSlot(slot, SPRITE_SLOT_LABELS[slot], aValue->myTextures[slot]))
            {
                aValue.GetMutable().myTextures[slot] = *path;
                changed = true;
            }
        }
        Vector2<float> edited;
        if (EditSpritePair("Size", "##size", aValue->mySize, edited))
        {
            aValue.GetMutable().mySize = edited;
            changed = true;
        }
        if (EditSpritePair("Pivot", "##pivot", aValue->myPivot, edited))
        {
            aValue.GetMutable().myPivot = edited;
            changed = true;
        }
        ImGui::PopID();
        return changed;
    }
}
