#include "fbx/impl/SceneBuilder.h"

#include "fbx/Scene.h"

namespace Vra::Fbx
{
    bool SceneBuilder::Build(const unsigned char*, size_t, Scene& aScene, Status& aStatus)
    {
        aScene.Clear();
        aStatus.SetCode(Status::Code::Failure, "not yet readable");
        return false;
    }

    void SceneBuilder::ConvertUnit(Scene&, const SystemUnit&, bool) {}
    void SceneBuilder::ConvertAxes(Scene&, const AxisSystem&) {}
}
