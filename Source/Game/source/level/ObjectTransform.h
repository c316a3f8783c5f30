#pragma once
#include "Math/Matrix4x4.h"
#include "Matrix4x4.h"
#include "Vector3.h"

namespace Vra
{
    class SceneObject;
}

// The object's translation, rotation (Euler degrees) and scale as one row-major matrix, through
// a half-angle quaternion: the inverse of the engine's decomposition of scene transforms.
Vra::Matrix4x4 ObjectTransformToMatrix(const Vra::SceneObject& anObject);

// The same sixteen floats in the game's matrix type.
CommonUtilities::Matrix4x4 ToGameMatrix(const Vra::Matrix4x4& aMatrix);

CommonUtilities::Vector3f ToGameVector(const Vra::Vector3<float>& aVector);
