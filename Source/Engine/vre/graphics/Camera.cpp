#include "graphics/Camera.h"

namespace Vra
{
    void Camera::SetOrthographicProjection(float aWidth, float aHeight, float aDepth)
    {
        myProjection = Matrix4x4();
        myProjection(1, 1) = 2.0f / aWidth;
        myProjection(2, 2) = 2.0f / aHeight;
        myProjection(3, 3) = 1.0f / aDepth;
    }

    void Camera::SetOrthographicProjection(float aLeft, float aRight, float aBottom, float aTop, float aNear, float aFar)
    {
        myProjection = Matrix4x4();
        myProjection(1, 1) = 2.0f / (aRight - aLeft);
        myProjection(2, 2) = 2.0f / (aTop - aBottom);
        myProjection(3, 3) = 1.0f / (aFar - aNear);
        myProjection(4, 1) = -(aLeft + aRight) / (aRight - aLeft);
        myProjection(4, 2) = -(aBottom + aTop) / (aTop - aBottom);
        myProjection(4, 3) = -aNear / (aFar - aNear);
    }
}
