#pragma once
#include "stringRegistry/StringId.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Reading helpers shared by the engine's JSON readers (scenes, definitions, property values,
// settings). They raise the JSON library's own errors where a value has the wrong type, and never
// read a missing key or element.
namespace Vra::impl
{
    // A file's whole content in one read, parsed from memory far faster than from a stream;
    // nothing when it cannot be opened.
    std::optional<std::string> ReadWholeFile(const std::filesystem::path& aPath);

    // Reads the whole of aName, taken relative to the folder open as aFolderHandle (as it stands
    // when the handle is negative), into the first bytes of aBuffer, with one open, mostly one read
    // and a close. aBuffer only grows, so a buffer reused for many files is neither cleared nor
    // reallocated per file. Unlike ReadWholeFile it asks no size of the file system, so a loader of
    // many small files spares a system call per file. The number of bytes read, or nothing when the
    // file cannot be opened or read (a folder among them).
    std::optional<std::size_t> ReadWholeFileInto(int aFolderHandle, const char* aName, std::string& aBuffer);

    // The member aKey of an object, JSON null when absent or when anObject is null; for any other
    // value the library's type error for using a key on it.
    const nlohmann::json& Member(const nlohmann::json& anObject, const char* aKey);

    // A JSON string without a copy; otherwise "type must be string, but is ...".
    const std::string& RequireString(const nlohmann::json& aValue);

    // "type must be array, but is ..." for anything but an array.
    const nlohmann::json& RequireArray(const nlohmann::json& aValue);

    // Element anIndex of an array as a float, bounds-checked (out-of-range error 401).
    float FloatAt(const nlohmann::json& anArray, std::size_t anIndex);

    StringId InternString(const nlohmann::json& aValue);

    // A JSON number, or a boolean as 1 or 0, as a 32-bit integer; fractions are cut toward zero.
    // Anything else raises "type must be number, but is ..."; a number the integer cannot hold
    // raises the same type error naming aKey and the value, never an undefined conversion.
    std::int32_t ReadInt32(const nlohmann::json& aValue, std::string_view aKey);
    std::uint32_t ReadUint32(const nlohmann::json& aValue, std::string_view aKey);
}
