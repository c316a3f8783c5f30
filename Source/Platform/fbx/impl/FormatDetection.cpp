#include "fbx/impl/FormatDetection.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace Vra::Fbx
{
    namespace
    {
        constexpr char BINARY_MAGIC[] = "Kaydara FBX Binary  ";
        constexpr size_t BINARY_HEADER_SIZE = 27;
        constexpr size_t ASCII_SCAN = 4096;

        int AsciiVersion(std::string_view aText)
        {
            const size_t key = aText.find("FBXVersion:");
            if (key == std::string_view::npos)
            {
                return 0;
            }
            size_t at = key + std::strlen("FBXVersion:");
            while (at < aText.size() && (aText[at] == ' ' || aText[at] == '\t'))
            {
                ++at;
            }
            int version = 0;
            std::from_chars(aText.data() + at, aText.data() + aText.size(), version);
            return version;
        }
    }

    FormatInfo DetectFormat(const unsigned char* someBytes, size_t aSize)
    {
        FormatInfo info;
        if (aSize >= BINARY_HEADER_SIZE && std::memcmp(someBytes, BINARY_MAGIC, sizeof(BINARY_MAGIC)) == 0)
        {
            info.myIsFbx = true;
            info.myIsBinary = true;
            info.myVersion = static_cast<int>(someBytes[23] | (someBytes[24] << 8) | (someBytes[25] << 16) |
                                              (static_cast<unsigned>(someBytes[26]) << 24));
            return info;
        }
        const std::string_view text(reinterpret_cast<const char*>(someBytes), aSize < ASCII_SCAN ? aSize : ASCII_SCAN);
        size_t start = 0;
        while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' ||
                                       text[start] == '\n' || static_cast<unsigned char>(text[start]) == 0xEF ||
                                       static_cast<unsigned char>(text[start]) == 0xBB ||
                                       static_cast<unsigned char>(text[start]) == 0xBF))
        {
            ++start;
        }
        const std::string_view rest = text.substr(start);
        if (rest.starts_with("; FBX") || rest.find("FBXHeaderExtension:") != std::string_view::npos)
        {
            info.myIsFbx = true;
            info.myVersion = AsciiVersion(text);
        }
        return info;
    }
}
