#include "scene/ObjectDefinitionSerialize.h"

#include "properties/PropertyTypeBase.h"
#include "scene/JsonReading.h"
#include "settings/Settings.h"
#include "stringRegistry/StringRegistry.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <memory>

namespace fs = std::filesystem;
using nlohmann::json;

namespace Vra
{
    namespace
    {
        constexpr const char* DEFINITION_EXTENSION = ".vro";

        bool ReadFlag(const json& aProperty, const char* aKey)
        {
            return impl::Member(aProperty, aKey).get<bool>();
        }

        // False for a property whose type is not registered: it cannot hold a value, so it is left out.
        bool ReadPropertyDefinition(const json& aProperty, const char* aPath, PropertyDefinition& aDefinition)
        {
            aDefinition.myName = impl::InternString(impl::Member(aProperty, "name"));
            aDefinition.myGroup = StringRegistry::RegisterOrGet(aProperty.value("group", std::string()));
            aDefinition.myDescription = StringRegistry::RegisterOrGet(aProperty.value("description", std::string()));
            if (ReadFlag(aProperty, "is-dynamic"))
            {
                aDefinition.myFlags |= PropertyDefinition::IS_DYNAMIC;
            }
            if (ReadFlag(aProperty, "is-per-instance"))
            {
                aDefinition.myFlags |= PropertyDefinition::IS_PER_INSTANCE;
            }
            const StringId typeName = impl::InternString(impl::Member(aProperty, "type"));
            aDefinition.myType = PropertyTypeBase::FindByName(typeName);
            if (!aDefinition.myType)
            {
                std::cout << "Skipping property \"" << aDefinition.myName.CStr() << "\" of \"" << aPath
                          << "\": unknown type \"" << typeName.CStr() << "\"" << std::endl;
                return false;
            }
            aDefinition.myValue = PropertyValue(aDefinition.myType, impl::Member(aProperty, "value"));
            return true;
        }

        std::string RelativeToGameAssets(const fs::path& aPath)
        {
            const fs::path relative = aPath.lexically_relative(GameAssetsPath());
            // Without a game asset folder the path is kept whole; joining it to an empty folder gives it back.
            return relative.empty() ? aPath.string() : relative.string();
        }
    }

    void LoadObjectDefinitions(ObjectDefinitionManager& aStore, std::string_view aFolder)
    {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(fs::path(aFolder)))
        {
            if (!entry.is_regular_file() || entry.path().extension() != DEFINITION_EXTENSION)
            {
                continue;
            }
            auto definition = std::make_unique<ObjectDefinition>();
            const std::string relativePath = RelativeToGameAssets(entry.path());
            LoadObjectDefinition(*definition, relativePath.c_str());
            const StringId name = definition->myName;
            if (!aStore.AddDefinition(std::move(definition)))
            {
                std::cout << "Multiple vro files exist with same name. That is not allowed: " << name.CStr() << std::endl;
            }
        }
    }

    void LoadObjectDefinition(ObjectDefinition& aDefinition, const char* aRelativePath)
    {
        aDefinition.myPath = aRelativePath;
        aDefinition.myName = StringRegistry::RegisterOrGet(fs::path(aRelativePath).stem().string());

        // A file that cannot be read parses as empty input: the library's parse error.
        const std::string text = impl::ReadWholeFile(GameAssetsPath() / aRelativePath).value_or(std::string());
        const json root = json::parse(text, nullptr, true, false);
        aDefinition.myParent = impl::InternString(impl::Member(root, "parent-object-definition"));
        for (const json& property : impl::Member(root, "properties"))
        {
            PropertyDefinition definition;
            if (ReadPropertyDefinition(property, aRelativePath, definition))
            {
                aDefinition.myProperties.push_back(std::move(definition));
            }
        }
    }
}
