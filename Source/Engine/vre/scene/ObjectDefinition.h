#pragma once
#include "properties/PropertyDefinition.h"
#include "stringRegistry/StringId.h"

#include <string>
#include <vector>

namespace Vra
{
    // The typed schema of a kind of scene object, read from a ".vro" file.
    struct ObjectDefinition
    {
        // Relative to the game asset folder, as it was read.
        std::string myPath;
        // The file name without its extension; the definition store's key.
        StringId myName;
        // Stored only: nothing copies the parent's properties.
        StringId myParent;
        std::vector<PropertyDefinition> myProperties;
    };
}
