#include "properties/PropertyValue.h"

#include <cstring>

namespace Vra
{
    PropertyValue::PropertyValue(const PropertyTypeBase* aType, const nlohmann::json& aJson) : myType(aType)
    {
        if (!myType)
        {
            return;
        }
        try
        {
            myType->FromJson(myStorage, aJson);
        }
        catch (...)
        {
            // A pooled value has already taken its slot when its fields fail to read.
            myType->Destroy(myStorage);
            throw;
        }
    }

    PropertyValue::PropertyValue(const PropertyTypeBase* aType) : myType(aType)
    {
        if (myType)
        {
            myType->Construct(myStorage);
        }
    }

    PropertyValue::PropertyValue(const PropertyValue& anOther) : myType(anOther.myType)
    {
        if (myType)
        {
            myType->CopyConstruct(anOther.myStorage, myStorage);
        }
    }

    PropertyValue::PropertyValue(PropertyValue&& anOther) : myType(anOther.myType)
    {
        if (myType)
        {
            myType->MoveConstruct(anOther.myStorage, myStorage);
        }
    }

    PropertyValue& PropertyValue::operator=(const PropertyValue& anOther)
    {
        // Destroying first would free a pooled slot that the copy is about to read.
        if (this == &anOther)
        {
            return *this;
        }
        Reset();
        myType = anOther.myType;
        if (myType)
        {
            myType->CopyConstruct(anOther.myStorage, myStorage);
        }
        return *this;
    }

    PropertyValue& PropertyValue::operator=(PropertyValue&& anOther)
    {
        if (this == &anOther)
        {
            return *this;
        }
        Reset();
        myType = anOther.myType;
        if (myType)
        {
            myType->MoveConstruct(anOther.myStorage, myStorage);
        }
        return *this;
    }

    PropertyValue::~PropertyValue()
    {
        if (myType)
        {
            myType->Destroy(myStorage);
        }
    }

    nlohmann::json PropertyValue::ToJson() const
    {
        return myType ? myType->ToJson(myStorage) : nlohmann::json();
    }

    void PropertyValue::Reset()
    {
        if (myType)
        {
            myType->Destroy(myStorage);
            myType = nullptr;
        }
        std::memset(myStorage, 0, sizeof(myStorage));
    }
}
