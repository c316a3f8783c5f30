#include "fbx/impl/Record.h"

namespace Vra::Fbx
{
    const Record* Record::Find(std::string_view aName) const
    {
        for (const Record& child : myChildren)
        {
            if (child.myName == aName)
            {
                return &child;
            }
        }
        return nullptr;
    }

    bool Record::GetDoubles(std::vector<double>& someValues) const
    {
        someValues.clear();
        if (myValues.size() == 1 && myValues[0].myType == RecordValue::Type::NumberArray)
        {
            someValues = myValues[0].myNumbers;
            return true;
        }
        if (myValues.size() == 1 && myValues[0].myType == RecordValue::Type::IntegerArray)
        {
            someValues.assign(myValues[0].myIntegers.begin(), myValues[0].myIntegers.end());
            return true;
        }
        for (const RecordValue& value : myValues)
        {
            if (!value.IsScalarNumber())
            {
                return false;
            }
            someValues.push_back(value.AsDouble());
        }
        return true;
    }

    bool Record::GetIntegers(std::vector<int64_t>& someValues) const
    {
        someValues.clear();
        if (myValues.size() == 1 && myValues[0].myType == RecordValue::Type::IntegerArray)
        {
            someValues = myValues[0].myIntegers;
            return true;
        }
        if (myValues.size() == 1 && myValues[0].myType == RecordValue::Type::NumberArray)
        {
            for (const double number : myValues[0].myNumbers)
            {
                // Integers written with a fraction are not integers.
                if (!(number >= -9.2e18 && number <= 9.2e18) || static_cast<double>(static_cast<int64_t>(number)) != number)
                {
                    return false;
                }
                someValues.push_back(static_cast<int64_t>(number));
            }
            return true;
        }
        for (const RecordValue& value : myValues)
        {
            if (value.myType != RecordValue::Type::Integer)
            {
                return false;
            }
            someValues.push_back(value.myInteger);
        }
        return true;
    }

    std::string Record::GetString(size_t anIndex, std::string_view aDefault) const
    {
        if (anIndex < myValues.size() && myValues[anIndex].myType == RecordValue::Type::String)
        {
            return myValues[anIndex].myString;
        }
        return std::string(aDefault);
    }

    bool Record::GetInteger(size_t anIndex, int64_t& aValue) const
    {
        if (anIndex < myValues.size() && myValues[anIndex].myType == RecordValue::Type::Integer)
        {
            aValue = myValues[anIndex].myInteger;
            return true;
        }
        return false;
    }

    bool Record::GetNumber(size_t anIndex, double& aValue) const
    {
        if (anIndex < myValues.size() && myValues[anIndex].IsScalarNumber())
        {
            aValue = myValues[anIndex].AsDouble();
            return true;
        }
        return false;
    }
}
