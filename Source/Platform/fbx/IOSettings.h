#pragma once
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Vra::Fbx
{
    class Manager;

    // Named import options ("Import|AdvOptGrp|FileFormat|Fbx|Texture", ...). The reader never
    // embeds media, so none of them changes what it reads; they are kept and read back.
    class IOSettings
    {
    public:
        static IOSettings* Create(Manager* aManager, const char* aName);
        void Destroy();

        const std::string& GetName() const { return myName; }
        void SetBoolProp(std::string_view aName, bool aValue);
        bool GetBoolProp(std::string_view aName, bool aDefault) const;

    private:
        friend class Manager;
        IOSettings(Manager* aManager, std::string aName) : myManager(aManager), myName(std::move(aName)) {}
        ~IOSettings() = default;

        Manager* myManager;
        std::string myName;
        mutable std::mutex myMutex;
        std::unordered_map<std::string, bool> myBools;
    };
}
