#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vra::Fbx
{
    // One value of a record, as binary and ASCII files share them.
    struct RecordValue
    {
        enum class Type
        {
            Integer,
            Number,
            String, // also raw bytes
            IntegerArray,
            NumberArray
        };

        Type myType = Type::Integer;
        int64_t myInteger = 0;
        double myNumber = 0.0;
        std::string myString;
        std::vector<int64_t> myIntegers;
        std::vector<double> myNumbers;

        bool IsScalarNumber() const { return myType == Type::Integer || myType == Type::Number; }
        double AsDouble() const { return myType == Type::Integer ? static_cast<double>(myInteger) : myNumber; }
        // Numbers outside 64 bits (and NaN) read as 0.
        int64_t AsInteger() const
        {
            if (myType == Type::Integer)
            {
                return myInteger;
            }
            return myNumber > -9.2e18 && myNumber < 9.2e18 ? static_cast<int64_t>(myNumber) : 0;
        }
    };

    // A named record with its values and nested records: the file's tree before any meaning.
    struct Record
    {
        std::string myName;
        std::vector<RecordValue> myValues;
        std::vector<Record> myChildren;

        const Record* Find(std::string_view aName) const;
        // The record's numbers as one array: an array value, or every scalar number in order.
        bool GetDoubles(std::vector<double>& someValues) const;
        bool GetIntegers(std::vector<int64_t>& someValues) const;
        // First value as text or number; aDefault when there is none of that kind.
        std::string GetString(size_t anIndex = 0, std::string_view aDefault = {}) const;
        bool GetInteger(size_t anIndex, int64_t& aValue) const;
        bool GetNumber(size_t anIndex, double& aValue) const;
    };
}
