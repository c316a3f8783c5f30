#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace TestSupport
{
    // Writes binary FBX files for tests: records with typed values and children, 32-bit record
    // headers below version 7500 and 64-bit ones from it on, arrays plain or deflated (as zlib
    // "stored" blocks, which every inflater reads).
    class FbxBinaryRecord
    {
    public:
        explicit FbxBinaryRecord(std::string aName) : myName(std::move(aName)) {}

        FbxBinaryRecord& Int(int32_t aValue) { return Scalar('I', aValue); }
        FbxBinaryRecord& Long(int64_t aValue) { return Scalar('L', aValue); }
        FbxBinaryRecord& Short(int16_t aValue) { return Scalar('Y', aValue); }
        FbxBinaryRecord& Bool(bool aValue) { return Scalar('C', static_cast<uint8_t>(aValue)); }
        FbxBinaryRecord& Float(float aValue) { return Scalar('F', aValue); }
        FbxBinaryRecord& Double(double aValue) { return Scalar('D', aValue); }
        FbxBinaryRecord& String(const std::string& aValue, char aType = 'S')
        {
            std::string encoded(1, aType);
            AppendRaw(encoded, static_cast<uint32_t>(aValue.size()));
            encoded += aValue;
            myValues.push_back(std::move(encoded));
            return *this;
        }
        template <typename T>
        FbxBinaryRecord& Array(char aType, const std::vector<T>& someValues, bool aDeflate = false)
        {
            std::string data(someValues.size() * sizeof(T), '\0');
            if (!data.empty())
            {
                std::memcpy(data.data(), someValues.data(), data.size());
            }
            const std::string stored = aDeflate ? Stored(data) : data;
            std::string encoded(1, aType);
            AppendRaw(encoded, static_cast<uint32_t>(someValues.size()));
            AppendRaw(encoded, static_cast<uint32_t>(aDeflate ? 1 : 0));
            AppendRaw(encoded, static_cast<uint32_t>(stored.size()));
            encoded += stored;
            myValues.push_back(std::move(encoded));
            return *this;
        }
        // A value given byte for byte, type code included (for malformed files).
        FbxBinaryRecord& RawValue(const std::string& someBytes)
        {
            myValues.push_back(someBytes);
            return *this;
        }
        FbxBinaryRecord& Child(const std::string& aName)
        {
            myChildren.emplace_back(aName);
            return myChildren.back();
        }
        void Add(FbxBinaryRecord aChild) { myChildren.push_back(std::move(aChild)); }

        // The record at anOffset in a file of the given header size.
        std::string Encode(uint64_t anOffset, bool aLongHeaders) const
        {
            const size_t headerSize = aLongHeaders ? 25 : 13;
            std::string values;
            for (const std::string& value : myValues)
            {
                values += value;
            }
            std::string body = myName + values;
            uint64_t position = anOffset + headerSize + body.size();
            for (const FbxBinaryRecord& child : myChildren)
            {
                const std::string encoded = child.Encode(position, aLongHeaders);
                body += encoded;
                position += encoded.size();
            }
            if (!myChildren.empty())
            {
                body += std::string(headerSize, '\0');
                position += headerSize;
            }
            std::string header;
            AppendOffset(header, position, aLongHeaders);
            AppendOffset(header, myValues.size(), aLongHeaders);
            AppendOffset(header, values.size(), aLongHeaders);
            header += static_cast<char>(myName.size());
            return header + body;
        }

        template <typename T>
        static void AppendRaw(std::string& aTarget, T aValue)
        {
            char bytes[sizeof(T)];
            std::memcpy(bytes, &aValue, sizeof(T));
            aTarget.append(bytes, sizeof(T));
        }

        // A zlib stream of stored (uncompressed) deflate blocks.
        static std::string Stored(const std::string& someData)
        {
            std::string stream = "\x78\x01";
            size_t at = 0;
            do
            {
                const size_t length = std::min<size_t>(65535, someData.size() - at);
                const bool last = at + length == someData.size();
                stream += static_cast<char>(last ? 1 : 0);
                AppendRaw(stream, static_cast<uint16_t>(length));
                AppendRaw(stream, static_cast<uint16_t>(~length));
                stream += someData.substr(at, length);
                at += length;
            } while (at < someData.size());
            uint32_t a = 1;
            uint32_t b = 0;
            for (const char c : someData)
            {
                a = (a + static_cast<unsigned char>(c)) % 65521;
                b = (b + a) % 65521;
            }
            const uint32_t adler = (b << 16) | a;
            for (int shift = 24; shift >= 0; shift -= 8)
            {
                stream += static_cast<char>((adler >> shift) & 0xFF);
            }
            return stream;
        }

    private:
        template <typename T>
        FbxBinaryRecord& Scalar(char aType, T aValue)
        {
            std::string encoded(1, aType);
            AppendRaw(encoded, aValue);
            myValues.push_back(std::move(encoded));
            return *this;
        }

        static void AppendOffset(std::string& aTarget, uint64_t aValue, bool aLongHeaders)
        {
            if (aLongHeaders)
            {
                AppendRaw(aTarget, aValue);
            }
            else
            {
                AppendRaw(aTarget, static_cast<uint32_t>(aValue));
            }
        }

        std::string myName;
        std::vector<std::string> myValues;
        std::vector<FbxBinaryRecord> myChildren;
    };

    // The whole file: magic, version, the top-level records and the closing empty record.
    inline std::string WriteFbxBinary(const std::vector<FbxBinaryRecord>& someRecords, uint32_t aVersion = 7400)
    {
        const bool longHeaders = aVersion >= 7500;
        std::string file("Kaydara FBX Binary  \0\x1a\0", 23);
        FbxBinaryRecord::AppendRaw(file, aVersion);
        for (const FbxBinaryRecord& record : someRecords)
        {
            file += record.Encode(file.size(), longHeaders);
        }
        file += std::string(longHeaders ? 25 : 13, '\0');
        return file;
    }
}
