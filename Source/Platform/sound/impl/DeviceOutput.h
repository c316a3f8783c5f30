#pragma once
#include <cstdint>

namespace Platform::Sound::impl
{
    class Mixer;

    // SDL's audio device at 48 kHz float stereo, pulling the mix from the mixer on SDL's thread.
    class DeviceOutput
    {
    public:
        DeviceOutput() = default;
        ~DeviceOutput();
        DeviceOutput(const DeviceOutput&) = delete;
        DeviceOutput& operator=(const DeviceOutput&) = delete;

        // False when SDL has no audio or no device opens.
        bool Open(Mixer& aMixer);
        // Waits for the device thread to leave the mixer.
        void Close();
        bool IsOpen() const { return myDevice != 0; }

    private:
        std::uint32_t myDevice = 0;
        bool myHasSubsystem = false;
    };
}
