#pragma once
#include "Math/Matrix4x4.h"

namespace Vra
{
    // A plain value: where the camera stands and how it projects. The render state reads both.
    class Camera
    {
    public:
        Camera() = default;

        // Centred on the camera: x in -width/2..width/2 and y in -height/2..height/2 map to -1..1,
        // z in 0..depth to 0..1. Near and far are left as they are.
        void SetOrthographicProjection(float aWidth, float aHeight, float aDepth);
        // Over the box: left, bottom and near map to -1, -1 and 0; right, top and far to 1, 1 and 1.
        void SetOrthographicProjection(float aLeft, float aRight, float aBottom, float aTop, float aNear, float aFar);

        Matrix4x4 myTransform;
        Matrix4x4 myProjection;
        float myNear = 1.0f;
        float myFar = 10000.0f;
    };
}
