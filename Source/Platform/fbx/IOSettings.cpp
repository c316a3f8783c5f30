#include "fbx/IOSettings.h"

#include "fbx/Manager.h"

namespace Vra::Fbx
{
    IOSettings* IOSettings::Create(Manager* aManager, const char* aName)
    {
        IOSettings* settings = new IOSettings(aManager, aName ? aName : "");
        if (aManager)
        {
            aManager->Register(settings);
        }
        return settings;
    }

    void IOSettings::Destroy()
    {
        if (myManager)
        {
            myManager->Unregister(this);
        }
        delete this;
    }

    void IOSettings::SetBoolProp(std::string_view aName, bool aValue)
    {
        std::lock_guard lock(myMutex);
        myBools[std::string(aName)] = aValue;
    }

    bool IOSettings::GetBoolProp(std::string_view aName, bool aDefault) const
    {
        std::lock_guard lock(myMutex);
        const auto found = myBools.find(std::string(aName));
        return found != myBools.end() ? found->second : aDefault;
    }
}
