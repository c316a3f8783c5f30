#include "properties/PropertyEditors.h"

// Without an editor layer nothing is drawn and no value changes.
namespace Vra::impl
{
    bool DrawPropertyEditor(bool&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(std::int32_t&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(float&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(Vector2<float>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(Vector3<float>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(Vector4<float>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(Color&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(StringId&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(PoseAndMotion&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneReference>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(CopyOnWriteWrapper<AnimationClipReference>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneModel>&, const char*, const char*) { return false; }
    bool DrawPropertyEditor(CopyOnWriteWrapper<SceneSprite>&, const char*, const char*) { return false; }
}
