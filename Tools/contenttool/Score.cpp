#include "Score.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace ContentTool
{
    namespace
    {
        int Semitone(char aLetter)
        {
            switch (aLetter)
            {
            case 'C': return 0;
            case 'D': return 2;
            case 'E': return 4;
            case 'F': return 5;
            case 'G': return 7;
            case 'A': return 9;
            case 'B': return 11;
            default: throw std::invalid_argument(std::string("bad note letter ") + aLetter);
            }
        }

        // "F#5" -> 78; the octave may be left out (pitch class from octave -1).
        int ParsePitch(const std::string& aName, std::size_t& aLength)
        {
            int pitch = Semitone(aName.at(0));
            aLength = 1;
            if (aLength < aName.size() && (aName[aLength] == '#' || aName[aLength] == 'b'))
            {
                pitch += aName[aLength] == '#' ? 1 : -1;
                ++aLength;
            }
            return pitch;
        }
    }

    std::vector<Note> ParseNotes(const std::string& aLine, float aStartBeat)
    {
        std::vector<Note> notes;
        std::istringstream stream(aLine);
        float beat = aStartBeat;
        for (std::string token; stream >> token;)
        {
            if (token == "|")
            {
                continue;
            }
            const std::size_t slash = token.find('/');
            if (slash == std::string::npos)
            {
                throw std::invalid_argument("note without a length: " + token);
            }
            const float length = std::stof(token.substr(slash + 1));
            if (token[0] != '-')
            {
                std::size_t used = 0;
                const int pitch = ParsePitch(token.substr(0, slash), used);
                const int octave = std::stoi(token.substr(used, slash - used));
                notes.push_back({beat, length, static_cast<float>(12 * (octave + 1) + pitch)});
            }
            beat += length;
        }
        return notes;
    }

    std::vector<int> ChordTones(const std::string& aChord, int anOctave)
    {
        std::size_t used = 0;
        const int root = 12 * (anOctave + 1) + ParsePitch(aChord, used);
        const bool minor = used < aChord.size() && aChord[used] == 'm';
        return {root, root + (minor ? 3 : 4), root + 7};
    }

    Score::Score(float aTempo, float aBeats, bool aLoops)
        : myTempo(aTempo)
        , myBuffer(2, FramesOf(aBeats * 60.0 / aTempo), aLoops)
    {
    }

    std::size_t Score::FrameAt(float aBeat) const
    {
        return FramesOf(aBeat * 60.0 / myTempo);
    }

    void Score::Play(const std::vector<float>& aVoice, float aBeat, float aGain, float aPan)
    {
        myBuffer.Mix(aVoice, FrameAt(aBeat), aGain, aPan);
    }
}
