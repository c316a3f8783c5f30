#pragma once
#include "Math/Matrix4x4.h"
#include "Math/Quaternion.h"
#include "model/JointTransform.h"

namespace Vra
{
    // aMatrix = aMatrix * anOther (row vectors: aMatrix applies first), four lanes at a time.
    void MultiplyAssign(Matrix4x4& aMatrix, const Matrix4x4& anOther);
    // aResult = aFirst * aSecond; aResult may be either operand.
    void Multiply(const Matrix4x4& aFirst, const Matrix4x4& aSecond, Matrix4x4& aResult);

    // aResult = aFirst * aSecond for an aFirst whose fourth column is (0, 0, 0, 1), as transforms
    // of scale, rotation and translation are: three quarters of the work of Multiply.
    void MultiplyAffine(const Matrix4x4& aFirst, const Matrix4x4& aSecond, Matrix4x4& aResult);
    bool IsAffine(const Matrix4x4& aMatrix);
    // aResult = JointTransform::ToMatrix(aTransform) * aParent without building the joint's matrix.
    void ComposeJoint(const JointTransform& aTransform, const Matrix4x4& aParent, Matrix4x4& aResult);

    // The blend between animation frames: the shorter way round, normalised linear unless the two
    // rotations are almost a quarter turn of the four-dimensional sphere apart, spherical then.
    Quaternion BlendQuaternions(const Quaternion& aFrom, const Quaternion& aTo, float aFactor);
}
