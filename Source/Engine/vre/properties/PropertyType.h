#pragma once
#include "properties/PropertyEditors.h"
#include "properties/PropertyJson.h"
#include "properties/PropertyTypeBase.h"

#include <new>
#include <nlohmann/json.hpp>

namespace Vra
{
    // The property type of values of type T: one static singleton per T, which code names by its
    // address (Get()). Every value fits the 16 bytes of a PropertyValue's storage.
    template <typename T>
    class PropertyType final : public PropertyTypeBase
    {
        static_assert(sizeof(T) <= 16 && alignof(T) <= 16, "a property value is stored in 16 bytes");

    public:
        static const PropertyType& Get() { return ourInstance; }

        void Construct(void* aTarget) const override { new (aTarget) T(); }

        void CopyConstruct(const void* aSource, void* aTarget) const override
        {
            new (aTarget) T(*static_cast<const T*>(aSource));
        }

        void MoveConstruct(void* aSource, void* aTarget) const override { CopyConstruct(aSource, aTarget); }

        void Destroy(void* aValue) const override { static_cast<T*>(aValue)->~T(); }

        void FromJson(void* aTarget, const nlohmann::json& aJson) const override
        {
            T* value = new (aTarget) T();
            impl::ReadPropertyJson(*value, aJson);
        }

        nlohmann::json ToJson(const void* aValue) const override
        {
            return impl::WritePropertyJson(*static_cast<const T*>(aValue));
        }

        bool DrawEditor(void* aValue, const char* aLabel, const char* aTooltip) const override
        {
            return impl::DrawPropertyEditor(*static_cast<T*>(aValue), aLabel, aTooltip);
        }

    private:
        explicit PropertyType(const char* aName) : PropertyTypeBase(aName) {}

        // Defined, one per value type, in registration order by PropertyTypes.cpp.
        static PropertyType ourInstance;
    };
}
