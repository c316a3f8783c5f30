#pragma once
#include "fbx/impl/Record.h"

#include <cstddef>
#include <string>

namespace Vra::Fbx
{
    // Reads a binary FBX file into its record tree (the top-level records become aRoot's children).
    // False with a message naming the byte offset for anything malformed. Without aReadGeometry the
    // arrays inside the objects' "Geometry" records are stepped over, neither checked nor
    // inflated, and read as empty.
    bool ParseBinary(const unsigned char* someBytes, size_t aSize, Record& aRoot, std::string& anError, bool aReadGeometry = true);
}
