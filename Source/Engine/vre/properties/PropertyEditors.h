#pragma once
#include "properties/PropertyJson.h"

// One editor row per value type: edits the value in place and returns whether it changed.
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
}
