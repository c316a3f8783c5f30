#include "fbx/impl/AsciiParser.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace Vra::Fbx
{
    namespace
    {
        constexpr int MAX_DEPTH = 64;

        bool IsWordChar(char aCharacter)
        {
            const unsigned char c = static_cast<unsigned char>(aCharacter);
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '|' ||
                   c == '-' || c == '+' || c == '.' || c >= 0x80;
        }

        class AsciiReader
        {
        public:
            AsciiReader(const char* aText, size_t aSize, std::string& anError) : myText(aText), mySize(aSize), myError(anError) {}

            bool ParseFile(Record& aRoot) { return ParseRecords(aRoot, false, 0); }

        private:
            bool Fail(const std::string& aWhat)
            {
                myError = "Malformed ASCII FBX at line " + std::to_string(myLine) + ": " + aWhat;
                return false;
            }

            bool AtEnd() const { return myPosition >= mySize; }
            char Peek() const { return AtEnd() ? '\0' : myText[myPosition]; }

            // Spaces and tabs only; with aLines also line breaks and comments.
            void SkipSpace(bool aLines)
            {
                while (!AtEnd())
                {
                    const char c = myText[myPosition];
                    if (c == ' ' || c == '\t' || c == '\r')
                    {
                        ++myPosition;
                    }
                    else if (aLines && c == '\n')
                    {
                        ++myLine;
                        ++myPosition;
                    }
                    else if (c == ';')
                    {
                        while (!AtEnd() && myText[myPosition] != '\n')
                        {
                            ++myPosition;
                        }
                        if (!aLines)
                        {
                            return;
                        }
                    }
                    else
                    {
                        return;
                    }
                }
            }

            bool ParseRecords(Record& aParent, bool anInBraces, int aDepth)
            {
                if (aDepth > MAX_DEPTH)
                {
                    return Fail("records nested too deeply");
                }
                while (true)
                {
                    SkipSpace(true);
                    if (AtEnd())
                    {
                        return anInBraces ? Fail("a '{' is never closed") : true;
                    }
                    if (Peek() == '}')
                    {
                        if (!anInBraces)
                        {
                            return Fail("'}' without '{'");
                        }
                        ++myPosition;
                        return true;
                    }
                    Record record;
                    if (!ParseRecord(record, aDepth))
                    {
                        return false;
                    }
                    aParent.myChildren.push_back(std::move(record));
                }
            }

            bool ParseRecord(Record& aRecord, int aDepth)
            {
                const size_t start = myPosition;
                while (!AtEnd() && IsWordChar(Peek()))
                {
                    ++myPosition;
                }
                if (myPosition == start || Peek() != ':')
                {
                    return Fail("expected a record name followed by ':'");
                }
                aRecord.myName.assign(myText + start, myPosition - start);
                ++myPosition;
                SkipSpace(false);
                if (StartsValue())
                {
                    if (!ParseValueList(aRecord))
                    {
                        return false;
                    }
                }
                // Children may open on the same line or the next.
                const size_t before = myPosition;
                const int lineBefore = myLine;
                SkipSpace(true);
                if (Peek() == '{')
                {
                    ++myPosition;
                    return ParseRecords(aRecord, true, aDepth + 1);
                }
                myPosition = before;
                myLine = lineBefore;
                return true;
            }

            bool StartsValue() const
            {
                const char c = Peek();
                if (c == '"' || c == '*')
                {
                    return true;
                }
                if (!IsWordChar(c))
                {
                    return false;
                }
                // A bare word followed by ':' is the next record's name, not a value.
                size_t at = myPosition;
                while (at < mySize && IsWordChar(myText[at]))
                {
                    ++at;
                }
                return at >= mySize || myText[at] != ':';
            }

            bool ParseValueList(Record& aRecord)
            {
                while (true)
                {
                    RecordValue value;
                    if (Peek() == '*')
                    {
                        if (!ParseArray(value))
                        {
                            return false;
                        }
                    }
                    else if (!ParseScalar(value))
                    {
                        return false;
                    }
                    aRecord.myValues.push_back(std::move(value));
                    SkipSpace(false);
                    if (Peek() != ',')
                    {
                        return true;
                    }
                    ++myPosition;
                    SkipSpace(true);
                }
            }

            bool ParseScalar(RecordValue& aValue)
            {
                if (Peek() == '"')
                {
                    ++myPosition;
                    const size_t start = myPosition;
                    while (!AtEnd() && Peek() != '"')
                    {
                        myLine += Peek() == '\n' ? 1 : 0;
                        ++myPosition;
                    }
                    if (AtEnd())
                    {
                        return Fail("a string is never closed");
                    }
                    aValue.myType = RecordValue::Type::String;
                    aValue.myString = Unescape(std::string_view(myText + start, myPosition - start));
                    ++myPosition;
                    return true;
                }
                const size_t start = myPosition;
                while (!AtEnd() && IsWordChar(Peek()))
                {
                    ++myPosition;
                }
                if (myPosition == start)
                {
                    return Fail("expected a value");
                }
                const std::string_view word(myText + start, myPosition - start);
                if (ParseNumber(word, aValue))
                {
                    return true;
                }
                // Bare words ("T", "Y") are text.
                aValue.myType = RecordValue::Type::String;
                aValue.myString = std::string(word);
                return true;
            }

            static bool ParseNumber(std::string_view aWord, RecordValue& aValue)
            {
                const char* begin = aWord.data();
                const char* end = aWord.data() + aWord.size();
                if (begin < end && *begin == '+')
                {
                    ++begin;
                }
                const bool looksReal = aWord.find_first_of(".eE") != std::string_view::npos;
                if (!looksReal)
                {
                    int64_t integer = 0;
                    const auto result = std::from_chars(begin, end, integer);
                    if (result.ec == std::errc() && result.ptr == end)
                    {
                        aValue.myType = RecordValue::Type::Integer;
                        aValue.myInteger = integer;
                        return true;
                    }
                }
                double number = 0.0;
                const auto result = std::from_chars(begin, end, number);
                if (result.ec == std::errc() && result.ptr == end)
                {
                    aValue.myType = RecordValue::Type::Number;
                    aValue.myNumber = number;
                    return true;
                }
                return false;
            }

            static std::string Unescape(std::string_view aText)
            {
                std::string result;
                result.reserve(aText.size());
                for (size_t at = 0; at < aText.size(); ++at)
                {
                    if (aText.substr(at, 6) == "&quot;")
                    {
                        result += '"';
                        at += 5;
                    }
                    else
                    {
                        result += aText[at];
                    }
                }
                return result;
            }

            // "*N { a: v, v, ... }": exactly N numbers.
            bool ParseArray(RecordValue& aValue)
            {
                ++myPosition;
                const size_t start = myPosition;
                while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
                {
                    ++myPosition;
                }
                uint64_t count = 0;
                const auto result = std::from_chars(myText + start, myText + myPosition, count);
                if (myPosition == start || result.ec != std::errc())
                {
                    return Fail("expected an array length after '*'");
                }
                SkipSpace(true);
                if (Peek() != '{')
                {
                    return Fail("expected '{' after an array length");
                }
                ++myPosition;
                SkipSpace(true);
                if (Peek() != 'a' || myPosition + 1 >= mySize || myText[myPosition + 1] != ':')
                {
                    return Fail("expected 'a:' in an array");
                }
                myPosition += 2;
                SkipSpace(true);
                std::vector<double> numbers;
                std::vector<int64_t> integers;
                bool allIntegers = true;
                while (Peek() != '}')
                {
                    RecordValue element;
                    const size_t wordStart = myPosition;
                    while (!AtEnd() && IsWordChar(Peek()))
                    {
                        ++myPosition;
                    }
                    if (!ParseNumber(std::string_view(myText + wordStart, myPosition - wordStart), element))
                    {
                        return Fail("an array holds something that is not a number");
                    }
                    if (numbers.size() >= count)
                    {
                        return Fail("an array holds more than its " + std::to_string(count) + " elements");
                    }
                    allIntegers = allIntegers && element.myType == RecordValue::Type::Integer;
                    numbers.push_back(element.AsDouble());
                    if (allIntegers)
                    {
                        integers.push_back(element.myInteger);
                    }
                    SkipSpace(true);
                    if (Peek() == ',')
                    {
                        ++myPosition;
                        SkipSpace(true);
                    }
                    else if (Peek() != '}')
                    {
                        return Fail(AtEnd() ? "an array is never closed" : "expected ',' or '}' in an array");
                    }
                }
                ++myPosition;
                if (numbers.size() != count)
                {
                    return Fail("an array holds " + std::to_string(numbers.size()) + " elements, not " + std::to_string(count));
                }
                if (allIntegers)
                {
                    aValue.myType = RecordValue::Type::IntegerArray;
                    aValue.myIntegers = std::move(integers);
                }
                else
                {
                    aValue.myType = RecordValue::Type::NumberArray;
                    aValue.myNumbers = std::move(numbers);
                }
                return true;
            }

            const char* myText;
            size_t mySize;
            std::string& myError;
            size_t myPosition = 0;
            int myLine = 1;
        };
    }

    bool ParseAscii(const char* aText, size_t aSize, Record& aRoot, std::string& anError)
    {
        AsciiReader reader(aText, aSize, anError);
        return reader.ParseFile(aRoot);
    }
}
