#include "Music.h"

#include "Noise.h"
#include "Score.h"

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace ContentTool
{
    namespace
    {
        using Instrument = std::function<std::vector<float>(float aFrequency, float aSeconds)>;

        std::vector<std::string> Words(const std::string& aLine)
        {
            std::istringstream stream(aLine);
            std::vector<std::string> words;
            for (std::string word; stream >> word;)
            {
                words.push_back(word);
            }
            return words;
        }

        void PlayMelody(Score& aScore, const std::string& aLine, const Instrument& anInstrument, float aGain, float aPan, float aLegato = 1.0f)
        {
            for (const Note& note : ParseNotes(aLine))
            {
                aScore.Play(anInstrument(MidiToFrequency(note.myMidi), aScore.Seconds(note.myBeats * aLegato)), note.myBeat, aGain, aPan);
            }
        }

        // Each chord held for aBeatsEach, its three tones spread across the stereo field.
        void PlayPad(Score& aScore, const std::vector<std::string>& someChords, float aBeatsEach, int anOctave, const Instrument& anInstrument, float aGain)
        {
            for (std::size_t i = 0; i < someChords.size(); ++i)
            {
                const std::vector<int> tones = ChordTones(someChords[i], anOctave);
                for (std::size_t k = 0; k < tones.size(); ++k)
                {
                    aScore.Play(anInstrument(MidiToFrequency(static_cast<float>(tones[k])), aScore.Seconds(aBeatsEach + 0.5f)), i * aBeatsEach, aGain,
                                -0.5f + 0.5f * static_cast<float>(k));
                }
            }
        }

        // Broken chords: aPattern indexes the chord's tones over two octaves, one step per aStep beats.
        void PlayArpeggio(Score& aScore, const std::vector<std::string>& someChords, float aBeatsEach, int anOctave, const std::vector<int>& aPattern,
                          float aStep, const Instrument& anInstrument, float aGain)
        {
            for (std::size_t i = 0; i < someChords.size(); ++i)
            {
                std::vector<int> tones = ChordTones(someChords[i], anOctave);
                for (const int tone : ChordTones(someChords[i], anOctave + 1))
                {
                    tones.push_back(tone);
                }
                const int steps = static_cast<int>(aBeatsEach / aStep);
                for (int step = 0; step < steps; ++step)
                {
                    const int tone = tones[aPattern[step % aPattern.size()] % tones.size()];
                    aScore.Play(anInstrument(MidiToFrequency(static_cast<float>(tone)), aScore.Seconds(aStep * 3.0f)), i * aBeatsEach + step * aStep, aGain,
                                (step % 2 ? 0.3f : -0.3f));
                }
            }
        }

        void PlayRoots(Score& aScore, const std::vector<std::string>& someChords, float aBeatsEach, int anOctave, const std::vector<float>& someBeats,
                       float aLength, float aGain)
        {
            for (std::size_t i = 0; i < someChords.size(); ++i)
            {
                const float root = static_cast<float>(ChordTones(someChords[i], anOctave)[0]);
                for (const float beat : someBeats)
                {
                    aScore.Play(Bass(MidiToFrequency(root), aScore.Seconds(aLength), 1.0f), i * aBeatsEach + beat, aGain);
                }
            }
        }

        Instrument PluckOf(float aBrightness, std::uint32_t aSeed)
        {
            return [aBrightness, aSeed](float aFrequency, float aSeconds) { return Pluck(aFrequency, aSeconds + 0.8f, 1.0f, aBrightness, aSeed); };
        }
        Instrument PadOf(float anAttack, float aCutoff)
        {
            return [anAttack, aCutoff](float aFrequency, float aSeconds) { return Pad(aFrequency, aSeconds, 1.0f, anAttack, aCutoff); };
        }
        Instrument BellOf(float aRatio, float anIndex, float aRing)
        {
            return [aRatio, anIndex, aRing](float aFrequency, float aSeconds) { return Bell(aFrequency, aSeconds + aRing, 1.0f, aRatio, anIndex); };
        }
        Instrument FluteOf(std::uint32_t aSeed)
        {
            return [aSeed](float aFrequency, float aSeconds) { return Flute(aFrequency, aSeconds, 1.0f, aSeed); };
        }

        void Drums(Score& aScore, int aBars, int aFromBar, bool aFourOnTheFloor, float aGain, std::uint32_t aSeed)
        {
            for (int bar = 0; bar < aBars; ++bar)
            {
                const float start = bar * 4.0f;
                for (int beat = 0; beat < 4; ++beat)
                {
                    if (aFourOnTheFloor || beat % 2 == 0)
                    {
                        aScore.Play(Kick(1.0f), start + beat, aGain);
                    }
                    if (bar >= aFromBar && beat % 2 == 1)
                    {
                        aScore.Play(Snare(1.0f, aSeed + bar * 4 + beat), start + beat, aGain * 0.45f, 0.1f);
                    }
                }
                for (int eighth = 0; eighth < 8; ++eighth)
                {
                    aScore.Play(HiHat(eighth % 2 ? 0.6f : 1.0f, 0.06f, aSeed + bar * 8 + eighth), start + eighth * 0.5f, aGain * 0.25f, -0.35f);
                }
            }
        }

        AudioBuffer Finish(Score& aScore, float aReverb, float aRoom)
        {
            AudioBuffer& buffer = aScore.Buffer();
            Reverb(buffer, aReverb, aRoom, 0.4f);
            buffer.Normalise(0.85f);
            return buffer;
        }
    }

    AudioBuffer MainMenuTheme()
    {
        const std::vector<std::string> chords = Words("Dm Bb F C Dm Bb Gm A");
        Score score(84.0f, 32.0f, true);
        PlayPad(score, chords, 4.0f, 3, PadOf(1.0f, 1200.0f), 0.18f);
        PlayArpeggio(score, chords, 4.0f, 3, {0, 2, 3, 4, 5, 4, 3, 2}, 0.5f, PluckOf(0.6f, 1u), 0.35f);
        PlayRoots(score, chords, 4.0f, 2, {0.0f, 2.5f}, 1.5f, 0.35f);
        PlayMelody(score,
                   "A4/1.5 D5/0.5 E5/1 F5/1 | F5/1.5 E5/0.5 D5/2 | C5/1 D5/1 F5/1 A5/1 | G5/3 -/1 | "
                   "A5/1.5 G5/0.5 F5/1 D5/1 | F5/1.5 E5/0.5 D5/1 Bb4/1 | D5/1 C5/1 Bb4/1 G4/1 | A4/3 -/1",
                   BellOf(3.0f, 1.6f, 1.2f), 0.3f, 0.15f);
        return Finish(score, 0.35f, 0.8f);
    }

    AudioBuffer IntroTheme()
    {
        // Ten seconds at 72 beats a minute: three swelling chords under a bell motif and the wind.
        Score score(72.0f, 12.0f, false);
        PlayPad(score, Words("Dm Bb F"), 4.0f, 3, PadOf(1.6f, 1000.0f), 0.22f);
        PlayRoots(score, Words("Dm Bb F"), 4.0f, 2, {0.0f}, 3.5f, 0.3f);
        PlayMelody(score, "D5/2 A4/2 | F5/2 D5/2 | C5/1 A4/1 F5/2", BellOf(3.5f, 2.0f, 2.0f), 0.28f, 0.0f);
        score.Play(NoiseSweep(10.0f, 300.0f, 1400.0f, 1.2f, 3.0f, 4.0f, 7u), 0.0f, 0.08f, -0.4f);
        AudioBuffer buffer = Finish(score, 0.4f, 0.85f);
        buffer.FadeEnds(0.4, 1.8);
        return buffer;
    }

    AudioBuffer ForestTheme()
    {
        const std::vector<std::string> chords = Words("C Am F G C Em F G Am F C G F G C C");
        Score score(112.0f, 64.0f, true);
        PlayPad(score, chords, 4.0f, 3, PadOf(0.5f, 1500.0f), 0.12f);
        PlayArpeggio(score, chords, 4.0f, 4, {0, 1, 2, 3, 2, 1, 2, 4}, 0.5f, PluckOf(0.8f, 2u), 0.3f);
        PlayRoots(score, chords, 4.0f, 2, {0.0f, 2.0f}, 1.6f, 0.4f);
        PlayMelody(score,
                   "E5/1 G5/1 C6/1.5 B5/0.5 | A5/2 E5/2 | F5/1 A5/1 C6/1 A5/1 | G5/3 -/1 | "
                   "E5/1 G5/1 C6/1.5 D6/0.5 | B5/2 G5/2 | A5/1 G5/1 F5/1 A5/1 | G5/2 D5/2 | "
                   "C6/1.5 B5/0.5 A5/1 E5/1 | F5/1 A5/1 C6/2 | G5/1.5 E5/0.5 C5/1 E5/1 | D5/2 G5/2 | "
                   "A5/1 C6/1 A5/1 F5/1 | G5/1 B5/1 D6/1 B5/1 | C6/3 G5/1 | E5/2 -/2",
                   FluteOf(3u), 0.32f, 0.1f, 0.95f);
        Drums(score, 16, 4, false, 0.35f, 11u);
        return Finish(score, 0.22f, 0.6f);
    }

    AudioBuffer CaveTheme()
    {
        const std::vector<std::string> chords = Words("Am Am F F Dm Dm E E");
        Score score(76.0f, 32.0f, true);
        PlayPad(score, chords, 4.0f, 2, PadOf(1.5f, 700.0f), 0.22f);
        PlayRoots(score, chords, 4.0f, 1, {0.0f}, 3.0f, 0.45f);
        PlayMelody(score, "E5/2 -/2 | A5/1 G5/1 E5/2 | F5/3 -/1 | C5/2 A4/2 | D5/2 F5/2 | E5/3 -/1 | B4/2 D5/2 | E5/4",
                   BellOf(2.0f, 1.2f, 2.5f), 0.25f, -0.2f);
        // Drops of water: high notes of the minor pentatonic at repeatable random moments.
        Random random(21u);
        const int drops[] = {69, 72, 74, 76, 79, 81, 84};
        for (int i = 0; i < 22; ++i)
        {
            const float beat = random.Range(0.0f, 32.0f);
            score.Play(Pluck(MidiToFrequency(static_cast<float>(drops[random.Below(7)] + 12)), 0.8f, 1.0f, 0.9f, random.Next()), beat, 0.12f, random.Range(-0.8f, 0.8f));
        }
        return Finish(score, 0.55f, 0.95f);
    }

    AudioBuffer FinalTheme()
    {
        const std::vector<std::string> chords = Words("Em C G D Em C G D C D Em Em C D B B");
        Score score(126.0f, 64.0f, true);
        PlayPad(score, chords, 4.0f, 3, PadOf(0.3f, 2200.0f), 0.13f);
        for (std::size_t bar = 0; bar < chords.size(); ++bar)
        {
            const float root = static_cast<float>(ChordTones(chords[bar], 1)[0]);
            for (int eighth = 0; eighth < 8; ++eighth)
            {
                const float pitch = root + (eighth % 4 == 3 ? 12.0f : 0.0f);
                score.Play(Bass(MidiToFrequency(pitch), score.Seconds(0.45f), 1.0f), bar * 4.0f + eighth * 0.5f, 0.35f);
            }
        }
        PlayMelody(score,
                   "E5/1 G5/1 B5/1.5 A5/0.5 | G5/2 E5/2 | D5/1 G5/1 B5/1 D6/1 | C6/2 A5/2 | "
                   "B5/1 G5/1 E5/1.5 F#5/0.5 | G5/1 A5/1 G5/1 E5/1 | D5/1.5 G5/0.5 B5/2 | A5/3 -/1 | "
                   "E6/2 D6/1 C6/1 | D6/2 A5/2 | B5/1 C6/1 B5/1 G5/1 | E5/3 -/1 | "
                   "G5/1 C6/1 E6/1 C6/1 | F#5/1 A5/1 D6/1 A5/1 | D#6/2 B5/2 | F#5/3 -/1",
                   [](float aFrequency, float aSeconds) { return Lead(aFrequency, aSeconds, 1.0f); }, 0.22f, 0.15f, 0.9f);
        Drums(score, 16, 0, true, 0.4f, 31u);
        return Finish(score, 0.2f, 0.6f);
    }

    AudioBuffer OutroTheme()
    {
        const std::vector<std::string> chords = Words("G D Em C G D C G");
        Score score(76.0f, 32.0f, true);
        PlayPad(score, chords, 4.0f, 3, PadOf(1.0f, 1400.0f), 0.15f);
        PlayArpeggio(score, chords, 4.0f, 3, {0, 2, 4, 3, 5, 3, 4, 2}, 0.5f, PluckOf(0.7f, 4u), 0.32f);
        PlayRoots(score, chords, 4.0f, 2, {0.0f, 2.0f}, 1.8f, 0.3f);
        PlayMelody(score,
                   "B4/1 D5/1 G5/2 | F#5/1 E5/1 D5/2 | E5/1 G5/1 B5/1.5 A5/0.5 | G5/2 E5/2 | "
                   "D5/1 G5/1 B5/1 D6/1 | C6/1.5 B5/0.5 A5/2 | G5/1 E5/1 C5/1 E5/1 | D5/4",
                   FluteOf(5u), 0.3f, 0.1f, 0.95f);
        return Finish(score, 0.35f, 0.8f);
    }

    AudioBuffer SadViolinTheme()
    {
        const std::vector<std::string> chords = Words("Dm Gm Bb A Dm Gm A Dm");
        Score score(60.0f, 32.0f, true);
        PlayPad(score, chords, 4.0f, 3, PadOf(1.5f, 900.0f), 0.18f);
        PlayRoots(score, chords, 4.0f, 2, {0.0f}, 3.8f, 0.3f);
        PlayMelody(score,
                   "A4/2 D5/2 | D5/1.5 C5/0.5 Bb4/2 | F5/2 D5/2 | E5/3 C#5/1 | "
                   "F5/2 A5/2 | G5/1.5 F5/0.5 E5/1 D5/1 | C#5/2 E5/2 | D5/4",
                   [](float aFrequency, float aSeconds) { return Bowed(aFrequency, aSeconds, 1.0f); }, 0.45f, 0.0f);
        return Finish(score, 0.45f, 0.9f);
    }
}
