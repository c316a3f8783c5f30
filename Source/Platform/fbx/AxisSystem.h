#pragma once
#include "fbx/Matrix.h"

namespace Vra::Fbx
{
    class Scene;

    // Which way is up, which way the front faces and which way the remaining (coordinate) axis
    // points, each as an axis 0..2 with a sign; the file stores this in its global settings
    // ("UpAxis", "UpAxisSign", "FrontAxis", "FrontAxisSign", "CoordAxis", "CoordAxisSign").
    // Right-handed systems have coord x up = front.
    class AxisSystem
    {
    public:
        // The usual systems. DirectX (5) is y up, front towards the viewer along -z, x to the right:
        // left-handed, so converting a y-up right-handed scene to it negates z.
        enum class PreDefined
        {
            MayaZUp = 0,
            MayaYUp = 1,
            Max = 2,
            MotionBuilder = 3,
            OpenGL = 4,
            DirectX = 5,
            Lightwave = 6
        };

        struct Axis
        {
            int myIndex = 0; // 0 x, 1 y, 2 z
            int mySign = 1;  // 1 or -1
            bool operator==(const Axis&) const = default;
        };

        AxisSystem(); // MayaYUp (y up, z front, x coord, right-handed)
        explicit AxisSystem(PreDefined aSystem);
        AxisSystem(Axis anUp, Axis aFront, Axis aCoord);

        Axis GetUp() const { return myUp; }
        Axis GetFront() const { return myFront; }
        Axis GetCoord() const { return myCoord; }
        bool IsRightHanded() const;
        bool IsValid() const; // three different axes
        bool operator==(const AxisSystem& anOther) const;
        bool operator!=(const AxisSystem& anOther) const { return !(*this == anOther); }

        // The change of basis from aSource to this system: p_this = M.MultT(p_source).
        Matrix GetConversionMatrix(const AxisSystem& aSource) const;

        // Bakes the change from the scene's axis system into everything the scene gives out:
        // evaluated transforms (C * M * C^-1), control points, normals, tangents, binormals,
        // geometric transforms and cluster matrices. Polygon winding is kept (a change of
        // handedness therefore turns counter-clockwise faces clockwise, as left-handed
        // renderers want). Afterwards the scene's global settings report this system.
        void DeepConvertScene(Scene* aScene) const;
        // Same as DeepConvertScene: this reader has no root-only conversion.
        void ConvertScene(Scene* aScene) const;

    private:
        Axis myUp{ 1, 1 };
        Axis myFront{ 2, 1 };
        Axis myCoord{ 0, 1 };
    };
}
