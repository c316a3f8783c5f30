#include "scene/JsonReading.h"

#include "FileReading.h"
#include "stringRegistry/StringRegistry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <limits>

namespace Vra::impl
{
    namespace
    {
        template <typename Integer>
        Integer ReadInteger(const nlohmann::json& aValue, std::string_view aKey, const char* aKind)
        {
            using Limits = std::numeric_limits<Integer>;
            using Type = nlohmann::json::value_t;
            switch (aValue.type())
            {
            case Type::number_integer:
                if (const std::int64_t value = aValue.get<std::int64_t>(); value >= Limits::min() && value <= std::int64_t{Limits::max()})
                {
                    return static_cast<Integer>(value);
                }
                break;
            case Type::number_unsigned:
                if (const std::uint64_t value = aValue.get<std::uint64_t>(); value <= std::uint64_t{Limits::max()})
                {
                    return static_cast<Integer>(value);
                }
                break;
            case Type::number_float:
                // Both bounds are exact in a double; the fraction is cut toward zero as the
                // conversion does. NaN fails both comparisons.
                if (const double value = aValue.get<double>();
                    value > static_cast<double>(Limits::min()) - 1.0 && value < static_cast<double>(Limits::max()) + 1.0)
                {
                    return static_cast<Integer>(std::trunc(value));
                }
                break;
            case Type::boolean:
                return aValue.get<bool>() ? 1 : 0;
            default:
                throw nlohmann::json::type_error::create(302, std::string("type must be number, but is ") + aValue.type_name(), &aValue);
            }
            throw nlohmann::json::type_error::create(
                302, std::string("type must be number that fits ") + aKind + ", but \"" + std::string(aKey) + "\" is " + aValue.dump(), &aValue);
        }
    }

    std::optional<std::string> ReadWholeFile(const std::filesystem::path& aPath)
    {
        return CommonUtilities::ReadFileText(aPath);
    }

    std::optional<std::size_t> ReadWholeFileInto(int aFolderHandle, const char* aName, std::string& aBuffer)
    {
        constexpr std::size_t FIRST_BUFFER_SIZE = 64 * 1024;
        const int file = ::openat(aFolderHandle < 0 ? AT_FDCWD : aFolderHandle, aName, O_RDONLY | O_CLOEXEC);
        if (file < 0)
        {
            return std::nullopt;
        }
        if (aBuffer.size() < FIRST_BUFFER_SIZE)
        {
            aBuffer.resize(FIRST_BUFFER_SIZE);
        }
        std::size_t filled = 0;
        for (;;)
        {
            const ssize_t count = ::read(file, aBuffer.data() + filled, aBuffer.size() - filled);
            if (count < 0 && errno == EINTR)
            {
                continue;
            }
            if (count < 0)
            {
                // A folder, or a file that cannot be read, is no file to parse.
                ::close(file);
                return std::nullopt;
            }
            if (count == 0)
            {
                break;
            }
            filled += static_cast<std::size_t>(count);
            // A plain file gives less than asked only at its end, which spares a size query per file.
            if (filled < aBuffer.size())
            {
                break;
            }
            aBuffer.resize(aBuffer.size() * 2);
        }
        ::close(file);
        return filled;
    }

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

    std::int32_t ReadInt32(const nlohmann::json& aValue, std::string_view aKey)
    {
        return ReadInteger<std::int32_t>(aValue, aKey, "a 32-bit integer");
    }

    std::uint32_t ReadUint32(const nlohmann::json& aValue, std::string_view aKey)
    {
        return ReadInteger<std::uint32_t>(aValue, aKey, "an unsigned 32-bit integer");
    }
}
