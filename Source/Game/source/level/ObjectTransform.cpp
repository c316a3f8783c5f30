#include "level/ObjectTransform.h"

#include "scene/SceneObject.h"

#include <array>
#include <cmath>

namespace
{
    constexpr float RADIANS_PER_DEGREE = 0.017453292f;
}

Vra::Matrix4x4 ObjectTransformToMatrix(const Vra::SceneObject& anObject)
{
    const Vra::Vector3<float> half = anObject.myRotation * (RADIANS_PER_DEGREE * 0.5f);
    const float cx = std::cos(half.x);
    const float sx = std::sin(half.x);
    const float cy = std::cos(half.y);
    const float sy = std::sin(half.y);
    const float cz = std::cos(half.z);
    const float sz = std::sin(half.z);
    const float w = cx * cy * cz + sx * sy * sz;
    const float x = sx * cy * cz - cx * sy * sz;
    const float y = cx * sy * cz + sx * cy * sz;
    const float z = cx * cy * sz - sx * sy * cz;

    const Vra::Vector3<float>& s = anObject.myScale;
    const Vra::Vector3<float>& t = anObject.myTranslation;
    // Row-vector convention: the rows are the rotated axes, each scaled, and row 4 the translation.
    return Vra::Matrix4x4(std::array<float, 16>{
        (1.0f - 2.0f * (y * y + z * z)) * s.x, 2.0f * (x * y + w * z) * s.x, 2.0f * (x * z - w * y) * s.x, 0.0f,
        2.0f * (x * y - w * z) * s.y, (1.0f - 2.0f * (x * x + z * z)) * s.y, 2.0f * (y * z + w * x) * s.y, 0.0f,
        2.0f * (x * z + w * y) * s.z, 2.0f * (y * z - w * x) * s.z, (1.0f - 2.0f * (x * x + y * y)) * s.z, 0.0f,
        t.x, t.y, t.z, 1.0f });
}

CommonUtilities::Matrix4x4 ToGameMatrix(const Vra::Matrix4x4& aMatrix)
{
    return CommonUtilities::Matrix4x4(aMatrix.GetElements());
}

CommonUtilities::Vector3f ToGameVector(const Vra::Vector3<float>& aVector)
{
    return { aVector.x, aVector.y, aVector.z };
}
