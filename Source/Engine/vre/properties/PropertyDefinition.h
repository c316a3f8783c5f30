#pragma once
#include "properties/PropertyValue.h"
#include "stringRegistry/StringId.h"

#include <cstdint>

namespace Vra
{
    // One property of an object definition: its name, type, default value and editor details.
    // Also what a scene object's effective property list is made of.
    struct PropertyDefinition
    {
        static constexpr std::uint8_t IS_DYNAMIC = 1 << 0;
        // A scene object may give the property a value of its own.
        static constexpr std::uint8_t IS_PER_INSTANCE = 1 << 1;

        bool IsDynamic() const { return (myFlags & IS_DYNAMIC) != 0; }
        bool IsPerInstance() const { return (myFlags & IS_PER_INSTANCE) != 0; }

        StringId myName;
        const PropertyTypeBase* myType = nullptr;
        PropertyValue myValue;
        std::uint8_t myFlags = 0;
        StringId myGroup;
        StringId myDescription;
    };
}
