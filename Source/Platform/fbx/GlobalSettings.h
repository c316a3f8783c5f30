#pragma once
#include "fbx/AxisSystem.h"
#include "fbx/SystemUnit.h"
#include "fbx/TimeSpan.h"
#include "fbx/TimeMode.h"

namespace Vra::Fbx
{
    // The scene-wide settings of the file's "GlobalSettings" record.
    class GlobalSettings
    {
    public:
        const SystemUnit& GetSystemUnit() const { return mySystemUnit; }
        void SetSystemUnit(const SystemUnit& aUnit) { mySystemUnit = aUnit; }
        const SystemUnit& GetOriginalSystemUnit() const { return myOriginalSystemUnit; }
        const AxisSystem& GetAxisSystem() const { return myAxisSystem; }
        void SetAxisSystem(const AxisSystem& anAxisSystem) { myAxisSystem = anAxisSystem; }
        const TimeMode& GetTimeMode() const { return myTimeMode; }
        double GetFrameRate() const { return myTimeMode.GetFrameRate(); }
        TimeSpan GetTimelineDefaultTimeSpan() const { return myTimeSpan; }

    private:
        friend class SceneBuilder;
        SystemUnit mySystemUnit;
        SystemUnit myOriginalSystemUnit;
        AxisSystem myAxisSystem;
        TimeMode myTimeMode;
        TimeSpan myTimeSpan;
    };
}
