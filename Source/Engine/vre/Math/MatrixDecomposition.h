#pragma once
#include "Math/Matrix4x4.h"
#include "Math/Quaternion.h"
#include "Math/Vector3.h"

namespace Vra
{
    // Splits a scale-rotate-translate transform: the scale is each of rows 1 to 3's length over all four
    // elements, the rotation comes from those rows divided by their scale, the translation is row 4.
    void DecomposeMatrix(const Matrix4x4& aMatrix, Vector3<float>& aTranslation, Quaternion& aRotation, float aScale[3]);

    // The rotation whose matrix has aX, aY and aZ as its rows 1 to 3.
    Quaternion QuaternionFromAxes(const Vector3<float>& aX, const Vector3<float>& aY, const Vector3<float>& aZ);
}
