#pragma once
#include "sound/SoundTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace Platform::Sound
{
    class Dsp;
    class Sound;
}

namespace Platform::Sound::impl
{
    // A decoded file: interleaved stereo floats at the file's rate, followed by one guard frame
    // (the first frame of a looping sound, silence after a one-shot) so interpolation never
    // reads past the end. The rate and the loop flag are known from the header; the frames and
    // their count are written once by the decode, before any voice plays them.
    struct FreeFrames
    {
        void operator()(float* someFrames) const;
    };
    using FrameBuffer = std::unique_ptr<float, FreeFrames>;

    struct SampleData
    {
        // From malloc, so the decode can grow and trim it in place.
        FrameBuffer myFrames;
        std::uint32_t myFrameCount = 0;
        std::uint32_t mySampleRate = OUTPUT_RATE;
        bool myIsLooping = false;
    };

    // Effects in playing order from the source to the output: index 0 is nearest the output.
    using DspChain = std::vector<Dsp*>;

    struct Voice
    {
        const SampleData* mySamples = nullptr;
        const Sound* mySound = nullptr;
        std::uint64_t myPosition = 0; // source frames, 32.32 fixed point
        std::uint64_t myStep = 0;     // pitch times the file's rate over the output rate, 32.32
        float myPitch = 1.0f;
        float myVolume = 1.0f;
        bool myIsPaused = false;
        bool myIsActive = false;
        std::uint32_t myGeneration = 0;
        std::uint64_t myStartSerial = 0;
        DspChain myDsps;
    };

    struct GroupState
    {
        float myVolume = 1.0f;
        bool myIsPaused = false;
        DspChain myDsps;
    };

    // Where an effect sits: nowhere, on the master group or on one voice.
    struct DspAttachment
    {
        enum class Target { None, Master, Voice };
        Target myTarget = Target::None;
        std::uint32_t myVoice = 0;
    };

    // The state the public objects share with the output thread. Every member function but Mix
    // expects the caller to hold the mutex; Mix takes it itself.
    class Mixer
    {
    public:
        // Frames mixed at a time; a voice's effects run over one block in a scratch buffer.
        static constexpr int BLOCK_FRAMES = 256;

        explicit Mixer(int aVoiceCount);
        ~Mixer();
        Mixer(const Mixer&) = delete;
        Mixer& operator=(const Mixer&) = delete;

        std::mutex& GetMutex() const { return myMutex; }

        struct VoiceId
        {
            std::uint32_t myIndex = 0;
            std::uint32_t myGeneration = 0;
        };
        // Takes a free voice, or the oldest one when all are busy.
        VoiceId StartVoice(const SampleData& someSamples, const Sound* aSound, bool aPaused);
        // The voice a handle names, or none once that voice stopped or finished.
        Voice* FindVoice(std::uint32_t anIndex, std::uint32_t aGeneration);
        void StopVoice(Voice& aVoice);
        void StopAllVoices();
        int CountActiveVoices() const;
        static void SetPitch(Voice& aVoice, float aPitch);

        GroupState& GetMaster() { return myMaster; }

        Result Attach(Dsp& aDsp, DspChain& aChain, int anIndex, DspAttachment anAttachment);
        void Detach(Dsp& aDsp);

        // Objects handed to callers, deleted by their Release or by the mixer's end.
        void Adopt(Sound* aSound) { mySounds.insert(aSound); }
        void Adopt(Dsp* aDsp) { myDsps.insert(aDsp); }
        bool Owns(const Sound* aSound) const { return mySounds.count(const_cast<Sound*>(aSound)) != 0; }
        bool Owns(const Dsp* aDsp) const { return myDsps.count(const_cast<Dsp*>(aDsp)) != 0; }
        void Delete(Sound* aSound);
        void Delete(Dsp* aDsp);
        int CountDsps() const { return static_cast<int>(myDsps.size()); }

        // Mixes the next frames (interleaved stereo) into someFrames, replacing what is there.
        void Mix(float* someFrames, int aFrameCount);

    private:
        void MixBlock(float* someFrames, int aFrameCount);
        static void RunChain(const DspChain& aChain, float* someFrames, int aFrameCount);
        void DetachAll(DspChain& aChain);

        mutable std::mutex myMutex;
        std::vector<Voice> myVoices;
        std::uint64_t myNextSerial = 0;
        GroupState myMaster;
        std::vector<float> myScratch;
        std::unordered_set<Sound*> mySounds;
        std::unordered_set<Dsp*> myDsps;
    };
}
