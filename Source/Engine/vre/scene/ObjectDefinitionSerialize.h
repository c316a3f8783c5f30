#pragma once
#include "scene/ObjectDefinition.h"
#include "scene/ObjectDefinitionManager.h"

#include <string_view>

namespace Vra
{
    // Reads every ".vro" file below aFolder (recursively) into aStore. A name met twice keeps the
    // first definition and says so on standard output. JSON and file-system errors pass to the caller.
    void LoadObjectDefinitions(ObjectDefinitionManager& aStore, std::string_view aFolder);

    // Reads <game asset folder>/aRelativePath into aDefinition. A property whose type is not
    // registered is left out, with a line on standard output naming it.
    void LoadObjectDefinition(ObjectDefinition& aDefinition, const char* aRelativePath);
}
