#pragma once

namespace Vra::Fbx
{
    // The scene's frame rate as the file's "TimeMode" numbers it; Custom uses "CustomFrameRate".
    class TimeMode
    {
    public:
        enum Mode
        {
            Default = 0, // 30 frames per second
            Frames120 = 1,
            Frames100 = 2,
            Frames60 = 3,
            Frames50 = 4,
            Frames48 = 5,
            Frames30 = 6,
            Frames30Drop = 7,
            NtscDropFrame = 8,
            NtscFullFrame = 9,
            Pal = 10,
            Frames24 = 11,
            Frames1000 = 12,
            FilmFullFrame = 13,
            Custom = 14,
            Frames96 = 15,
            Frames72 = 16,
            Frames59dot94 = 17
        };

        constexpr TimeMode() = default;
        constexpr TimeMode(Mode aMode, double aCustomFrameRate = 30.0) : myMode(aMode), myCustomFrameRate(aCustomFrameRate) {}

        constexpr Mode GetMode() const { return myMode; }
        double GetFrameRate() const; // frames per second; 30 for unknown modes or a bad custom rate

    private:
        Mode myMode = Default;
        double myCustomFrameRate = 30.0;
    };
}
