#pragma once

namespace Vra::Fbx
{
    class Scene;

    // What a unit conversion touches besides node translations, pivots, offsets, their
    // animation and the geometry (always converted). Only the clusters matter to this reader;
    // the others are kept for the caller's sake.
    struct UnitConversionOptions
    {
        bool myConvertRrsNodes = true;
        bool myConvertLimits = true;
        bool myConvertClusters = true;
        bool myConvertLightIntensity = true;
        bool myConvertPhotometricLProperties = true;
        bool myConvertCameraClipPlanes = true;
    };

    // The scene's length unit, by how many centimetres one unit is ("UnitScaleFactor").
    class SystemUnit
    {
    public:
        using ConversionOptions = UnitConversionOptions;

        constexpr explicit SystemUnit(double aCentimetresPerUnit = 1.0) : myScaleFactor(aCentimetresPerUnit) {}

        constexpr double GetScaleFactor() const { return myScaleFactor; }
        bool operator==(const SystemUnit& anOther) const; // equal within a relative 1e-9
        bool operator!=(const SystemUnit& anOther) const { return !(*this == anOther); }

        // Rescales the whole scene into this unit: node translations and pivots (and their
        // animation curves), control points, geometric translations and, when asked, the
        // clusters' matrices. Rotations, scalings and the node hierarchy stay as they are.
        // Afterwards the scene's global settings report this unit.
        void ConvertScene(Scene* aScene, const ConversionOptions& someOptions = {}) const;

        static const SystemUnit mm;
        static const SystemUnit cm;
        static const SystemUnit dm;
        static const SystemUnit m;
        static const SystemUnit km;
        static const SystemUnit Inch;
        static const SystemUnit Foot;

    private:
        double myScaleFactor;
    };
}
