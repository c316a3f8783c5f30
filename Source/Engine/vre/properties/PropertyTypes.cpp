#include "properties/PropertyTypes.h"

namespace Vra
{
    // Static initialisation runs these in the order written, which fixes every type's index.
    template <> PropertyType<CopyOnWriteWrapper<SceneModel>> PropertyType<CopyOnWriteWrapper<SceneModel>>::ourInstance("Model");
    template <> PropertyType<CopyOnWriteWrapper<SceneSprite>> PropertyType<CopyOnWriteWrapper<SceneSprite>>::ourInstance("Sprite");
    template <> PropertyType<CopyOnWriteWrapper<SceneReference>> PropertyType<CopyOnWriteWrapper<SceneReference>>::ourInstance("Scene");
    template <>
    PropertyType<CopyOnWriteWrapper<AnimationClipReference>> PropertyType<CopyOnWriteWrapper<AnimationClipReference>>::ourInstance(
        "Animation Clip");
    template <> PropertyType<PoseAndMotion> PropertyType<PoseAndMotion>::ourInstance("Pose");
    template <> PropertyType<bool> PropertyType<bool>::ourInstance("Bool");
    template <> PropertyType<std::int32_t> PropertyType<std::int32_t>::ourInstance("Int");
    template <> PropertyType<float> PropertyType<float>::ourInstance("Float");
    template <> PropertyType<Vector2<float>> PropertyType<Vector2<float>>::ourInstance("Float2");
    template <> PropertyType<Vector3<float>> PropertyType<Vector3<float>>::ourInstance("Float3");
    template <> PropertyType<Vector4<float>> PropertyType<Vector4<float>>::ourInstance("Float4");
    template <> PropertyType<Color> PropertyType<Color>::ourInstance("Color");
    template <> PropertyType<StringId> PropertyType<StringId>::ourInstance("StringId");

    void impl::LinkBuiltInPropertyTypes()
    {
    }
}
