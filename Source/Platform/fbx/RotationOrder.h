#pragma once

namespace Vra::Fbx
{
    // Euler orders as the file's "RotationOrder" property numbers them; XYZ turns about X first.
    enum class RotationOrder
    {
        XYZ = 0,
        XZY = 1,
        YZX = 2,
        YXZ = 3,
        ZXY = 4,
        ZYX = 5,
        SphericXYZ = 6 // evaluated as XYZ
    };
}
