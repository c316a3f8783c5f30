#pragma once
#include "Synth.h"

#include <string>
#include <vector>

namespace ContentTool
{
    struct Note
    {
        float myBeat;
        float myBeats;
        float myMidi;
    };

    // Parses "E5/1 G5/0.5 -/2 | ..." (note name with octave, '/' length in beats; '-' rests; '|'
    // only marks bars for the reader) into notes from aStartBeat.
    std::vector<Note> ParseNotes(const std::string& aLine, float aStartBeat = 0.0f);
    // The MIDI notes of a chord named like "C", "Am", "F#m", "Bb" (major or minor triad) from anOctave.
    std::vector<int> ChordTones(const std::string& aChord, int anOctave);

    // A piece of music being rendered: a buffer of a whole number of beats at a tempo.
    class Score
    {
    public:
        Score(float aTempo, float aBeats, bool aLoops);

        std::size_t FrameAt(float aBeat) const;
        float Seconds(float aBeats) const { return aBeats * 60.0f / myTempo; }
        void Play(const std::vector<float>& aVoice, float aBeat, float aGain, float aPan = 0.0f);
        AudioBuffer& Buffer() { return myBuffer; }

    private:
        float myTempo;
        AudioBuffer myBuffer;
    };
}
