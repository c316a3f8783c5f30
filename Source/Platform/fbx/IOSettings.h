#pragma once
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Vra::Fbx
{
    class Manager;

    // Named import options ("Import|AdvOptGrp|FileFormat|Fbx|Texture", ...). The reader never
    // embeds media, so of them only GEOMETRY changes what it reads; the others are kept and read back.
    class IOSettings
    {
    public:
        // False: meshes come out empty (no control points, polygons or layers) and clusters name no
        // control points, and the file's geometry arrays are not even decoded. For reading only the
        // node tree and its animation. True when not set.
        static constexpr std::string_view GEOMETRY = "Import|AdvOptGrp|FileFormat|Fbx|Geometry";

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
