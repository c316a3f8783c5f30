#pragma once
#include "scene/UuidRegistry.h"

#include <nlohmann/json.hpp>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Small level folders written by the tests in the forms the level content uses: object
// definitions (".vro") under "definitions/", one object file per UUID under
// "levels/<name>.leveldata/". Every definition property is per instance, so an object file may
// give its own value of the same type.
namespace LevelTestSupport
{
    namespace fs = std::filesystem;

    struct Property
    {
        std::string myName;
        std::string myType;
        nlohmann::json myValue;
        std::string myGroup;
    };

    inline Property Tag(const std::string& aTag)
    {
        return { "Tag", "StringId", aTag, "" };
    }

    inline Property ModelPath(const std::string& aPath, const std::string& aName = "Model")
    {
        return { aName, "Model", nlohmann::json{ { "path", aPath } }, "" };
    }

    inline Property SpritePath(const std::string& aPath, float aWidth = 100.0f, float aHeight = 100.0f)
    {
        return { "Sprite", "Sprite", nlohmann::json{ { "texturePath", aPath }, { "size", { aWidth, aHeight } } }, "" };
    }

    inline Property Int(const std::string& aName, int aValue, const std::string& aGroup = "")
    {
        return { aName, "Int", aValue, aGroup };
    }

    inline Property Float(const std::string& aName, float aValue, const std::string& aGroup = "")
    {
        return { aName, "Float", aValue, aGroup };
    }

    inline Property Bool(const std::string& aName, bool aValue, const std::string& aGroup = "")
    {
        return { aName, "Bool", aValue, aGroup };
    }

    inline Property Text(const std::string& aName, const std::string& aValue, const std::string& aGroup = "")
    {
        return { aName, "StringId", aValue, aGroup };
    }

    using Vector = std::array<float, 3>;

    // An uncompressed 32-bit DDS of the given size, so that sizes read from textures are known.
    inline void WriteDds(const fs::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight)
    {
        fs::create_directories(aPath.parent_path());
        std::array<std::uint32_t, 32> header{};
        header[0] = 0x20534444; // "DDS "
        header[1] = 124;
        header[2] = 0x100F; // caps, height, width, pitch
        header[3] = aHeight;
        header[4] = aWidth;
        header[5] = aWidth * 4;
        header[19] = 32;         // pixel format size
        header[20] = 0x41;       // RGB with alpha
        header[22] = 32;         // bits
        header[23] = 0x000000FF; // red
        header[24] = 0x0000FF00;
        header[25] = 0x00FF0000;
        header[26] = 0xFF000000;
        header[27] = 0x1000; // texture
        std::ofstream file(aPath, std::ios::binary);
        file.write(reinterpret_cast<const char*>(header.data()), sizeof(header));
        const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(aWidth) * aHeight, 0xFFFFFFFFu);
        file.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 4));
    }

    // A fresh UUID for every object of the process, registered at once so that the objects of a
    // level load in the order the test added them.
    inline std::string NextUuid()
    {
        static std::atomic<std::uint64_t> counter = 1;
        char text[40];
        std::snprintf(text, sizeof(text), "5e0c1e7e-0000-4000-8000-%012llx", static_cast<unsigned long long>(counter++));
        Vra::UuidRegistry::GetId(text);
        return text;
    }

    class LevelFolder
    {
    public:
        LevelFolder(const fs::path& aGameFolder, const std::string& aLevelName)
            : myGameFolder(aGameFolder),
              myScenePath("levels/" + aLevelName + ".vrs")
        {
            fs::create_directories(ObjectFolder());
        }

        const std::string& GetScenePath() const { return myScenePath; }
        fs::path ObjectFolder() const { return myGameFolder / fs::path(myScenePath).replace_extension(".leveldata"); }

        void Define(const std::string& aName, const std::vector<Property>& someProperties) const
        {
            nlohmann::json properties = nlohmann::json::array();
            for (const Property& property : someProperties)
            {
                properties.push_back({ { "name", property.myName }, { "type", property.myType }, { "value", property.myValue },
                                       { "group", property.myGroup }, { "is-dynamic", false }, { "is-per-instance", true } });
            }
            const nlohmann::json root{ { "parent-object-definition", "" }, { "properties", properties } };
            fs::create_directories(myGameFolder / "definitions");
            std::ofstream(myGameFolder / "definitions" / (aName + ".vro")) << root.dump(1);
        }

        // Returns the object's UUID.
        std::string Add(const std::string& aName, const std::string& aDefinition, const Vector& aTranslation, const std::vector<Property>& someOwnValues = {},
                        const Vector& aScale = { 1.0f, 1.0f, 1.0f }, const Vector& aRotation = { 0.0f, 0.0f, 0.0f }) const
        {
            nlohmann::json properties = nlohmann::json::array();
            for (const Property& property : someOwnValues)
            {
                properties.push_back({ { "name", property.myName }, { "type", property.myType }, { "value", property.myValue } });
            }
            const nlohmann::json root{ { "name", aName },         { "path", "Level" },        { "object-definition", aDefinition },
                                       { "translation", aTranslation }, { "rotation", aRotation }, { "scale", aScale },
                                       { "properties", properties } };
            const std::string uuid = NextUuid();
            std::ofstream(ObjectFolder() / uuid) << root.dump(1);
            return uuid;
        }

    private:
        fs::path myGameFolder;
        std::string myScenePath;
    };

    // The definitions the level tests share, in the shapes the game's content gives them.
    inline void DefineCommon(const LevelFolder& aFolder)
    {
        aFolder.Define("Box", { Tag("AABB"), ModelPath("models/box.fbx") });
        aFolder.Define("PlayerSpawn", { Tag("Player"), ModelPath("models/box.fbx"), Bool("StartWithDash", true), Bool("StartWithDoubleJump", false),
                                        Bool("StartWithWallJump", false) });
        aFolder.Define("EventEffect", { Tag("EventEffect"), Int("Flag", 0), Int("Order", 0), Float("Duration", 0.0f), Float("Speed", 0.0f),
                                        Float("AnimationSpeed", 0.0f), Bool("GoingLeft", false), Bool("InBackground", false), Text("LevelPath", ""),
                                        Int("Ability", 0), Int("Animation", 0), Int("Cutscene", 0), Float("Delay", 0.0f) });
        aFolder.Define("EventTrigger", { Tag("EventTrigger"), Int("Order", 0) });
        aFolder.Define("Checkpoint", { Tag("Checkpoint"), ModelPath("models/box.fbx") });
        aFolder.Define("Mushroom", { Tag("Pogo"), Float("Radius", 0.0f), Float("Cooldown", 0.0f) });
        aFolder.Define("Beetle", { Tag("Pogo"), Float("Radius", 0.0f), Float("Distance", 0.0f), Bool("Up", false), Bool("InvertMoveDirection", true) });
        aFolder.Define("Ability", { Tag("Ability"), Float("Radius", 0.0f), Int("Ability", 0) });
        aFolder.Define("CameraSettings", { Float("FollowSpeed", 5.0f), Float("LookAheadDistance", 2.0f), Bool("NoSnow", false),
                                           Bool("ShowCaveParticles", false), Float("ViginetteStrength", 0.5f) });
        aFolder.Define("Scenery", { Tag(""), SpritePath("sprites/rock.dds") });
        aFolder.Define("LevelMusic", { Text("Level", "", "SFXLevelSelect"), Bool("Echo", false, "SFXLevelSelect"),
                                       Float("EchoDelay", 0.0f, "SFXLevelSelect"), Float("EchoFeedback", 0.0f, "SFXLevelSelect"),
                                       Float("EchoDryLevel", 0.0f, "SFXLevelSelect"), Float("EchoWetLevel", 0.0f, "SFXLevelSelect") });
        aFolder.Define("VfxBlock", { Text("VFXName", "", "VFXBlock"), Bool("Looping", false, "VFXBlock") });
    }

    // A level that loads: a floor and the bird standing on it.
    inline void AddFloorAndPlayer(const LevelFolder& aFolder, const Vector& aSpawn = { 200.0f, 100.0f, 0.0f })
    {
        aFolder.Add("Floor", "Box", { -1000.0f, 0.0f, 0.0f }, {}, { 40.0f, 1.0f, 1.0f });
        aFolder.Add("Player", "PlayerSpawn", aSpawn);
    }
}
