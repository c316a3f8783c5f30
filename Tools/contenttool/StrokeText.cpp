#include "StrokeText.h"

#include <array>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace ContentTool
{
    namespace
    {
        struct GlyphSource
        {
            char myCharacter;
            float myWidth;
            // "Mx,y" starts a stroke, "Lx,y" continues it, "Acx,cy,rx,ry,from,to" continues it with
            // an elliptic arc (degrees, y up), "Dx,y" is a dot, "|" ends the stroke.
            const char* myPath;
        };

        constexpr float PI = 3.14159265f;

        const std::array GLYPHS = {
            GlyphSource{'A', 4.4f, "M0,0 L2.2,6 L4.4,0 M0.8,2.1 L3.6,2.1"},
            GlyphSource{'B', 4.1f, "M0,0 L0,6 L2.3,6 A2.3,4.55,1.45,1.45,90,-90 L0,3.1 L2.5,3.1 A2.5,1.55,1.55,1.55,90,-90 L0,0"},
            GlyphSource{'C', 4.0f, "A2.4,3,2.4,3,50,310"},
            GlyphSource{'D', 4.4f, "M0,0 L0,6 L1.6,6 A1.6,3,2.8,3,90,-90 L0,0"},
            GlyphSource{'E', 3.6f, "M3.6,6 L0,6 L0,0 L3.6,0 M0,3.1 L2.9,3.1"},
            GlyphSource{'F', 3.5f, "M3.5,6 L0,6 L0,0 M0,3.1 L2.9,3.1"},
            GlyphSource{'G', 4.8f, "A2.4,3,2.4,3,48,335 L4.6,3 L2.8,3"},
            GlyphSource{'H', 4.2f, "M0,0 L0,6 M4.2,0 L4.2,6 M0,3.1 L4.2,3.1"},
            GlyphSource{'I', 0.0f, "M0,0 L0,6"},
            GlyphSource{'J', 3.0f, "M3,6 L3,1.5 A1.5,1.5,1.5,1.5,0,-180"},
            GlyphSource{'K', 4.1f, "M0,0 L0,6 M4,6 L0,2.2 M1.4,3.5 L4.1,0"},
            GlyphSource{'L', 3.4f, "M0,6 L0,0 L3.4,0"},
            GlyphSource{'M', 5.2f, "M0,0 L0,6 L2.6,1.6 L5.2,6 L5.2,0"},
            GlyphSource{'N', 4.2f, "M0,0 L0,6 L4.2,0 L4.2,6"},
            GlyphSource{'O', 5.0f, "A2.5,3,2.5,3,0,360"},
            GlyphSource{'P', 3.9f, "M0,0 L0,6 L2.3,6 A2.3,4.35,1.65,1.65,90,-90 L0,2.7"},
            GlyphSource{'Q', 5.0f, "A2.5,3,2.5,3,0,360 M3,1.3 L5,-0.5"},
            GlyphSource{'R', 4.0f, "M0,0 L0,6 L2.3,6 A2.3,4.35,1.65,1.65,90,-90 L0,2.7 M2.2,2.7 L4,0"},
            GlyphSource{'S', 4.0f, "A2,4.5,1.9,1.5,25,270 A2,1.5,2,1.5,90,-155"},
            GlyphSource{'T', 4.4f, "M0,6 L4.4,6 M2.2,6 L2.2,0"},
            GlyphSource{'U', 4.2f, "M0,6 L0,2.1 A2.1,2.1,2.1,2.1,180,360 L4.2,6"},
            GlyphSource{'V', 4.4f, "M0,6 L2.2,0 L4.4,6"},
            GlyphSource{'W', 6.0f, "M0,6 L1.5,0 L3,4.6 L4.5,0 L6,6"},
            GlyphSource{'X', 4.2f, "M0,0 L4.2,6 M0,6 L4.2,0"},
            GlyphSource{'Y', 4.4f, "M0,6 L2.2,3 L4.4,6 M2.2,3 L2.2,0"},
            GlyphSource{'Z', 4.0f, "M0.2,6 L4,6 L0,0 L4,0"},
            GlyphSource{'0', 4.0f, "A2,3,2,3,0,360"},
            GlyphSource{'1', 3.2f, "M0.2,4.8 L1.6,6 L1.6,0 M0,0 L3.2,0"},
            GlyphSource{'2', 4.0f, "A2,4,1.9,1.9,160,-20 L0,0 L4,0"},
            GlyphSource{'3', 4.0f, "A2,4.55,1.8,1.45,150,-90 A2,1.55,2,1.55,90,-150"},
            GlyphSource{'4', 4.2f, "M3.2,0 L3.2,6 L0,1.9 L4.2,1.9"},
            GlyphSource{'5', 4.0f, "M3.8,6 L0.5,6 L0.3,3.3 A1.95,1.95,2,1.95,130,-145"},
            GlyphSource{'6', 4.0f, "A2,1.9,2,1.9,0,360 | A4.1,1.9,4.1,4.1,180,100"},
            GlyphSource{'7', 4.0f, "M0,6 L4,6 L1.3,0"},
            GlyphSource{'8', 4.0f, "A2,4.6,1.7,1.4,0,360 | A2,1.6,2,1.6,0,360"},
            GlyphSource{'9', 4.0f, "A2,4.1,2,1.9,0,360 | A-0.1,4.1,4.1,4.1,0,-80"},
            GlyphSource{'.', 0.0f, "D0,0"},
            GlyphSource{',', 0.5f, "M0.5,0.3 L0,-1"},
            GlyphSource{'!', 0.0f, "M0,6 L0,1.9 | D0,0"},
            GlyphSource{'?', 3.6f, "A1.8,4.3,1.8,1.7,160,-60 L1.8,1.9 | D1.8,0"},
            GlyphSource{'\'', 0.0f, "M0,6 L0,4.5"},
            GlyphSource{'-', 2.6f, "M0,2.9 L2.6,2.9"},
            GlyphSource{':', 0.0f, "D0,0.2 | D0,3.6"},
            GlyphSource{'/', 3.0f, "M0,-0.4 L3,6.4"},
            GlyphSource{'\xB7', 0.0f, "D0,3"}, // middle dot (Latin-1)
            GlyphSource{' ', 1.6f, ""},
        };

        const GlyphSource* FindGlyph(char aCharacter)
        {
            for (const GlyphSource& glyph : GLYPHS)
            {
                if (glyph.myCharacter == aCharacter)
                {
                    return &glyph;
                }
            }
            return nullptr;
        }

        // The glyph's strokes in glyph units (y up), as segments between consecutive points.
        std::vector<std::pair<Vec2, Vec2>> GlyphSegments(const GlyphSource& aGlyph)
        {
            std::vector<std::pair<Vec2, Vec2>> segments;
            std::istringstream stream(aGlyph.myPath);
            bool hasPoint = false;
            Vec2 current;
            const auto lineTo = [&](Vec2 aPoint) {
                if (hasPoint)
                {
                    segments.emplace_back(current, aPoint);
                }
                current = aPoint;
                hasPoint = true;
            };
            for (std::string token; stream >> token;)
            {
                if (token == "|")
                {
                    hasPoint = false;
                    continue;
                }
                const std::string command = token.substr(0, 1);
                std::vector<float> values;
                std::istringstream list(token.substr(1));
                for (std::string value; std::getline(list, value, ',');)
                {
                    values.push_back(std::stof(value));
                }
                if (values.size() != (command == "A" ? 6u : 2u))
                {
                    throw std::logic_error("bad glyph path step " + token);
                }
                if (command == "M" || command == "D")
                {
                    current = {values[0], values[1]};
                    hasPoint = true;
                    if (command == "D")
                    {
                        segments.emplace_back(current, current);
                        hasPoint = false;
                    }
                }
                else if (command == "L")
                {
                    lineTo({values[0], values[1]});
                }
                else if (command == "A")
                {
                    const float from = values[4] * PI / 180.0f;
                    const float to = values[5] * PI / 180.0f;
                    const int steps = std::max(4, static_cast<int>(std::abs(to - from) / (PI / 16.0f)));
                    for (int i = 0; i <= steps; ++i)
                    {
                        const float angle = from + (to - from) * i / steps;
                        lineTo({values[0] + values[2] * std::cos(angle), values[1] + values[3] * std::sin(angle)});
                    }
                }
                else
                {
                    throw std::logic_error(std::string("bad glyph path command ") + command);
                }
            }
            return segments;
        }
    }

    StrokeText::StrokeText(const std::string& aText, float aCapHeight, float aStrokeWidth, float aTracking, float aSlant)
        : myRadius(aStrokeWidth * 0.5f)
    {
        const float unit = aCapHeight / 6.0f;
        const float radiusUnits = myRadius / unit;
        // Descending strokes (',', 'Q') reach below the baseline; the box keeps room for them.
        myDescent = unit;
        float penX = myRadius + std::max(0.0f, -aSlant) * 6.0f * unit;
        for (const char character : aText)
        {
            const GlyphSource* source = FindGlyph(character);
            if (source == nullptr)
            {
                throw std::invalid_argument(std::string("no glyph for '") + character + "' in \"" + aText + "\"");
            }
            PlacedGlyph glyph;
            glyph.myMin = {1e30f, 1e30f};
            glyph.myMax = {-1e30f, -1e30f};
            for (const auto& [a, b] : GlyphSegments(*source))
            {
                const auto place = [&](Vec2 aPoint) {
                    return Vec2{penX + (aPoint.x + aPoint.y * aSlant) * unit, myRadius + (6.0f - aPoint.y) * unit};
                };
                const Segment segment{place(a), place(b)};
                glyph.myMin = {std::min({glyph.myMin.x, segment.a.x, segment.b.x}), std::min({glyph.myMin.y, segment.a.y, segment.b.y})};
                glyph.myMax = {std::max({glyph.myMax.x, segment.a.x, segment.b.x}), std::max({glyph.myMax.y, segment.a.y, segment.b.y})};
                glyph.mySegments.push_back(segment);
            }
            if (!glyph.mySegments.empty())
            {
                glyph.myMin = glyph.myMin - Vec2{myRadius, myRadius};
                glyph.myMax = glyph.myMax + Vec2{myRadius, myRadius};
                myGlyphs.push_back(std::move(glyph));
            }
            penX += (source->myWidth + 2.0f * radiusUnits + aTracking) * unit;
        }
        float right = 0.0f;
        for (const PlacedGlyph& glyph : myGlyphs)
        {
            right = std::max(right, glyph.myMax.x);
        }
        myWidth = right;
        myHeight = aCapHeight + 2.0f * myRadius + myDescent;
    }

    bool StrokeText::HasGlyph(char aCharacter)
    {
        return FindGlyph(aCharacter) != nullptr;
    }

    void StrokeText::CentreAt(Vec2 aCentre)
    {
        // The cap box, not the descent, is what the eye centres.
        myOrigin = aCentre - Vec2{myWidth * 0.5f, (myHeight - myDescent) * 0.5f};
    }

    float StrokeText::Distance(Vec2 p) const
    {
        const Vec2 local = p - myOrigin;
        float best = 1e30f;
        for (const PlacedGlyph& glyph : myGlyphs)
        {
            // A glyph whose box lies further away than the best so far cannot be closer.
            const float dx = std::max({glyph.myMin.x - local.x, 0.0f, local.x - glyph.myMax.x});
            const float dy = std::max({glyph.myMin.y - local.y, 0.0f, local.y - glyph.myMax.y});
            if (dx * dx + dy * dy > best * best)
            {
                continue;
            }
            for (const Segment& segment : glyph.mySegments)
            {
                const Vec2 ab = segment.b - segment.a;
                const Vec2 ap = local - segment.a;
                const float lengthSquared = Dot(ab, ab);
                const float t = lengthSquared > 0.0f ? Clamp01(Dot(ap, ab) / lengthSquared) : 0.0f;
                best = std::min(best, Length(ap - ab * t));
            }
        }
        return best - myRadius;
    }
}
