#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Vra
{
    // FNV-1a 64 over the characters; the empty string hashes to the offset basis.
    constexpr std::uint64_t HashFnv1a64(std::string_view aText)
    {
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (const char character : aText)
        {
            hash ^= static_cast<unsigned char>(character);
            hash *= 0x100000001b3ull;
        }
        return hash;
    }

    // An interned string: a pointer to characters that never move or change. Two ids name the
    // same text exactly when they hold the same pointer; null stands for the empty string.
    class StringId
    {
    public:
        constexpr StringId() = default;

        // Only the registry makes non-null ids; the pointer must come from it.
        static constexpr StringId FromRegisteredPointer(const char* aRegistered) { return StringId(aRegistered); }

        constexpr const char* GetPointer() const { return myCharacters; }
        constexpr const char* CStr() const { return myCharacters ? myCharacters : ""; }
        constexpr std::string_view View() const { return std::string_view(CStr()); }
        constexpr bool IsNull() const { return myCharacters == nullptr; }
        constexpr explicit operator bool() const { return myCharacters != nullptr; }

        friend constexpr bool operator==(StringId aLeft, StringId aRight) { return aLeft.myCharacters == aRight.myCharacters; }

    private:
        constexpr explicit StringId(const char* aCharacters) : myCharacters(aCharacters) {}

        const char* myCharacters = nullptr;
    };

    // Tables keyed by StringId hash the characters and compare the pointers.
    struct StringIdHash
    {
        std::size_t operator()(StringId anId) const { return static_cast<std::size_t>(HashFnv1a64(anId.View())); }
    };

    // Orders ids by their characters, bytewise (null as "").
    struct StringIdTextLess
    {
        bool operator()(StringId aLeft, StringId aRight) const { return aLeft.View() < aRight.View(); }
    };
}

template <>
struct std::hash<Vra::StringId> : Vra::StringIdHash
{
};
