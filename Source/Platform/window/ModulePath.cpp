#include "window/ModulePath.h"

#include <mutex>
#include <unistd.h>
#include <vector>

namespace Platform
{
    namespace
    {
        std::mutex ourOverrideMutex;
        std::optional<std::string> ourOverride;

        std::string ReadExecutableLink()
        {
            // The link's length is unknown up front; grow until the target fits with room to spare.
            std::vector<char> buffer(512);
            while (buffer.size() <= 65536)
            {
                const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
                if (length < 0)
                {
                    return {};
                }
                if (static_cast<size_t>(length) < buffer.size())
                {
                    return std::string(buffer.data(), static_cast<size_t>(length));
                }
                buffer.resize(buffer.size() * 2);
            }
            return {};
        }
    }

    std::string GetModulePath()
    {
        {
            const std::lock_guard lock(ourOverrideMutex);
            if (ourOverride)
            {
                return *ourOverride;
            }
        }
        return ReadExecutableLink();
    }

    void SetModulePathOverride(std::optional<std::string> aPath)
    {
        const std::lock_guard lock(ourOverrideMutex);
        ourOverride = std::move(aPath);
    }
}
