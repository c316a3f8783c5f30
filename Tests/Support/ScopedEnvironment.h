#pragma once
#include <cstdlib>
#include <optional>
#include <string>

namespace TestSupport
{
    // Sets an environment variable while alive and restores what it was.
    class ScopedEnvironment
    {
    public:
        ScopedEnvironment(const char* aName, const char* aValue) : myName(aName)
        {
            if (const char* old = std::getenv(aName))
            {
                myOld = old;
            }
            setenv(aName, aValue, 1);
        }
        ~ScopedEnvironment()
        {
            if (myOld)
            {
                setenv(myName.c_str(), myOld->c_str(), 1);
            }
            else
            {
                unsetenv(myName.c_str());
            }
        }
        ScopedEnvironment(const ScopedEnvironment&) = delete;
        ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    private:
        std::string myName;
        std::optional<std::string> myOld;
    };
}
