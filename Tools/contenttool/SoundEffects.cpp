#include "SoundEffects.h"

#include "Noise.h"

#include <cmath>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;

        AudioBuffer Mono(double someSeconds) { return AudioBuffer(1, FramesOf(someSeconds)); }

        AudioBuffer Finish(AudioBuffer& aBuffer, float aPeak = 0.9f)
        {
            aBuffer.Normalise(aPeak);
            if (!aBuffer.Loops())
            {
                aBuffer.FadeEnds(0.002, 0.03);
            }
            return aBuffer;
        }

        // A crunch of snow underfoot: a dull thump and a band of crackling grains.
        std::vector<float> Crunch(float aSeconds, float aBright, std::uint32_t aSeed)
        {
            std::vector<float> voice(FramesOf(aSeconds));
            NoiseSource noise(aSeed);
            Random grains(aSeed + 1u);
            Biquad band(Biquad::Kind::BandPass, 1800.0f * aBright, 0.9f);
            Biquad low(Biquad::Kind::LowPass, 300.0f, 0.7f);
            float crackle = 0.0f;
            for (std::size_t i = 0; i < voice.size(); ++i)
            {
                const float t = static_cast<float>(i) / SAMPLE_RATE;
                const float envelope = std::min(1.0f, t / 0.006f) * std::exp(-t * 7.0f / aSeconds);
                // Sparse grains make the crackle rather than a smooth hiss.
                crackle = grains.Below(100) < 12 ? grains.Range(-1.0f, 1.0f) : crackle * 0.6f;
                const float n = noise.Next();
                voice[i] = (band.Process(n * 0.5f + crackle) * 0.9f + low.Process(n) * 0.8f * std::exp(-t * 25.0f)) * envelope;
            }
            return voice;
        }

        std::vector<float> Scaled(std::vector<float> aVoice, float aGain)
        {
            for (float& sample : aVoice)
            {
                sample *= aGain;
            }
            return aVoice;
        }

        // A bird's call: fast pitch sweeps with a little harmonic buzz.
        std::vector<float> Tweet(float aFrom, float aTo, float aSeconds, float aWarble)
        {
            std::vector<float> voice(FramesOf(aSeconds));
            float phase = 0.0f;
            for (std::size_t i = 0; i < voice.size(); ++i)
            {
                const float t = static_cast<float>(i) / SAMPLE_RATE;
                const float u = t / aSeconds;
                const float frequency = aFrom + (aTo - aFrom) * std::sin(u * PI * 0.5f) + aWarble * std::sin(2.0f * PI * 38.0f * t);
                phase += frequency / SAMPLE_RATE;
                phase -= std::floor(phase);
                const float tone = std::sin(2.0f * PI * phase) + 0.25f * std::sin(4.0f * PI * phase);
                voice[i] = tone * std::sin(PI * u) * std::sin(PI * u);
            }
            return voice;
        }
    }

    AudioBuffer ForestAmbience()
    {
        const double seconds = 24.0;
        AudioBuffer bed(2, FramesOf(seconds), true);
        NoiseSource noise(41u);
        Biquad left(Biquad::Kind::LowPass, 600.0f, 0.7f);
        Biquad right(Biquad::Kind::LowPass, 600.0f, 0.7f);
        for (std::size_t frame = 0; frame < bed.Frames(); ++frame)
        {
            const float t = static_cast<float>(frame) / SAMPLE_RATE;
            // Gusts: slow swells that complete whole cycles in the loop, so it wraps cleanly.
            const float gust = 0.55f + 0.3f * std::sin(2.0f * PI * t * 3.0f / seconds) + 0.15f * std::sin(2.0f * PI * t * 7.0f / seconds + 1.0f);
            if (frame % 64 == 0)
            {
                left.Set(Biquad::Kind::LowPass, 350.0f + 700.0f * gust, 0.8f);
                right.Set(Biquad::Kind::LowPass, 380.0f + 650.0f * gust, 0.8f);
            }
            bed.At(frame, 0) = left.Process(noise.Next()) * gust;
            bed.At(frame, 1) = right.Process(noise.Next()) * gust;
        }
        Random random(42u);
        for (int call = 0; call < 10; ++call)
        {
            const std::size_t at = FramesOf(random.Range(0.0f, static_cast<float>(seconds)));
            const float pitch = random.Range(2600.0f, 4200.0f);
            const float pan = random.Range(-0.9f, 0.9f);
            for (int note = 0; note < 2 + random.Below(3); ++note)
            {
                bed.Mix(Tweet(pitch, pitch * random.Range(1.1f, 1.5f), random.Range(0.06f, 0.14f), 60.0f), at + FramesOf(note * 0.16), 0.05f, pan);
            }
        }
        Reverb(bed, 0.3f, 0.7f, 0.5f);
        bed.Normalise(0.7f);
        return bed;
    }

    AudioBuffer CaveAmbience()
    {
        const double seconds = 24.0;
        AudioBuffer bed(2, FramesOf(seconds), true);
        NoiseSource noise(51u);
        Biquad rumble(Biquad::Kind::LowPass, 90.0f, 0.7f);
        Biquad air(Biquad::Kind::BandPass, 500.0f, 0.6f);
        for (std::size_t frame = 0; frame < bed.Frames(); ++frame)
        {
            const float t = static_cast<float>(frame) / SAMPLE_RATE;
            const float swell = 0.7f + 0.3f * std::sin(2.0f * PI * t * 2.0f / seconds);
            const float low = rumble.Process(noise.Next()) * 3.0f * swell;
            const float draught = air.Process(noise.Next()) * 0.12f * (0.6f + 0.4f * std::sin(2.0f * PI * t * 5.0f / seconds + 2.0f));
            bed.At(frame, 0) = low + draught;
            bed.At(frame, 1) = low - draught;
        }
        Random random(52u);
        for (int drip = 0; drip < 26; ++drip)
        {
            const float pitch = random.Range(1100.0f, 2600.0f);
            bed.Mix(Chirp(pitch, pitch * 0.55f, 0.09f, 1.0f, 30.0f), FramesOf(random.Range(0.0f, static_cast<float>(seconds))), random.Range(0.12f, 0.3f),
                    random.Range(-0.9f, 0.9f));
        }
        Reverb(bed, 0.6f, 0.95f, 0.3f);
        bed.Normalise(0.7f);
        return bed;
    }

    AudioBuffer ButtonClick()
    {
        AudioBuffer sound = Mono(0.25);
        sound.Mix(Bell(1320.0f, 0.22f, 1.0f, 2.0f, 1.2f), 0, 0.6f);
        sound.Mix(NoiseSweep(0.02f, 3000.0f, 5000.0f, 1.0f, 0.001f, 0.015f, 61u), 0, 0.4f);
        return Finish(sound, 0.8f);
    }

    AudioBuffer SnowSteps()
    {
        // Four steps a second apart by a quarter; the walk state loops it while the bird walks.
        AudioBuffer sound(1, FramesOf(1.2), true);
        for (int step = 0; step < 4; ++step)
        {
            sound.Mix(Crunch(0.16f, step % 2 ? 1.1f : 0.9f, 71u + step), FramesOf(step * 0.3), step % 2 ? 0.85f : 1.0f);
        }
        return Finish(sound, 0.8f);
    }

    AudioBuffer JumpWhoosh(int aVariant)
    {
        AudioBuffer sound = Mono(0.35);
        sound.Mix(NoiseSweep(0.3f, 500.0f, 2600.0f, 1.4f, 0.03f, 0.2f, 81u + aVariant), 0, 0.7f);
        sound.Mix(Tweet(aVariant ? 1500.0f : 1250.0f, aVariant ? 2300.0f : 2000.0f, 0.12f, 30.0f), FramesOf(0.01), 0.35f);
        return Finish(sound, 0.8f);
    }

    AudioBuffer DoubleJumpFlap()
    {
        AudioBuffer sound = Mono(0.5);
        for (int flap = 0; flap < 2; ++flap)
        {
            sound.Mix(NoiseSweep(0.12f, 250.0f, 900.0f, 0.9f, 0.01f, 0.08f, 91u + flap), FramesOf(flap * 0.11), 1.0f);
        }
        for (int note = 0; note < 3; ++note)
        {
            sound.Mix(Bell(MidiToFrequency(84.0f + note * 4.0f), 0.25f, 1.0f, 3.0f, 1.0f), FramesOf(0.05 + note * 0.05), 0.25f);
        }
        return Finish(sound, 0.85f);
    }

    AudioBuffer DashWhoosh()
    {
        AudioBuffer sound = Mono(0.45);
        sound.Mix(NoiseSweep(0.42f, 400.0f, 3200.0f, 2.0f, 0.02f, 0.3f, 101u), 0, 1.0f);
        sound.Mix(NoiseSweep(0.3f, 1500.0f, 600.0f, 1.2f, 0.01f, 0.2f, 102u), FramesOf(0.08), 0.5f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer WallScrape()
    {
        AudioBuffer sound = Mono(0.55);
        NoiseSource noise(111u);
        Biquad band(Biquad::Kind::BandPass, 2600.0f, 2.5f);
        Random rough(112u);
        float grain = 1.0f;
        for (std::size_t frame = 0; frame < sound.Frames(); ++frame)
        {
            const float t = static_cast<float>(frame) / SAMPLE_RATE;
            if (frame % 400 == 0)
            {
                grain = rough.Range(0.4f, 1.0f);
            }
            sound.At(frame, 0) = band.Process(noise.Next()) * grain * std::sin(PI * t / 0.55f);
        }
        return Finish(sound, 0.6f);
    }

    AudioBuffer WallKick(int aVariant)
    {
        AudioBuffer sound = Mono(0.4);
        sound.Mix(Crunch(0.12f, 0.7f, 121u + aVariant), 0, 1.0f);
        sound.Mix(NoiseSweep(0.3f, 600.0f, aVariant ? 2800.0f : 2200.0f, 1.5f, 0.02f, 0.2f, 123u + aVariant), FramesOf(0.04), 0.6f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer FacePlant()
    {
        AudioBuffer sound = Mono(0.7);
        sound.Mix(Chirp(140.0f, 45.0f, 0.35f, 1.0f, 8.0f), 0, 1.0f);
        sound.Mix(Crunch(0.3f, 0.8f, 131u), 0, 0.8f);
        // A small comic "bonk" on top.
        sound.Mix(Bell(520.0f, 0.3f, 1.0f, 1.4f, 3.0f), FramesOf(0.01), 0.35f);
        return Finish(sound, 0.9f);
    }

    AudioBuffer SnowLanding(int aVariant)
    {
        AudioBuffer sound = Mono(0.4);
        sound.Mix(Crunch(0.3f, aVariant ? 1.0f : 0.85f, 141u + aVariant), 0, 1.0f);
        sound.Mix(Chirp(110.0f, 55.0f, 0.15f, 1.0f, 18.0f), 0, 0.5f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer BirdSquawk(int aVariant)
    {
        AudioBuffer sound = Mono(0.7);
        const float base = aVariant ? 1700.0f : 1450.0f;
        sound.Mix(Tweet(base, base * 1.6f, 0.14f, 120.0f), 0, 1.0f);
        sound.Mix(Tweet(base * 1.5f, base * 0.9f, 0.18f, 160.0f), FramesOf(0.17), 0.9f);
        if (aVariant)
        {
            sound.Mix(Tweet(base * 1.2f, base * 1.9f, 0.1f, 90.0f), FramesOf(0.4), 0.7f);
        }
        return Finish(sound, 0.85f);
    }

    AudioBuffer DeathCry()
    {
        AudioBuffer sound = Mono(1.1);
        sound.Mix(Tweet(2200.0f, 700.0f, 0.6f, 80.0f), 0, 0.8f);
        sound.Mix(NoiseSweep(0.5f, 1800.0f, 300.0f, 0.8f, 0.01f, 0.4f, 151u), FramesOf(0.35), 0.5f);
        for (int note = 0; note < 3; ++note)
        {
            sound.Mix(Bell(MidiToFrequency(76.0f - note * 5.0f), 0.5f, 1.0f, 2.0f, 1.5f), FramesOf(0.3 + note * 0.18), 0.3f);
        }
        Reverb(sound, 0.3f, 0.6f, 0.4f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer AbilityFanfare()
    {
        AudioBuffer sound = Mono(1.6);
        const float notes[] = {72.0f, 76.0f, 79.0f, 84.0f, 88.0f, 91.0f};
        for (int i = 0; i < 6; ++i)
        {
            sound.Mix(Bell(MidiToFrequency(notes[i]), 0.9f, 1.0f, 3.5f, 1.8f), FramesOf(i * 0.07), 0.5f);
        }
        sound.Mix(NoiseSweep(1.2f, 3000.0f, 9000.0f, 3.0f, 0.1f, 0.8f, 161u), 0, 0.15f);
        Reverb(sound, 0.35f, 0.7f, 0.3f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer CheckpointChime()
    {
        AudioBuffer sound = Mono(1.8);
        for (const float note : {67.0f, 71.0f, 74.0f, 79.0f})
        {
            sound.Mix(Bell(MidiToFrequency(note), 1.6f, 1.0f, 2.0f, 1.4f), FramesOf((note - 67.0f) * 0.012), 0.4f);
        }
        Reverb(sound, 0.4f, 0.8f, 0.3f);
        return Finish(sound, 0.85f);
    }

    AudioBuffer FoxPaws()
    {
        // A gallop: paw falls in groups of three, swelling in and fading out as the fox passes.
        AudioBuffer sound = Mono(3.0);
        Random random(171u);
        for (int stride = 0; stride < 9; ++stride)
        {
            for (int paw = 0; paw < 3; ++paw)
            {
                const double at = stride * 0.32 + paw * 0.07 + random.Range(0.0f, 0.015f);
                const float pass = std::sin(PI * static_cast<float>(at / 3.0));
                sound.Mix(Crunch(0.09f, 0.6f, random.Next()), FramesOf(at), pass * (paw == 2 ? 1.0f : 0.7f));
            }
        }
        return Finish(sound, 0.8f);
    }

    AudioBuffer FoxGrowl()
    {
        AudioBuffer sound = Mono(1.1);
        NoiseSource noise(181u);
        Biquad throat(Biquad::Kind::BandPass, 420.0f, 1.5f);
        Biquad low(Biquad::Kind::LowPass, 900.0f, 0.7f);
        float phase = 0.0f;
        for (std::size_t frame = 0; frame < sound.Frames(); ++frame)
        {
            const float t = static_cast<float>(frame) / SAMPLE_RATE;
            const float frequency = 85.0f + 10.0f * std::sin(2.0f * PI * 3.0f * t);
            phase += frequency / SAMPLE_RATE;
            phase -= std::floor(phase);
            const float rasp = (2.0f * phase - 1.0f) * (0.6f + 0.4f * std::sin(2.0f * PI * 23.0f * t));
            const float envelope = std::min(1.0f, t / 0.15f) * std::min(1.0f, (1.1f - t) / 0.3f);
            sound.At(frame, 0) = low.Process(throat.Process(rasp + noise.Next() * 0.3f) * 2.0f + rasp * 0.3f) * envelope;
        }
        return Finish(sound, 0.9f);
    }

    AudioBuffer FoxBark()
    {
        AudioBuffer sound = Mono(0.8);
        for (int bark = 0; bark < 2; ++bark)
        {
            std::vector<float> voice = Tweet(900.0f - bark * 60.0f, 480.0f, 0.16f, 40.0f);
            Biquad nasal(Biquad::Kind::BandPass, 1300.0f, 1.0f);
            for (float& sample : voice)
            {
                sample = nasal.Process(sample) * 2.5f + sample * 0.5f;
            }
            sound.Mix(voice, FramesOf(bark * 0.3), 1.0f);
            sound.Mix(NoiseSweep(0.12f, 1200.0f, 700.0f, 1.0f, 0.005f, 0.09f, 191u + bark), FramesOf(bark * 0.3), 0.4f);
        }
        return Finish(sound, 0.9f);
    }

    AudioBuffer BeetleBuzz()
    {
        AudioBuffer sound = Mono(1.5);
        Biquad wings(Biquad::Kind::BandPass, 900.0f, 1.2f);
        float phase = 0.0f;
        for (std::size_t frame = 0; frame < sound.Frames(); ++frame)
        {
            const float t = static_cast<float>(frame) / SAMPLE_RATE;
            phase += (170.0f + 8.0f * std::sin(2.0f * PI * 1.3f * t)) / SAMPLE_RATE;
            phase -= std::floor(phase);
            const float beat = 0.6f + 0.4f * std::sin(2.0f * PI * 42.0f * t);
            const float envelope = std::min(1.0f, t / 0.25f) * std::min(1.0f, (1.5f - t) / 0.4f);
            sound.At(frame, 0) = wings.Process(2.0f * phase - 1.0f) * beat * envelope;
        }
        return Finish(sound, 0.6f);
    }

    AudioBuffer BeetleBonk()
    {
        AudioBuffer sound = Mono(0.6);
        sound.Mix(Chirp(700.0f, 240.0f, 0.4f, 1.0f, 6.0f), 0, 0.8f);
        sound.Mix(NoiseSweep(0.05f, 2500.0f, 1500.0f, 1.5f, 0.001f, 0.04f, 201u), 0, 0.6f);
        return Finish(sound, 0.9f);
    }

    AudioBuffer MushroomBoing()
    {
        AudioBuffer sound = Mono(0.8);
        std::vector<float> voice(sound.Frames());
        float phase = 0.0f;
        for (std::size_t i = 0; i < voice.size(); ++i)
        {
            const float t = static_cast<float>(i) / SAMPLE_RATE;
            const float frequency = 260.0f + 300.0f * (1.0f - std::exp(-t * 10.0f)) + 60.0f * std::sin(2.0f * PI * 14.0f * t) * std::exp(-t * 4.0f);
            phase += frequency / SAMPLE_RATE;
            phase -= std::floor(phase);
            voice[i] = std::sin(2.0f * PI * phase) * std::exp(-t * 5.0f) * std::min(1.0f, t / 0.004f);
        }
        sound.Mix(voice, 0, 1.0f);
        sound.Mix(NoiseSweep(0.25f, 800.0f, 2500.0f, 0.8f, 0.005f, 0.2f, 211u), 0, 0.3f);
        return Finish(sound, 0.9f);
    }

    AudioBuffer IceShatter(int aVariant)
    {
        AudioBuffer sound = Mono(1.0);
        Random random(221u + aVariant * 7u);
        for (int shard = 0; shard < 26; ++shard)
        {
            const float pitch = random.Range(2200.0f, 7500.0f);
            sound.Mix(Bell(pitch, random.Range(0.15f, 0.5f), 1.0f, random.Range(1.3f, 2.7f), 0.8f), FramesOf(random.Range(0.0f, 0.25f)), random.Range(0.1f, 0.3f));
        }
        std::vector<float> crack = NoiseSweep(0.2f, 5000.0f, 2000.0f, 0.7f, 0.001f, 0.15f, 231u + aVariant);
        sound.Mix(Scaled(crack, 1.2f), 0, 1.0f);
        Reverb(sound, 0.25f, 0.5f, 0.3f);
        return Finish(sound, 0.9f);
    }
}
