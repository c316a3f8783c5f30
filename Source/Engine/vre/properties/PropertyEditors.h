#pragma once
#include "properties/PropertyJson.h"

// One editor row per value type, drawn with Dear ImGui into a host's two-column table: the label
// in column 0, the widget in column 1. Each edits the value in place and returns whether this call
// changed it. A null label draws only the bare widget (simple types) or a read-out of the value,
// without a table row. The host owns the ImGui context, its back-ends, the frame and the table.
namespace Vra::impl
{
    bool DrawPropertyEditor(bool& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(std::int32_t& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(float& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(Vector2<float>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(Vector3<float>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(Vector4<float>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(Color& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(StringId& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(PoseAndMotion& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneReference>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(CopyOnWriteWrapper<AnimationClipReference>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneModel>& aValue, const char* aLabel, const char* aTooltip);
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneSprite>& aValue, const char* aLabel, const char* aTooltip);

    // Row helpers shared by the editors.
    // Opens the next table row in the label column: a separator unless aNoSeparator, then text
    // aligned to the widgets' frame padding.
    void BeginPropertyLabel(bool aNoSeparator);
    // Moves to the value column (a separator unless aNoSeparator); the next widget fills it.
    void BeginPropertyValue(bool aNoSeparator);
    // A help icon that shows aText, wrapped, in a tooltip while hovered.
    void DrawHelpMarker(const char* aText, bool aSameLine);

    // The drag-and-drop payload types the path rows accept.
    inline constexpr const char* SCENE_PAYLOAD_TYPE = ".vrs";
    inline constexpr const char* ANIMATION_CLIP_PAYLOAD_TYPE = ".vrac";
    inline constexpr const char* MODEL_PAYLOAD_TYPE = ".fbx";
    inline constexpr const char* TEXTURE_PAYLOAD_TYPE = ".dds";

    // The text every "StringId" editor edits; holds at most this many bytes, the terminator included.
    inline constexpr std::size_t STRING_EDIT_BUFFER_SIZE = 256;
}
