#include "scene/JsonReading.h"

#include "stringRegistry/StringRegistry.h"

namespace Vra::impl
{
    const nlohmann::json& Member(const nlohmann::json& anObject, const char* aKey)
    {
        static const nlohmann::json null;
        if (anObject.is_object())
        {
            const auto found = anObject.find(aKey);
            return found != anObject.end() ? *found : null;
        }
        if (anObject.is_null())
        {
            return null;
        }
        // The const subscript raises type error 305 for every value that is not an object.
        return anObject[aKey];
    }

    const std::string& RequireString(const nlohmann::json& aValue)
    {
        if (const std::string* text = aValue.get_ptr<const std::string*>())
        {
            return *text;
        }
        throw nlohmann::json::type_error::create(302, std::string("type must be string, but is ") + aValue.type_name(), &aValue);
    }

    const nlohmann::json& RequireArray(const nlohmann::json& aValue)
    {
        if (!aValue.is_array())
        {
            throw nlohmann::json::type_error::create(302, std::string("type must be array, but is ") + aValue.type_name(), &aValue);
        }
        return aValue;
    }

    float FloatAt(const nlohmann::json& anArray, std::size_t anIndex)
    {
        return anArray.at(anIndex).get<float>();
    }

    StringId InternString(const nlohmann::json& aValue)
    {
        return StringRegistry::RegisterOrGet(RequireString(aValue));
    }
}
