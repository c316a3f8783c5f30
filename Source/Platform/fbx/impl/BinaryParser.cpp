#include "fbx/impl/BinaryParser.h"

#include "window/SystemServices.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <limits>
#include <numeric>
#include <thread>
#include <type_traits>

namespace Vra::Fbx
{
    namespace
    {
        constexpr size_t HEADER_SIZE = 27;
        constexpr int MAX_DEPTH = 64;
        // Deflate cannot shrink data by more than about 1032 to 1; a larger claimed size is a lie.
        constexpr uint64_t MAX_DEFLATE_RATIO = 1032;
        constexpr uint64_t MAX_ARRAY_BYTES = uint64_t(1) << 31;
        // Deflated arrays are inflated after the records are walked, on a few threads once there
        // is this much to inflate: below it a thread costs more than it saves.
        constexpr uint64_t PARALLEL_INFLATE_BYTES = 512 * 1024;
        constexpr int MAX_INFLATE_THREADS = 4;

        // True only when the stream ends exactly after anOutputSize bytes.
        bool Inflate(const unsigned char* anInput, uint64_t anInputSize, unsigned char* anOutput, uint64_t anOutputSize)
        {
            z_stream stream{};
            if (inflateInit(&stream) != Z_OK)
            {
                return false;
            }
            stream.next_in = const_cast<Bytef*>(anInput);
            stream.avail_in = static_cast<uInt>(anInputSize);
            unsigned char spare = 0;
            stream.next_out = anOutputSize > 0 ? anOutput : &spare;
            stream.avail_out = static_cast<uInt>(anOutputSize);
            int result = inflate(&stream, Z_FINISH);
            const bool filled = stream.total_out == anOutputSize;
            if (result == Z_BUF_ERROR && filled && stream.avail_out == 0)
            {
                // Output full: the stream must end here, with nothing more to give.
                stream.next_out = &spare;
                stream.avail_out = 1;
                result = inflate(&stream, Z_FINISH);
                if (stream.total_out != anOutputSize)
                {
                    result = Z_DATA_ERROR;
                }
            }
            inflateEnd(&stream);
            return result == Z_STREAM_END && stream.total_out == anOutputSize;
        }

        // Elements stored narrower than the record keeps them (64-bit integers, doubles) are read at
        // their file width into the front of the array and widened in place from the back, so no
        // second copy of the array is made.
        template <typename T, typename Stored>
        void Widen(unsigned char* someBytes, uint64_t aCount)
        {
            if constexpr (sizeof(T) != sizeof(Stored))
            {
                Stored* target = reinterpret_cast<Stored*>(someBytes);
                for (size_t index = static_cast<size_t>(aCount); index-- > 0;)
                {
                    T element;
                    std::memcpy(&element, someBytes + index * sizeof(T), sizeof(T));
                    target[index] = static_cast<Stored>(element);
                }
            }
        }

        // A deflated array whose elements are still to come: the record's array is sized (its buffer
        // stays where it is while the records move into their parents).
        struct DeflatedArray
        {
            const unsigned char* myInput = nullptr;
            uint64_t myInputSize = 0;
            unsigned char* myOutput = nullptr;
            uint64_t myOutputSize = 0;
            uint64_t myCount = 0;
            void (*myWiden)(unsigned char*, uint64_t) = nullptr;
            uint64_t myOffset = 0; // of the array's header, for the message
            bool myFailed = false;

            void Run()
            {
                myFailed = !Inflate(myInput, myInputSize, myOutput, myOutputSize);
                if (!myFailed)
                {
                    myWiden(myOutput, myCount);
                }
            }
        };

        // Inflates every array, largest first, on the calling thread and as many more as help.
        void InflateAll(std::vector<DeflatedArray>& someArrays)
        {
            const uint64_t total = std::accumulate(someArrays.begin(), someArrays.end(), uint64_t(0),
                                                   [](uint64_t aSum, const DeflatedArray& anArray) { return aSum + anArray.myInputSize; });
            std::vector<size_t> order(someArrays.size());
            std::iota(order.begin(), order.end(), size_t(0));
            std::sort(order.begin(), order.end(), [&](size_t aLeft, size_t aRight) {
                return someArrays[aLeft].myOutputSize > someArrays[aRight].myOutputSize;
            });
            std::atomic<size_t> next{ 0 };
            const auto work = [&] {
                for (size_t at = next++; at < order.size(); at = next++)
                {
                    someArrays[order[at]].Run();
                }
            };
            const int threads = total < PARALLEL_INFLATE_BYTES
                                    ? 1
                                    : std::min({ Platform::GetUsableProcessorCount(), MAX_INFLATE_THREADS, static_cast<int>(someArrays.size()) });
            std::vector<std::thread> helpers;
            try
            {
                for (int helper = 1; helper < threads; ++helper)
                {
                    helpers.emplace_back(work);
                }
            }
            catch (const std::exception&)
            {
                // No thread to be had (a tight address-space limit): the ones there do the rest.
            }
            work();
            for (std::thread& helper : helpers)
            {
                helper.join();
            }
        }

        class BinaryReader
        {
        public:
            BinaryReader(const unsigned char* someBytes, size_t aSize, std::string& anError, bool aReadGeometry)
                : myBytes(someBytes), mySize(aSize), myError(anError), myReadsGeometry(aReadGeometry)
            {
            }

            // The records, then every deflated array. A bad array is reported as the first problem
            // in the file would be: before any problem of the records that come after it.
            bool ParseFile(Record& aRoot)
            {
                const bool walked = WalkFile(aRoot);
                if (walked)
                {
                    InflateAll(myDeflated);
                }
                else
                {
                    // The records that held these arrays are gone with the failed walk; each is
                    // inflated into scratch, only to learn whether it was sound.
                    std::vector<unsigned char> scratch;
                    for (DeflatedArray& array : myDeflated)
                    {
                        scratch.resize(static_cast<size_t>(array.myOutputSize));
                        array.myFailed = !Inflate(array.myInput, array.myInputSize, scratch.data(), array.myOutputSize);
                        if (array.myFailed)
                        {
                            break;
                        }
                    }
                }
                for (const DeflatedArray& array : myDeflated)
                {
                    if (array.myFailed)
                    {
                        return Fail(array.myOffset, "bad deflate data or wrong array length");
                    }
                }
                return walked;
            }

        private:
            bool WalkFile(Record& aRoot)
            {
                const uint32_t version = ReadU32(23);
                myLongHeaders = version >= 7500;
                uint64_t position = HEADER_SIZE;
                while (position < mySize)
                {
                    bool isNull = false;
                    Record record;
                    if (mySize - position < RecordHeaderSize())
                    {
                        // Some writers end the file with a short run of zeros instead of a full
                        // closing record; anything else there is a record cut off.
                        for (uint64_t at = position; at < mySize; ++at)
                        {
                            if (myBytes[at] != 0)
                            {
                                return Fail(position, "record header cut off");
                            }
                        }
                        return true;
                    }
                    if (!ReadRecord(position, mySize, 0, record, isNull, false))
                    {
                        return false;
                    }
                    if (isNull)
                    {
                        return true;
                    }
                    aRoot.myChildren.push_back(std::move(record));
                }
                return true;
            }

            size_t RecordHeaderSize() const { return myLongHeaders ? 25 : 13; }

            bool Fail(uint64_t anOffset, const std::string& aWhat)
            {
                myError = "Malformed binary FBX at byte " + std::to_string(anOffset) + ": " + aWhat;
                return false;
            }

            uint32_t ReadU32(uint64_t anOffset) const
            {
                uint32_t value = 0;
                std::memcpy(&value, myBytes + anOffset, sizeof(value));
                return value;
            }

            uint64_t ReadU64(uint64_t anOffset) const
            {
                uint64_t value = 0;
                std::memcpy(&value, myBytes + anOffset, sizeof(value));
                return value;
            }

            uint64_t ReadOffset(uint64_t anOffset) const { return myLongHeaders ? ReadU64(anOffset) : ReadU32(anOffset); }

            // aPosition moves past the record. aLimit is where the enclosing record ends. Arrays are
            // stepped over in a geometry record when geometry is not read (anIsInGeometry).
            bool ReadRecord(uint64_t& aPosition, uint64_t aLimit, int aDepth, Record& aRecord, bool& anIsNull, bool anIsInGeometry)
            {
                const uint64_t start = aPosition;
                const size_t headerSize = RecordHeaderSize();
                if (aLimit - start < headerSize)
                {
                    return Fail(start, "record header cut off");
                }
                const size_t word = myLongHeaders ? 8 : 4;
                const uint64_t endOffset = ReadOffset(start);
                const uint64_t propertyCount = ReadOffset(start + word);
                const uint64_t propertyBytes = ReadOffset(start + 2 * word);
                const uint8_t nameLength = myBytes[start + 3 * word];
                if (endOffset == 0 && propertyCount == 0 && propertyBytes == 0 && nameLength == 0)
                {
                    anIsNull = true;
                    aPosition = start + headerSize;
                    return true;
                }
                anIsNull = false;
                if (aDepth >= MAX_DEPTH)
                {
                    return Fail(start, "records nested too deeply");
                }
                const uint64_t nameStart = start + headerSize;
                if (endOffset > aLimit || endOffset < nameStart || endOffset - nameStart < nameLength ||
                    endOffset - nameStart - nameLength < propertyBytes)
                {
                    return Fail(start, "record end offset " + std::to_string(endOffset) + " outside its bounds");
                }
                if (propertyCount > propertyBytes)
                {
                    return Fail(start, "more properties than property bytes");
                }
                aRecord.myName.assign(reinterpret_cast<const char*>(myBytes + nameStart), nameLength);
                const bool skipsArrays = anIsInGeometry || (!myReadsGeometry && aDepth == 1 && aRecord.myName == "Geometry");
                uint64_t position = nameStart + nameLength;
                const uint64_t propertiesEnd = position + propertyBytes;
                // Each value takes at least two bytes, so the list's length bounds what is reserved.
                aRecord.myValues.reserve(static_cast<size_t>(std::min(propertyCount, propertyBytes / 2)));
                for (uint64_t index = 0; index < propertyCount; ++index)
                {
                    RecordValue value;
                    if (!ReadValue(position, propertiesEnd, value, skipsArrays))
                    {
                        return false;
                    }
                    aRecord.myValues.push_back(std::move(value));
                }
                if (position != propertiesEnd)
                {
                    return Fail(position, "property list length does not match its properties");
                }
                while (position < endOffset)
                {
                    Record child;
                    bool childIsNull = false;
                    if (!ReadRecord(position, endOffset, aDepth + 1, child, childIsNull, skipsArrays))
                    {
                        return false;
                    }
                    if (childIsNull)
                    {
                        break;
                    }
                    aRecord.myChildren.push_back(std::move(child));
                }
                aPosition = endOffset;
                return true;
            }

            bool Need(uint64_t aPosition, uint64_t anEnd, uint64_t aCount)
            {
                if (aPosition > anEnd || anEnd - aPosition < aCount)
                {
                    return Fail(aPosition, "property runs past the end of its record");
                }
                return true;
            }

            template <typename T>
            T Read(uint64_t anOffset) const
            {
                T value;
                std::memcpy(&value, myBytes + anOffset, sizeof(T));
                return value;
            }

            bool ReadValue(uint64_t& aPosition, uint64_t anEnd, RecordValue& aValue, bool aSkipsArrays)
            {
                if (!Need(aPosition, anEnd, 1))
                {
                    return false;
                }
                const char type = static_cast<char>(myBytes[aPosition]);
                const uint64_t at = aPosition + 1;
                switch (type)
                {
                case 'Y': return Scalar<int16_t>(aPosition, anEnd, aValue);
                case 'C': return Scalar<uint8_t>(aPosition, anEnd, aValue);
                case 'I': return Scalar<int32_t>(aPosition, anEnd, aValue);
                case 'L': return Scalar<int64_t>(aPosition, anEnd, aValue);
                case 'F': return Scalar<float>(aPosition, anEnd, aValue);
                case 'D': return Scalar<double>(aPosition, anEnd, aValue);
                case 'S':
                case 'R':
                {
                    if (!Need(at, anEnd, 4))
                    {
                        return false;
                    }
                    const uint32_t length = ReadU32(at);
                    if (!Need(at + 4, anEnd, length))
                    {
                        return false;
                    }
                    aValue.myType = RecordValue::Type::String;
                    aValue.myString.assign(reinterpret_cast<const char*>(myBytes + at + 4), length);
                    aPosition = at + 4 + length;
                    return true;
                }
                case 'f':
                case 'd': return aSkipsArrays ? SkipArray(aPosition, anEnd, aValue, RecordValue::Type::NumberArray)
                                              : type == 'f' ? Array<float>(aPosition, anEnd, aValue) : Array<double>(aPosition, anEnd, aValue);
                case 'i':
                case 'l':
                case 'b':
                    if (aSkipsArrays)
                    {
                        return SkipArray(aPosition, anEnd, aValue, RecordValue::Type::IntegerArray);
                    }
                    return type == 'i' ? Array<int32_t>(aPosition, anEnd, aValue)
                                       : type == 'l' ? Array<int64_t>(aPosition, anEnd, aValue) : Array<uint8_t>(aPosition, anEnd, aValue);
                default:
                    return Fail(aPosition, "unknown property type code " + std::to_string(static_cast<unsigned char>(type)));
                }
            }

            template <typename T>
            static void Store(RecordValue& aValue, T aScalar)
            {
                if constexpr (std::is_floating_point_v<T>)
                {
                    aValue.myType = RecordValue::Type::Number;
                    aValue.myNumber = static_cast<double>(aScalar);
                }
                else
                {
                    aValue.myType = RecordValue::Type::Integer;
                    aValue.myInteger = static_cast<int64_t>(aScalar);
                }
            }

            template <typename T>
            bool Scalar(uint64_t& aPosition, uint64_t anEnd, RecordValue& aValue)
            {
                if (!Need(aPosition + 1, anEnd, sizeof(T)))
                {
                    return false;
                }
                Store(aValue, Read<T>(aPosition + 1));
                aPosition += 1 + sizeof(T);
                return true;
            }

            // Past an array without reading its elements: it reads as empty.
            bool SkipArray(uint64_t& aPosition, uint64_t anEnd, RecordValue& aValue, RecordValue::Type aType)
            {
                const uint64_t at = aPosition + 1;
                if (!Need(at, anEnd, 12) || !Need(at + 12, anEnd, ReadU32(at + 8)))
                {
                    return false;
                }
                aValue.myType = aType;
                aPosition = at + 12 + ReadU32(at + 8);
                return true;
            }

            template <typename T>
            bool Array(uint64_t& aPosition, uint64_t anEnd, RecordValue& aValue)
            {
                const uint64_t at = aPosition + 1;
                if (!Need(at, anEnd, 12))
                {
                    return false;
                }
                const uint64_t count = ReadU32(at);
                const uint32_t encoding = ReadU32(at + 4);
                const uint64_t storedBytes = ReadU32(at + 8);
                const uint64_t dataStart = at + 12;
                if (!Need(dataStart, anEnd, storedBytes))
                {
                    return false;
                }
                // Everything the header claims is checked against the bytes that are there before
                // any memory is taken for the elements.
                if (encoding != 0 && encoding != 1)
                {
                    return Fail(at, "unknown array encoding " + std::to_string(encoding));
                }
                const uint64_t bytes = count * sizeof(T);
                if (bytes > MAX_ARRAY_BYTES)
                {
                    return Fail(at, "array of " + std::to_string(count) + " elements is too large");
                }
                if (encoding == 0 && storedBytes != bytes)
                {
                    return Fail(at, "array length " + std::to_string(count) + " does not match its " +
                                        std::to_string(storedBytes) + " bytes");
                }
                if (encoding == 1 && bytes > storedBytes * MAX_DEFLATE_RATIO + 64)
                {
                    return Fail(at, "deflated array claims " + std::to_string(count) + " elements from " +
                                        std::to_string(storedBytes) + " bytes");
                }
                // The elements go straight into the record's own array (64-bit integers or doubles).
                using Stored = std::conditional_t<std::is_floating_point_v<T>, double, int64_t>;
                std::vector<Stored>& target = [&]() -> std::vector<Stored>& {
                    if constexpr (std::is_floating_point_v<T>)
                    {
                        aValue.myType = RecordValue::Type::NumberArray;
                        return aValue.myNumbers;
                    }
                    else
                    {
                        aValue.myType = RecordValue::Type::IntegerArray;
                        return aValue.myIntegers;
                    }
                }();
                target.resize(static_cast<size_t>(count));
                unsigned char* raw = reinterpret_cast<unsigned char*>(target.data());
                if (encoding == 0)
                {
                    if (bytes > 0)
                    {
                        std::memcpy(raw, myBytes + dataStart, static_cast<size_t>(bytes));
                    }
                    Widen<T, Stored>(raw, count);
                }
                else
                {
                    myDeflated.push_back({ myBytes + dataStart, storedBytes, raw, bytes, count, &Widen<T, Stored>, at });
                }
                aPosition = dataStart + storedBytes;
                return true;
            }

            const unsigned char* myBytes;
            uint64_t mySize;
            std::string& myError;
            bool myReadsGeometry;
            bool myLongHeaders = false;
            std::vector<DeflatedArray> myDeflated;
        };
    }

    bool ParseBinary(const unsigned char* someBytes, size_t aSize, Record& aRoot, std::string& anError, bool aReadGeometry)
    {
        if (aSize < HEADER_SIZE)
        {
            anError = "Malformed binary FBX: header cut off";
            return false;
        }
        BinaryReader reader(someBytes, aSize, anError, aReadGeometry);
        return reader.ParseFile(aRoot);
    }
}
