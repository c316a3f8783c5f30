#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ContentTool
{
    constexpr int SAMPLE_RATE = 48000;

    std::size_t FramesOf(double someSeconds);
    float MidiToFrequency(float aNote);

    // Interleaved float samples. A looping buffer wraps what is mixed past its end to its start,
    // so notes and echoes ring on across the loop point without a click.
    class AudioBuffer
    {
    public:
        AudioBuffer(int aChannels, std::size_t aFrames, bool aLoops = false);

        int Channels() const { return myChannels; }
        std::size_t Frames() const { return myFrames; }
        bool Loops() const { return myLoops; }
        float& At(std::size_t aFrame, int aChannel) { return mySamples[aFrame * myChannels + aChannel]; }
        float At(std::size_t aFrame, int aChannel) const { return mySamples[aFrame * myChannels + aChannel]; }
        const std::vector<float>& Samples() const { return mySamples; }

        // Adds a mono voice from aStart; aPan -1 left .. 1 right (ignored for mono buffers).
        void Mix(const std::vector<float>& aVoice, std::size_t aStart, float aGain, float aPan = 0.0f);
        // Scales the whole buffer so its peak is aPeak.
        void Normalise(float aPeak);
        // Fades the first and last aSeconds (one-shot sounds end without a click).
        void FadeEnds(double aFadeIn, double aFadeOut);

    private:
        int myChannels;
        std::size_t myFrames;
        bool myLoops;
        std::vector<float> mySamples;
    };

    // Repeatable white noise in [-1, 1].
    class NoiseSource
    {
    public:
        explicit NoiseSource(std::uint32_t aSeed) : myState(aSeed * 2654435761u + 1u) {}
        float Next();

    private:
        std::uint32_t myState;
    };

    // A two-pole filter (biquad) in the usual low-pass, high-pass and band-pass forms.
    class Biquad
    {
    public:
        enum class Kind { LowPass, HighPass, BandPass };
        Biquad(Kind aKind, float aFrequency, float aQ);
        void Set(Kind aKind, float aFrequency, float aQ);
        float Process(float aSample);

    private:
        float myB0 = 1.0f, myB1 = 0.0f, myB2 = 0.0f, myA1 = 0.0f, myA2 = 0.0f;
        float myX1 = 0.0f, myX2 = 0.0f, myY1 = 0.0f, myY2 = 0.0f;
    };

    // Attack-decay-sustain-release level at aTime of a note held for aHold seconds.
    float Adsr(float aTime, float aHold, float anAttack, float aDecay, float aSustain, float aRelease);

    // Instruments: mono voices of aSeconds (the release is included), peak about aVelocity.
    std::vector<float> Pluck(float aFrequency, float aSeconds, float aVelocity, float aBrightness, std::uint32_t aSeed);
    std::vector<float> Bell(float aFrequency, float aSeconds, float aVelocity, float aRatio = 3.5f, float anIndex = 2.5f);
    std::vector<float> Pad(float aFrequency, float aSeconds, float aVelocity, float anAttack = 0.6f, float aCutoff = 1800.0f);
    std::vector<float> Flute(float aFrequency, float aSeconds, float aVelocity, std::uint32_t aSeed);
    std::vector<float> Bowed(float aFrequency, float aSeconds, float aVelocity);
    std::vector<float> Bass(float aFrequency, float aSeconds, float aVelocity);
    std::vector<float> Lead(float aFrequency, float aSeconds, float aVelocity);
    std::vector<float> Kick(float aVelocity);
    std::vector<float> Snare(float aVelocity, std::uint32_t aSeed);
    std::vector<float> HiHat(float aVelocity, float aSeconds, std::uint32_t aSeed);
    // Filtered noise of aSeconds shaped by the envelope; aLow..aHigh sweep the band's centre.
    std::vector<float> NoiseSweep(float aSeconds, float aLow, float aHigh, float aQ, float anAttack, float aRelease, std::uint32_t aSeed);
    // A sine whose pitch glides from aFrom to aTo (exponentially) with a decaying level.
    std::vector<float> Chirp(float aFrom, float aTo, float aSeconds, float aVelocity, float aDecay);

    // A small stereo (or mono) room: parallel combs into all-passes. A looping buffer is run
    // twice so the tail of its end already sounds at its start.
    void Reverb(AudioBuffer& aBuffer, float aWet, float aRoomSize, float aDamping);
    // Repeats of the signal every aDelay seconds, each aFeedback as loud as the last.
    void Echo(AudioBuffer& aBuffer, float aDelay, float aFeedback, float aWet);
}
