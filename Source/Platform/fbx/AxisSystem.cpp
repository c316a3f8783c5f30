#include "fbx/AxisSystem.h"

#include "fbx/impl/SceneBuilder.h"

namespace Vra::Fbx
{
    namespace
    {
        Vector4 AxisVector(AxisSystem::Axis anAxis)
        {
            Vector4 result(0.0, 0.0, 0.0, 0.0);
            result[anAxis.myIndex] = anAxis.mySign < 0 ? -1.0 : 1.0;
            return result;
        }

        Vector4 Cross(const Vector4& aLeft, const Vector4& aRight)
        {
            return Vector4(aLeft[1] * aRight[2] - aLeft[2] * aRight[1], aLeft[2] * aRight[0] - aLeft[0] * aRight[2],
                           aLeft[0] * aRight[1] - aLeft[1] * aRight[0], 0.0);
        }
    }

    AxisSystem::AxisSystem() = default;

    AxisSystem::AxisSystem(PreDefined aSystem)
    {
        switch (aSystem)
        {
        case PreDefined::MayaZUp:
        case PreDefined::Max:
            *this = AxisSystem({ 2, 1 }, { 1, -1 }, { 0, 1 });
            break;
        case PreDefined::DirectX:
            *this = AxisSystem({ 1, 1 }, { 2, -1 }, { 0, 1 });
            break;
        case PreDefined::Lightwave:
            *this = AxisSystem({ 1, 1 }, { 2, -1 }, { 0, 1 });
            break;
        case PreDefined::MayaYUp:
        case PreDefined::MotionBuilder:
        case PreDefined::OpenGL:
        default:
            *this = AxisSystem({ 1, 1 }, { 2, 1 }, { 0, 1 });
            break;
        }
    }

    AxisSystem::AxisSystem(Axis anUp, Axis aFront, Axis aCoord) : myUp(anUp), myFront(aFront), myCoord(aCoord) {}

    bool AxisSystem::IsValid() const
    {
        const auto good = [](Axis anAxis) { return anAxis.myIndex >= 0 && anAxis.myIndex <= 2 && (anAxis.mySign == 1 || anAxis.mySign == -1); };
        return good(myUp) && good(myFront) && good(myCoord) && myUp.myIndex != myFront.myIndex &&
               myUp.myIndex != myCoord.myIndex && myFront.myIndex != myCoord.myIndex;
    }

    bool AxisSystem::IsRightHanded() const
    {
        const Vector4 product = Cross(AxisVector(myCoord), AxisVector(myUp));
        const Vector4 front = AxisVector(myFront);
        return product[0] * front[0] + product[1] * front[1] + product[2] * front[2] > 0.0;
    }

    bool AxisSystem::operator==(const AxisSystem& anOther) const
    {
        return myUp == anOther.myUp && myFront == anOther.myFront && myCoord == anOther.myCoord;
    }

    Matrix AxisSystem::GetConversionMatrix(const AxisSystem& aSource) const
    {
        if (!IsValid() || !aSource.IsValid())
        {
            return Matrix();
        }
        // Source axis (coord, up, front) i goes to this system's axis of the same meaning.
        Matrix result;
        const Axis sources[3] = { aSource.myCoord, aSource.myUp, aSource.myFront };
        const Axis targets[3] = { myCoord, myUp, myFront };
        for (int meaning = 0; meaning < 3; ++meaning)
        {
            Vector4 row = AxisVector(targets[meaning]);
            if (sources[meaning].mySign < 0)
            {
                row = Vector4(-row[0], -row[1], -row[2], 0.0);
            }
            result.SetRow(sources[meaning].myIndex, row);
        }
        return result;
    }

    void AxisSystem::DeepConvertScene(Scene* aScene) const
    {
        if (aScene)
        {
            SceneBuilder::ConvertAxes(*aScene, *this);
        }
    }

    void AxisSystem::ConvertScene(Scene* aScene) const
    {
        DeepConvertScene(aScene);
    }
}
