#include "Synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;
        constexpr float TWO_PI = 2.0f * PI;

        float PolyBlep(float aPhase, float aStep)
        {
            if (aPhase < aStep)
            {
                const float t = aPhase / aStep;
                return t + t - t * t - 1.0f;
            }
            if (aPhase > 1.0f - aStep)
            {
                const float t = (aPhase - 1.0f) / aStep;
                return t * t + t + t + 1.0f;
            }
            return 0.0f;
        }

        // Band-limited sawtooth; aPhase in [0, 1).
        float Saw(float aPhase, float aStep) { return 2.0f * aPhase - 1.0f - PolyBlep(aPhase, aStep); }

        float Wrap(float aPhase) { return aPhase - std::floor(aPhase); }

        float SmoothRamp(float aValue, float aFrom, float aTo)
        {
            const float t = std::clamp((aValue - aFrom) / (aTo - aFrom), 0.0f, 1.0f);
            return t * t * (3.0f - 2.0f * t);
        }

        class Comb
        {
        public:
            explicit Comb(std::size_t aLength) : myBuffer(aLength, 0.0f) {}
            float Process(float anInput, float aFeedback, float aDamping)
            {
                const float output = myBuffer[myIndex];
                myStore = output * (1.0f - aDamping) + myStore * aDamping;
                myBuffer[myIndex] = anInput + myStore * aFeedback;
                myIndex = (myIndex + 1) % myBuffer.size();
                return output;
            }

        private:
            std::vector<float> myBuffer;
            std::size_t myIndex = 0;
            float myStore = 0.0f;
        };

        class AllPass
        {
        public:
            explicit AllPass(std::size_t aLength) : myBuffer(aLength, 0.0f) {}
            float Process(float anInput)
            {
                const float buffered = myBuffer[myIndex];
                const float output = buffered - anInput;
                myBuffer[myIndex] = anInput + buffered * 0.5f;
                myIndex = (myIndex + 1) % myBuffer.size();
                return output;
            }

        private:
            std::vector<float> myBuffer;
            std::size_t myIndex = 0;
        };

        // Runs aStep over every frame of a buffer; a looping buffer is walked once first to fill
        // the effect's memory with the loop's end.
        template <class Step>
        void ProcessFrames(AudioBuffer& aBuffer, Step&& aStep)
        {
            if (aBuffer.Loops())
            {
                for (std::size_t frame = 0; frame < aBuffer.Frames(); ++frame)
                {
                    aStep(frame, false);
                }
            }
            for (std::size_t frame = 0; frame < aBuffer.Frames(); ++frame)
            {
                aStep(frame, true);
            }
        }
    }

    std::size_t FramesOf(double someSeconds)
    {
        return static_cast<std::size_t>(std::llround(std::max(0.0, someSeconds) * SAMPLE_RATE));
    }

    float MidiToFrequency(float aNote)
    {
        return 440.0f * std::pow(2.0f, (aNote - 69.0f) / 12.0f);
    }

    AudioBuffer::AudioBuffer(int aChannels, std::size_t aFrames, bool aLoops)
        : myChannels(aChannels)
        , myFrames(aFrames)
        , myLoops(aLoops)
        , mySamples(aFrames * aChannels, 0.0f)
    {
    }

    void AudioBuffer::Mix(const std::vector<float>& aVoice, std::size_t aStart, float aGain, float aPan)
    {
        const float left = myChannels == 1 ? aGain : aGain * std::sqrt(0.5f * (1.0f - aPan));
        const float right = aGain * std::sqrt(0.5f * (1.0f + aPan));
        for (std::size_t i = 0; i < aVoice.size(); ++i)
        {
            std::size_t frame = aStart + i;
            if (frame >= myFrames)
            {
                if (!myLoops)
                {
                    break;
                }
                frame %= myFrames;
            }
            At(frame, 0) += aVoice[i] * left;
            if (myChannels > 1)
            {
                At(frame, 1) += aVoice[i] * right;
            }
        }
    }

    void AudioBuffer::Normalise(float aPeak)
    {
        float peak = 0.0f;
        for (const float sample : mySamples)
        {
            peak = std::max(peak, std::abs(sample));
        }
        if (peak > 0.0f)
        {
            for (float& sample : mySamples)
            {
                sample *= aPeak / peak;
            }
        }
    }

    void AudioBuffer::FadeEnds(double aFadeIn, double aFadeOut)
    {
        const std::size_t in = std::min(myFrames, FramesOf(aFadeIn));
        const std::size_t out = std::min(myFrames, FramesOf(aFadeOut));
        for (std::size_t frame = 0; frame < myFrames; ++frame)
        {
            float gain = 1.0f;
            if (frame < in)
            {
                gain = static_cast<float>(frame) / in;
            }
            if (frame + out >= myFrames && out > 0)
            {
                gain *= static_cast<float>(myFrames - frame) / out;
            }
            for (int channel = 0; channel < myChannels; ++channel)
            {
                At(frame, channel) *= gain;
            }
        }
    }

    float NoiseSource::Next()
    {
        myState ^= myState << 13;
        myState ^= myState >> 17;
        myState ^= myState << 5;
        return static_cast<float>(myState) / 2147483648.0f - 1.0f;
    }

    Biquad::Biquad(Kind aKind, float aFrequency, float aQ)
    {
        Set(aKind, aFrequency, aQ);
    }

    void Biquad::Set(Kind aKind, float aFrequency, float aQ)
    {
        const float omega = TWO_PI * std::clamp(aFrequency, 10.0f, SAMPLE_RATE * 0.45f) / SAMPLE_RATE;
        const float alpha = std::sin(omega) / (2.0f * aQ);
        const float cosine = std::cos(omega);
        const float a0 = 1.0f + alpha;
        switch (aKind)
        {
        case Kind::LowPass:
            myB0 = (1.0f - cosine) * 0.5f / a0;
            myB1 = (1.0f - cosine) / a0;
            myB2 = myB0;
            break;
        case Kind::HighPass:
            myB0 = (1.0f + cosine) * 0.5f / a0;
            myB1 = -(1.0f + cosine) / a0;
            myB2 = myB0;
            break;
        case Kind::BandPass:
            myB0 = alpha / a0;
            myB1 = 0.0f;
            myB2 = -alpha / a0;
            break;
        }
        myA1 = -2.0f * cosine / a0;
        myA2 = (1.0f - alpha) / a0;
    }

    float Biquad::Process(float aSample)
    {
        const float output = myB0 * aSample + myB1 * myX1 + myB2 * myX2 - myA1 * myY1 - myA2 * myY2;
        myX2 = myX1;
        myX1 = aSample;
        myY2 = myY1;
        myY1 = output;
        return output;
    }

    float Adsr(float aTime, float aHold, float anAttack, float aDecay, float aSustain, float aRelease)
    {
        float level;
        if (aTime < anAttack)
        {
            level = aTime / anAttack;
        }
        else if (aTime < anAttack + aDecay)
        {
            level = 1.0f + (aSustain - 1.0f) * (aTime - anAttack) / aDecay;
        }
        else
        {
            level = aSustain;
        }
        if (aTime > aHold)
        {
            const float held = Adsr(aHold, aHold + 1.0f, anAttack, aDecay, aSustain, aRelease);
            level = held * std::max(0.0f, 1.0f - (aTime - aHold) / aRelease);
        }
        return std::max(0.0f, level);
    }

    std::vector<float> Pluck(float aFrequency, float aSeconds, float aVelocity, float aBrightness, std::uint32_t aSeed)
    {
        // Karplus-Strong: a burst of noise circulating through a delay line that averages as it goes.
        const std::size_t period = std::max<std::size_t>(2, static_cast<std::size_t>(SAMPLE_RATE / aFrequency));
        std::vector<float> line(period);
        NoiseSource noise(aSeed);
        Biquad tone(Biquad::Kind::LowPass, aFrequency * (2.0f + 10.0f * aBrightness), 0.7f);
        for (float& sample : line)
        {
            sample = tone.Process(noise.Next());
        }
        std::vector<float> voice(FramesOf(aSeconds));
        const float blend = 0.5f - 0.02f * (1.0f - aBrightness);
        // Each trip round the line loses enough that the note dies away (-60 dB) over most of aSeconds.
        const float loss = std::pow(0.001f, 1.0f / (aSeconds * 0.7f * aFrequency));
        std::size_t index = 0;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const std::size_t next = (index + 1) % period;
            const float output = line[index];
            line[index] = (output * blend + line[next] * (1.0f - blend)) * loss;
            index = next;
            const float end = std::min(1.0f, (voice.size() - i) / (0.02f * SAMPLE_RATE));
            voice[i] = output * aVelocity * 1.6f * end;
        }
        return voice;
    }

    std::vector<float> Bell(float aFrequency, float aSeconds, float aVelocity, float aRatio, float anIndex)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float decay = std::exp(-t * 3.0f / aSeconds * 2.0f);
            const float modulator = std::sin(TWO_PI * aFrequency * aRatio * t) * anIndex * decay;
            const float attack = std::min(1.0f, t / 0.003f);
            voice[i] = std::sin(TWO_PI * aFrequency * t + modulator) * decay * attack * aVelocity;
        }
        return voice;
    }

    std::vector<float> Pad(float aFrequency, float aSeconds, float aVelocity, float anAttack, float aCutoff)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        const float release = std::min(1.2f, aSeconds * 0.4f);
        const float hold = aSeconds - release;
        const std::array<float, 3> detune = {0.996f, 1.0f, 1.005f};
        std::array<float, 3> phases = {0.0f, 0.33f, 0.71f};
        Biquad filter(Biquad::Kind::LowPass, aCutoff, 0.8f);
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            float sum = 0.0f;
            for (std::size_t k = 0; k < detune.size(); ++k)
            {
                const float step = aFrequency * detune[k] / SAMPLE_RATE;
                sum += Saw(phases[k], step);
                phases[k] = Wrap(phases[k] + step);
            }
            voice[i] = filter.Process(sum / 3.0f) * Adsr(t, hold, anAttack, 0.3f, 0.8f, release) * aVelocity;
        }
        return voice;
    }

    std::vector<float> Flute(float aFrequency, float aSeconds, float aVelocity, std::uint32_t aSeed)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        NoiseSource noise(aSeed);
        Biquad breath(Biquad::Kind::BandPass, aFrequency * 2.0f, 2.0f);
        const float release = std::min(0.15f, aSeconds * 0.3f);
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float vibrato = 1.0f + 0.006f * std::sin(TWO_PI * 5.2f * t) * std::min(1.0f, t / 0.3f);
            phase = Wrap(phase + aFrequency * vibrato / SAMPLE_RATE);
            const float tone = std::sin(TWO_PI * phase) + 0.2f * std::sin(2.0f * TWO_PI * phase) + 0.08f * std::sin(3.0f * TWO_PI * phase);
            const float envelope = Adsr(t, aSeconds - release, 0.06f, 0.1f, 0.85f, release);
            voice[i] = (tone * 0.8f + breath.Process(noise.Next()) * 0.25f) * envelope * aVelocity;
        }
        return voice;
    }

    std::vector<float> Bowed(float aFrequency, float aSeconds, float aVelocity)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        // A saw through body resonances, bowed in slowly with a delayed vibrato.
        Biquad body1(Biquad::Kind::BandPass, 450.0f, 1.2f);
        Biquad body2(Biquad::Kind::BandPass, 1500.0f, 1.5f);
        Biquad body3(Biquad::Kind::BandPass, 3200.0f, 2.0f);
        Biquad soften(Biquad::Kind::LowPass, 5000.0f, 0.7f);
        const float release = std::min(0.4f, aSeconds * 0.3f);
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float vibrato = 1.0f + 0.01f * std::sin(TWO_PI * 5.5f * t) * SmoothRamp(t, 0.25f, 0.7f);
            const float step = aFrequency * vibrato / SAMPLE_RATE;
            phase = Wrap(phase + step);
            const float raw = Saw(phase, step);
            const float shaped = body1.Process(raw) * 1.4f + body2.Process(raw) * 0.9f + body3.Process(raw) * 0.5f + raw * 0.15f;
            voice[i] = soften.Process(shaped) * Adsr(t, aSeconds - release, 0.25f, 0.2f, 0.85f, release) * aVelocity;
        }
        return voice;
    }

    std::vector<float> Bass(float aFrequency, float aSeconds, float aVelocity)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        Biquad filter(Biquad::Kind::LowPass, aFrequency * 4.0f, 0.9f);
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float step = aFrequency / SAMPLE_RATE;
            phase = Wrap(phase + step);
            const float tone = std::sin(TWO_PI * phase) * 0.8f + Saw(phase, step) * 0.3f;
            voice[i] = filter.Process(tone) * Adsr(t, aSeconds - 0.08f, 0.005f, 0.25f, 0.6f, 0.08f) * aVelocity;
        }
        return voice;
    }

    std::vector<float> Lead(float aFrequency, float aSeconds, float aVelocity)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        Biquad filter(Biquad::Kind::LowPass, std::min(6000.0f, aFrequency * 5.0f), 1.1f);
        float phase = 0.0f;
        float square = 0.0f;
        const float release = std::min(0.12f, aSeconds * 0.3f);
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float step = aFrequency * (1.0f + 0.005f * std::sin(TWO_PI * 6.0f * t)) / SAMPLE_RATE;
            phase = Wrap(phase + step);
            square = Wrap(square + step * 0.5f);
            const float tone = Saw(phase, step) * 0.6f + (square < 0.5f ? 0.25f : -0.25f);
            voice[i] = filter.Process(tone) * Adsr(t, aSeconds - release, 0.01f, 0.15f, 0.7f, release) * aVelocity;
        }
        return voice;
    }

    std::vector<float> Kick(float aVelocity)
    {
        std::vector<float> voice(FramesOf(0.35));
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float frequency = 45.0f + 110.0f * std::exp(-t * 30.0f);
            phase = Wrap(phase + frequency / SAMPLE_RATE);
            voice[i] = std::sin(TWO_PI * phase) * std::exp(-t * 9.0f) * aVelocity;
        }
        return voice;
    }

    std::vector<float> Snare(float aVelocity, std::uint32_t aSeed)
    {
        std::vector<float> voice(FramesOf(0.22));
        NoiseSource noise(aSeed);
        Biquad band(Biquad::Kind::BandPass, 2500.0f, 0.8f);
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float body = std::sin(TWO_PI * 190.0f * t) * std::exp(-t * 30.0f) * 0.5f;
            voice[i] = (band.Process(noise.Next()) * 1.5f * std::exp(-t * 18.0f) + body) * aVelocity;
        }
        return voice;
    }

    std::vector<float> HiHat(float aVelocity, float aSeconds, std::uint32_t aSeed)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        NoiseSource noise(aSeed);
        Biquad high(Biquad::Kind::HighPass, 7000.0f, 0.7f);
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            voice[i] = high.Process(noise.Next()) * std::exp(-t * 6.0f / aSeconds) * aVelocity;
        }
        return voice;
    }

    std::vector<float> NoiseSweep(float aSeconds, float aLow, float aHigh, float aQ, float anAttack, float aRelease, std::uint32_t aSeed)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        NoiseSource noise(aSeed);
        Biquad band(Biquad::Kind::BandPass, aLow, aQ);
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float progress = t / aSeconds;
            if (i % 32 == 0)
            {
                band.Set(Biquad::Kind::BandPass, aLow * std::pow(aHigh / aLow, progress), aQ);
            }
            voice[i] = band.Process(noise.Next()) * Adsr(t, aSeconds - aRelease, anAttack, 0.01f, 1.0f, aRelease);
        }
        return voice;
    }

    std::vector<float> Chirp(float aFrom, float aTo, float aSeconds, float aVelocity, float aDecay)
    {
        std::vector<float> voice(FramesOf(aSeconds));
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float frequency = aFrom * std::pow(aTo / aFrom, t / aSeconds);
            phase = Wrap(phase + frequency / SAMPLE_RATE);
            const float edges = std::min({1.0f, t / 0.004f, (aSeconds - t) / 0.01f});
            voice[i] = std::sin(TWO_PI * phase) * std::exp(-t * aDecay) * edges * aVelocity;
        }
        return voice;
    }

    void Reverb(AudioBuffer& aBuffer, float aWet, float aRoomSize, float aDamping)
    {
        // Comb and all-pass lengths (in samples at 48 kHz), slightly spread between the channels.
        const std::array<std::size_t, 4> combLengths = {1557, 1617, 1491, 1422};
        const std::array<std::size_t, 2> allPassLengths = {556, 441};
        std::vector<std::vector<Comb>> combs(aBuffer.Channels());
        std::vector<std::vector<AllPass>> allPasses(aBuffer.Channels());
        for (int channel = 0; channel < aBuffer.Channels(); ++channel)
        {
            for (const std::size_t length : combLengths)
            {
                combs[channel].emplace_back(length + channel * 23);
            }
            for (const std::size_t length : allPassLengths)
            {
                allPasses[channel].emplace_back(length + channel * 23);
            }
        }
        const float feedback = 0.7f + 0.28f * aRoomSize;
        ProcessFrames(aBuffer, [&](std::size_t aFrame, bool aWrite) {
            float input = 0.0f;
            for (int channel = 0; channel < aBuffer.Channels(); ++channel)
            {
                input += aBuffer.At(aFrame, channel);
            }
            input *= 0.15f / aBuffer.Channels();
            for (int channel = 0; channel < aBuffer.Channels(); ++channel)
            {
                float sum = 0.0f;
                for (Comb& comb : combs[channel])
                {
                    sum += comb.Process(input, feedback, aDamping);
                }
                for (AllPass& allPass : allPasses[channel])
                {
                    sum = allPass.Process(sum);
                }
                if (aWrite)
                {
                    aBuffer.At(aFrame, channel) += sum * aWet;
                }
            }
        });
    }

    void Echo(AudioBuffer& aBuffer, float aDelay, float aFeedback, float aWet)
    {
        const std::size_t delay = std::max<std::size_t>(1, FramesOf(aDelay));
        std::vector<std::vector<float>> lines(aBuffer.Channels(), std::vector<float>(delay, 0.0f));
        std::size_t index = 0;
        ProcessFrames(aBuffer, [&](std::size_t aFrame, bool aWrite) {
            for (int channel = 0; channel < aBuffer.Channels(); ++channel)
            {
                const float delayed = lines[channel][index];
                lines[channel][index] = aBuffer.At(aFrame, channel) + delayed * aFeedback;
                if (aWrite)
                {
                    aBuffer.At(aFrame, channel) += delayed * aWet;
                }
            }
            index = (index + 1) % delay;
        });
    }
}
