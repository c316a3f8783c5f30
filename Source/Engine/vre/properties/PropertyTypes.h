#pragma once
#include "properties/PropertyType.h"

#include <cstdint>

// The built-in property types. Their singletons are defined in registration order, which is also
// their index: "Model", "Sprite", "Scene", "Animation Clip", "Pose", "Bool", "Int", "Float",
// "Float2", "Float3", "Float4", "Color", "StringId".
namespace Vra
{
    template <> PropertyType<CopyOnWriteWrapper<SceneModel>> PropertyType<CopyOnWriteWrapper<SceneModel>>::ourInstance;
    template <> PropertyType<CopyOnWriteWrapper<SceneSprite>> PropertyType<CopyOnWriteWrapper<SceneSprite>>::ourInstance;
    template <> PropertyType<CopyOnWriteWrapper<SceneReference>> PropertyType<CopyOnWriteWrapper<SceneReference>>::ourInstance;
    template <>
    PropertyType<CopyOnWriteWrapper<AnimationClipReference>> PropertyType<CopyOnWriteWrapper<AnimationClipReference>>::ourInstance;
    template <> PropertyType<PoseAndMotion> PropertyType<PoseAndMotion>::ourInstance;
    template <> PropertyType<bool> PropertyType<bool>::ourInstance;
    template <> PropertyType<std::int32_t> PropertyType<std::int32_t>::ourInstance;
    template <> PropertyType<float> PropertyType<float>::ourInstance;
    template <> PropertyType<Vector2<float>> PropertyType<Vector2<float>>::ourInstance;
    template <> PropertyType<Vector3<float>> PropertyType<Vector3<float>>::ourInstance;
    template <> PropertyType<Vector4<float>> PropertyType<Vector4<float>>::ourInstance;
    template <> PropertyType<Color> PropertyType<Color>::ourInstance;
    template <> PropertyType<StringId> PropertyType<StringId>::ourInstance;

    namespace impl
    {
        // The built-in types register from static initialisers in their own file, which a static
        // library leaves out unless something refers to it; the registry calls this to refer to it.
        void LinkBuiltInPropertyTypes();
    }
}
