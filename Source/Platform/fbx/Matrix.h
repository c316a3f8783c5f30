#pragma once
#include "fbx/RotationOrder.h"
#include "fbx/Vector4.h"

namespace Vra::Fbx
{
    // A 4x4 double affine matrix. Storage: four rows of four; row 3 holds the translation
    // (x, y, z, 1), so the rows read as a row-vector matrix (p' = p * M, elements row by row).
    // Composition reads like column-vector maths: A * B applies B first, then A
    // (a child's global transform is parentGlobal * childLocal).
    class Matrix
    {
    public:
        Matrix(); // identity
        // Translation, Euler rotation in degrees (X turned first, then Y, then Z) and scaling:
        // T * R * S, scaling applied first.
        Matrix(const Vector4& aTranslation, const Vector4& aRotation, const Vector4& aScaling);

        static Matrix Translation(const Vector4& aTranslation);
        static Matrix Scaling(const Vector4& aScaling);
        static Matrix Rotation(const Vector4& anEulerDegrees, RotationOrder anOrder = RotationOrder::XYZ);

        Vector4 GetRow(int aRow) const;
        void SetRow(int aRow, const Vector4& aRowValue);
        Vector4 GetColumn(int aColumn) const;
        double Get(int aRow, int aColumn) const { return myData[aRow][aColumn]; }
        void Set(int aRow, int aColumn, double aValue) { myData[aRow][aColumn] = aValue; }

        // Decomposition of an affine matrix without shear: translation, Euler XYZ degrees, scaling.
        Vector4 GetT() const;
        Vector4 GetR() const;
        Vector4 GetS() const;

        Matrix Inverse() const;   // identity for a singular matrix
        Matrix Transpose() const; // swaps rows and columns of the storage
        Matrix operator*(const Matrix& anOther) const;
        bool operator==(const Matrix& anOther) const;

        Vector4 MultT(const Vector4& aPoint) const;     // transforms a point (w taken as 1)
        Vector4 MultR(const Vector4& aDirection) const; // linear part only (w taken as 0)

        const double* Data() const { return &myData[0][0]; }

    private:
        double myData[4][4];
    };
}
