#pragma once
#include "fbx/PropertySet.h"

#include <cstdint>
#include <string>

namespace Vra::Fbx
{
    // What every object of a scene has: the name without its class prefix ("Model::Hips" and
    // "Hips\x00\x01Model" both read "Hips"), the id the file gives it and its properties.
    class Object
    {
    public:
        virtual ~Object() = default;
        Object(const Object&) = delete;
        Object& operator=(const Object&) = delete;

        const char* GetName() const { return myName.c_str(); }
        const std::string& GetNameString() const { return myName; }
        uint64_t GetUniqueID() const { return myUniqueId; }
        // The record's class ("Model", "Geometry", ...) and sub class ("Mesh", "LimbNode", ...).
        const std::string& GetClassName() const { return myClassName; }
        const std::string& GetSubClassName() const { return mySubClassName; }
        const PropertySet& GetProperties() const { return myProperties; }
        PropertySet& GetProperties() { return myProperties; }

    protected:
        Object() = default;

    private:
        friend class SceneBuilder;
        std::string myName;
        uint64_t myUniqueId = 0;
        std::string myClassName;
        std::string mySubClassName;
        PropertySet myProperties;
    };
}
