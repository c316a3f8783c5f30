#pragma once
#include "properties/PropertyType.h"

#include "Assert.h"

#include <nlohmann/json.hpp>

namespace Vra
{
    // One typed value held in place. Its type singleton copies, moves and destroys it; a null type
    // means no value. Not shared between threads.
    class PropertyValue
    {
    public:
        PropertyValue() = default;
        // A value read from its JSON form; the JSON library's exceptions pass, leaving nothing held.
        PropertyValue(const PropertyTypeBase* aType, const nlohmann::json& aJson);
        // The type's default value.
        explicit PropertyValue(const PropertyTypeBase* aType);
        PropertyValue(const PropertyValue& anOther);
        PropertyValue(PropertyValue&& anOther);
        PropertyValue& operator=(const PropertyValue& anOther);
        PropertyValue& operator=(PropertyValue&& anOther);
        ~PropertyValue();

        template <typename T>
        static PropertyValue Make(const T& aValue)
        {
            PropertyValue value;
            PropertyType<T>::Get().CopyConstruct(&aValue, value.myStorage);
            value.myType = &PropertyType<T>::Get();
            return value;
        }

        const PropertyTypeBase* GetType() const { return myType; }
        bool IsEmpty() const { return myType == nullptr; }

        template <typename T>
        bool Holds() const
        {
            return myType == &PropertyType<T>::Get();
        }

        template <typename T>
        const T& Get() const
        {
            CU_ASSERT(Holds<T>());
            return *reinterpret_cast<const T*>(myStorage);
        }

        template <typename T>
        T& GetMutable()
        {
            CU_ASSERT(Holds<T>());
            return *reinterpret_cast<T*>(myStorage);
        }

        void* GetStorage() { return myStorage; }
        const void* GetStorage() const { return myStorage; }

        // JSON null when empty.
        nlohmann::json ToJson() const;

    private:
        void Reset();

        alignas(16) unsigned char myStorage[16] = {};
        const PropertyTypeBase* myType = nullptr;
    };
}
