#pragma once
#include <cstdint>

namespace Platform::Sound
{
    // The version callers are written against; a system refuses to be made for another.
    constexpr std::uint32_t HEADER_VERSION = 0x00020312;

    // The mix is always float stereo at this rate, whatever the files and the device use.
    constexpr int OUTPUT_RATE = 48000;
    constexpr int OUTPUT_CHANNELS = 2;

    // The longest sound a file may declare: 20 minutes at the output rate (440 MB decoded).
    constexpr std::int64_t MAX_SOUND_FRAMES = std::int64_t{20} * 60 * OUTPUT_RATE;

    enum class Result
    {
        Ok,
        InvalidHandle,      // a null, stopped or finished channel, or an object of another system
        InvalidParam,       // a value outside its range, a null argument
        FileNotFound,
        BadFile,            // a file that does not decode, or decodes to no samples
        HeaderMismatch,
        NotInitialized,
        AlreadyInitialized,
        DspInUse,           // the effect is already attached somewhere
        WrongOutput,        // a memory render on a system that plays to the device
    };

    using Mode = std::uint32_t;
    constexpr Mode MODE_DEFAULT = 0x0;
    constexpr Mode MODE_LOOP_OFF = 0x1;
    constexpr Mode MODE_LOOP_NORMAL = 0x2;

    using InitFlags = std::uint32_t;
    constexpr InitFlags INIT_NORMAL = 0x0;

    enum class DspType
    {
        Echo = 6,
    };

    // Parameter indices of the echo effect.
    enum EchoParameter : int
    {
        ECHO_DELAY = 0,     // milliseconds, 1 to 5000, default 500
        ECHO_FEEDBACK = 1,  // percent of the delayed signal fed back, 0 to 100, default 50
        ECHO_DRYLEVEL = 2,  // dB, -80 (silent) to 10, default 0
        ECHO_WETLEVEL = 3,  // dB, -80 (silent) to 10, default 0
    };

    enum class OutputType
    {
        // SDL's audio device; without one the system runs silently on the wall clock.
        Device,
        // No device: time advances only through System::Render, which hands the mix to the caller.
        Memory,
    };
}
