#include "fbx/SystemUnit.h"

#include "fbx/impl/SceneBuilder.h"

#include <cmath>

namespace Vra::Fbx
{
    const SystemUnit SystemUnit::mm(0.1);
    const SystemUnit SystemUnit::cm(1.0);
    const SystemUnit SystemUnit::dm(10.0);
    const SystemUnit SystemUnit::m(100.0);
    const SystemUnit SystemUnit::km(100000.0);
    const SystemUnit SystemUnit::Inch(2.54);
    const SystemUnit SystemUnit::Foot(30.48);

    bool SystemUnit::operator==(const SystemUnit& anOther) const
    {
        return std::abs(myScaleFactor - anOther.myScaleFactor) <= 1e-9 * std::abs(anOther.myScaleFactor);
    }

    void SystemUnit::ConvertScene(Scene* aScene, const ConversionOptions& someOptions) const
    {
        if (aScene)
        {
            SceneBuilder::ConvertUnit(*aScene, *this, someOptions.myConvertClusters);
        }
    }
}
