#include "fbx/Matrix.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace Vra::Fbx
{
    namespace
    {
        constexpr double DEGREES_TO_RADIANS = std::numbers::pi / 180.0;
        constexpr double RADIANS_TO_DEGREES = 180.0 / std::numbers::pi;

        // Rotation about one axis in the row form this class stores.
        Matrix AxisRotation(int anAxis, double aDegrees)
        {
            const double c = std::cos(aDegrees * DEGREES_TO_RADIANS);
            const double s = std::sin(aDegrees * DEGREES_TO_RADIANS);
            const int a = (anAxis + 1) % 3;
            const int b = (anAxis + 2) % 3;
            Matrix result;
            result.Set(a, a, c);
            result.Set(a, b, s);
            result.Set(b, a, -s);
            result.Set(b, b, c);
            return result;
        }
    }

    Matrix::Matrix()
    {
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                myData[row][column] = row == column ? 1.0 : 0.0;
            }
        }
    }

    Matrix::Matrix(const Vector4& aTranslation, const Vector4& aRotation, const Vector4& aScaling)
        : Matrix(Translation(aTranslation) * Rotation(aRotation) * Scaling(aScaling))
    {
    }

    Matrix Matrix::Translation(const Vector4& aTranslation)
    {
        Matrix result;
        result.SetRow(3, Vector4(aTranslation[0], aTranslation[1], aTranslation[2], 1.0));
        return result;
    }

    Matrix Matrix::Scaling(const Vector4& aScaling)
    {
        Matrix result;
        for (int axis = 0; axis < 3; ++axis)
        {
            result.myData[axis][axis] = aScaling[axis];
        }
        return result;
    }

    Matrix Matrix::Rotation(const Vector4& anEulerDegrees, RotationOrder anOrder)
    {
        const Matrix x = AxisRotation(0, anEulerDegrees[0]);
        const Matrix y = AxisRotation(1, anEulerDegrees[1]);
        const Matrix z = AxisRotation(2, anEulerDegrees[2]);
        // The first named axis turns first, so it stands rightmost.
        switch (anOrder)
        {
        case RotationOrder::XZY: return y * z * x;
        case RotationOrder::YZX: return x * z * y;
        case RotationOrder::YXZ: return z * x * y;
        case RotationOrder::ZXY: return y * x * z;
        case RotationOrder::ZYX: return x * y * z;
        case RotationOrder::XYZ:
        case RotationOrder::SphericXYZ:
        default: return z * y * x;
        }
    }

    Vector4 Matrix::GetRow(int aRow) const
    {
        return Vector4(myData[aRow][0], myData[aRow][1], myData[aRow][2], myData[aRow][3]);
    }

    void Matrix::SetRow(int aRow, const Vector4& aRowValue)
    {
        for (int column = 0; column < 4; ++column)
        {
            myData[aRow][column] = aRowValue[column];
        }
    }

    Vector4 Matrix::GetColumn(int aColumn) const
    {
        return Vector4(myData[0][aColumn], myData[1][aColumn], myData[2][aColumn], myData[3][aColumn]);
    }

    Vector4 Matrix::GetT() const
    {
        return Vector4(myData[3][0], myData[3][1], myData[3][2], 1.0);
    }

    Vector4 Matrix::GetS() const
    {
        Vector4 scaling(0.0, 0.0, 0.0, 1.0);
        for (int axis = 0; axis < 3; ++axis)
        {
            scaling[axis] = std::sqrt(myData[axis][0] * myData[axis][0] + myData[axis][1] * myData[axis][1] +
                                      myData[axis][2] * myData[axis][2]);
        }
        const double determinant =
            myData[0][0] * (myData[1][1] * myData[2][2] - myData[1][2] * myData[2][1]) -
            myData[0][1] * (myData[1][0] * myData[2][2] - myData[1][2] * myData[2][0]) +
            myData[0][2] * (myData[1][0] * myData[2][1] - myData[1][1] * myData[2][0]);
        if (determinant < 0.0)
        {
            scaling = Vector4(-scaling[0], -scaling[1], -scaling[2], 1.0);
        }
        return scaling;
    }

    Vector4 Matrix::GetR() const
    {
        const Vector4 scaling = GetS();
        double r[3][3]; // r[i][j]: column-vector form, element of row i, column j
        for (int axis = 0; axis < 3; ++axis)
        {
            const double length = scaling[axis] == 0.0 ? 1.0 : scaling[axis];
            for (int component = 0; component < 3; ++component)
            {
                r[component][axis] = myData[axis][component] / length;
            }
        }
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        if (std::abs(r[2][0]) < 1.0 - 1e-12)
        {
            y = std::asin(-r[2][0]);
            x = std::atan2(r[2][1], r[2][2]);
            z = std::atan2(r[1][0], r[0][0]);
        }
        else
        {
            // Gimbal lock: y is +-90 degrees and only x - z (or x + z) is defined; z takes 0.
            y = r[2][0] < 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
            x = std::atan2(-r[1][2], r[1][1]);
        }
        return Vector4(x * RADIANS_TO_DEGREES, y * RADIANS_TO_DEGREES, z * RADIANS_TO_DEGREES, 1.0);
    }

    Matrix Matrix::Inverse() const
    {
        double a[4][8];
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                a[row][column] = myData[row][column];
                a[row][column + 4] = row == column ? 1.0 : 0.0;
            }
        }
        for (int column = 0; column < 4; ++column)
        {
            int pivot = column;
            for (int row = column + 1; row < 4; ++row)
            {
                if (std::abs(a[row][column]) > std::abs(a[pivot][column]))
                {
                    pivot = row;
                }
            }
            if (std::abs(a[pivot][column]) < 1e-300)
            {
                return Matrix();
            }
            if (pivot != column)
            {
                for (int k = 0; k < 8; ++k)
                {
                    std::swap(a[pivot][k], a[column][k]);
                }
            }
            const double inverse = 1.0 / a[column][column];
            for (int k = 0; k < 8; ++k)
            {
                a[column][k] *= inverse;
            }
            for (int row = 0; row < 4; ++row)
            {
                if (row != column && a[row][column] != 0.0)
                {
                    const double factor = a[row][column];
                    for (int k = 0; k < 8; ++k)
                    {
                        a[row][k] -= factor * a[column][k];
                    }
                }
            }
        }
        Matrix result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                result.myData[row][column] = a[row][column + 4];
            }
        }
        return result;
    }

    Matrix Matrix::Transpose() const
    {
        Matrix result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                result.myData[row][column] = myData[column][row];
            }
        }
        return result;
    }

    Matrix Matrix::operator*(const Matrix& anOther) const
    {
        // In row form the matrix applied first stands left.
        Matrix result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k)
                {
                    sum += anOther.myData[row][k] * myData[k][column];
                }
                result.myData[row][column] = sum;
            }
        }
        return result;
    }

    bool Matrix::operator==(const Matrix& anOther) const
    {
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                if (myData[row][column] != anOther.myData[row][column])
                {
                    return false;
                }
            }
        }
        return true;
    }

    Vector4 Matrix::MultT(const Vector4& aPoint) const
    {
        Vector4 result(0.0, 0.0, 0.0, 1.0);
        for (int column = 0; column < 3; ++column)
        {
            result[column] = aPoint[0] * myData[0][column] + aPoint[1] * myData[1][column] +
                             aPoint[2] * myData[2][column] + myData[3][column];
        }
        return result;
    }

    Vector4 Matrix::MultR(const Vector4& aDirection) const
    {
        Vector4 result(0.0, 0.0, 0.0, aDirection[3]);
        for (int column = 0; column < 3; ++column)
        {
            result[column] = aDirection[0] * myData[0][column] + aDirection[1] * myData[1][column] +
                             aDirection[2] * myData[2][column];
        }
        return result;
    }
}
