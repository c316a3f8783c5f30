#pragma once
#include "fbx/impl/Record.h"

#include <cstddef>
#include <string>

namespace Vra::Fbx
{
    // Reads an ASCII FBX file into its record tree (the top-level records become aRoot's children).
    // False with a message naming the line for anything malformed.
    bool ParseAscii(const char* aText, size_t aSize, Record& aRoot, std::string& anError);
}
