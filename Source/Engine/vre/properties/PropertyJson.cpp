#include "properties/PropertyJson.h"

#include "scene/JsonReading.h"
#include "stringRegistry/StringRegistry.h"

#include <initializer_list>
#include <string>

namespace Vra::impl
{
    namespace
    {
        // Reads a JSON string without copying it; anything else raises the library's own type error.
        const std::string& StringOf(const nlohmann::json& aJson)
        {
            if (const std::string* text = aJson.get_ptr<const std::string*>())
            {
                return *text;
            }
            throw nlohmann::json::type_error::create(302, std::string("type must be string, but is ") + aJson.type_name(), &aJson);
        }

        StringId InternStringOf(const nlohmann::json& aJson)
        {
            return StringRegistry::RegisterOrGet(StringOf(aJson));
        }

        StringId InternStringValue(const nlohmann::json& anObject, const char* aKey)
        {
            return StringRegistry::RegisterOrGet(anObject.value(aKey, std::string()));
        }

        nlohmann::json WriteString(StringId anId)
        {
            return nlohmann::json(anId.CStr());
        }

        template <std::size_t N>
        void ReadFloats(float (&someComponents)[N], const nlohmann::json& anArray)
        {
            for (std::size_t index = 0; index < N; ++index)
            {
                someComponents[index] = ReadFloatElement(anArray, index);
            }
        }

        nlohmann::json WriteFloats(std::initializer_list<float> someComponents)
        {
            nlohmann::json array = nlohmann::json::array();
            for (const float component : someComponents)
            {
                array.push_back(static_cast<double>(component));
            }
            return array;
        }

        Vector2<float> ReadVector2(const nlohmann::json& anArray)
        {
            float components[2];
            ReadFloats(components, anArray);
            return {components[0], components[1]};
        }
    }

    float ReadFloatElement(const nlohmann::json& anArray, std::size_t anIndex)
    {
        if (anArray.is_array())
        {
            return anArray.at(anIndex).get<float>();
        }
        // The const subscript raises type error 305 for every value that is not an array.
        return anArray[anIndex].get<float>();
    }

    void ReadPropertyJson(bool& aValue, const nlohmann::json& aJson)
    {
        aValue = aJson.get<bool>();
    }

    void ReadPropertyJson(std::int32_t& aValue, const nlohmann::json& aJson)
    {
        // A property's value is the "value" member of its element in scene and definition files.
        aValue = ReadInt32(aJson, "value");
    }

    void ReadPropertyJson(float& aValue, const nlohmann::json& aJson)
    {
        aValue = aJson.get<float>();
    }

    void ReadPropertyJson(Vector2<float>& aValue, const nlohmann::json& aJson)
    {
        aValue = ReadVector2(aJson);
    }

    void ReadPropertyJson(Vector3<float>& aValue, const nlohmann::json& aJson)
    {
        float components[3];
        ReadFloats(components, aJson);
        aValue = {components[0], components[1], components[2]};
    }

    void ReadPropertyJson(Vector4<float>& aValue, const nlohmann::json& aJson)
    {
        float components[4];
        ReadFloats(components, aJson);
        aValue = {components[0], components[1], components[2], components[3]};
    }

    void ReadPropertyJson(Color& aValue, const nlohmann::json& aJson)
    {
        float components[4];
        ReadFloats(components, aJson);
        aValue = {components[0], components[1], components[2], components[3]};
    }

    void ReadPropertyJson(StringId& aValue, const nlohmann::json& aJson)
    {
        aValue = InternStringOf(aJson);
    }

    void ReadPropertyJson(PoseAndMotion& aValue, const nlohmann::json&)
    {
        aValue = PoseAndMotion{};
    }

    void ReadPropertyJson(CopyOnWriteWrapper<SceneReference>& aValue, const nlohmann::json& aJson)
    {
        aValue.ResetToFresh();
        aValue.GetMutable().myScenePath = InternStringValue(aJson, "scene_path");
    }

    void ReadPropertyJson(CopyOnWriteWrapper<AnimationClipReference>& aValue, const nlohmann::json& aJson)
    {
        aValue.ResetToFresh();
        aValue.GetMutable().myClipPath = InternStringValue(aJson, "clip_path");
    }

    void ReadPropertyJson(CopyOnWriteWrapper<SceneModel>& aValue, const nlohmann::json& aJson)
    {
        aValue.ResetToFresh();
        SceneModel& model = aValue.GetMutable();
        model.myModelPath = InternStringValue(aJson, "path");
        if (!aJson.contains("textures"))
        {
            return;
        }
        int mesh = 0;
        for (const nlohmann::json& meshTextures : aJson["textures"])
        {
            if (mesh == SceneModel::MESH_COUNT)
            {
                break;
            }
            int slot = 0;
            for (const nlohmann::json& texture : meshTextures)
            {
                if (slot == SceneModel::TEXTURE_SLOT_COUNT)
                {
                    break;
                }
                model.myTextures[mesh][slot++] = InternStringOf(texture);
            }
            ++mesh;
        }
    }

    void ReadPropertyJson(CopyOnWriteWrapper<SceneSprite>& aValue, const nlohmann::json& aJson)
    {
        aValue.ResetToFresh();
        SceneSprite& sprite = aValue.GetMutable();
        if (!aJson.is_object())
        {
            return;
        }
        if (const auto found = aJson.find("texturePath"); found != aJson.end())
        {
            sprite.myTextures[0] = InternStringOf(*found);
        }
        if (const auto found = aJson.find("textures"); found != aJson.end())
        {
            int slot = 0;
            for (const nlohmann::json& texture : *found)
            {
                if (slot == SceneSprite::TEXTURE_SLOT_COUNT)
                {
                    break;
                }
                sprite.myTextures[slot++] = InternStringOf(texture);
            }
        }
        if (const auto found = aJson.find("pivot"); found != aJson.end())
        {
            sprite.myPivot = ReadVector2(*found);
        }
        if (const auto found = aJson.find("size"); found != aJson.end())
        {
            sprite.mySize = ReadVector2(*found);
        }
    }

    nlohmann::json WritePropertyJson(bool aValue)
    {
        return nlohmann::json(aValue);
    }

    nlohmann::json WritePropertyJson(std::int32_t aValue)
    {
        return nlohmann::json(static_cast<std::int64_t>(aValue));
    }

    nlohmann::json WritePropertyJson(float aValue)
    {
        return nlohmann::json(static_cast<double>(aValue));
    }

    nlohmann::json WritePropertyJson(const Vector2<float>& aValue)
    {
        return WriteFloats({aValue.x, aValue.y});
    }

    nlohmann::json WritePropertyJson(const Vector3<float>& aValue)
    {
        return WriteFloats({aValue.x, aValue.y, aValue.z});
    }

    nlohmann::json WritePropertyJson(const Vector4<float>& aValue)
    {
        return WriteFloats({aValue.x, aValue.y, aValue.z, aValue.w});
    }

    nlohmann::json WritePropertyJson(const Color& aValue)
    {
        return WriteFloats({aValue.r, aValue.g, aValue.b, aValue.a});
    }

    nlohmann::json WritePropertyJson(StringId aValue)
    {
        return WriteString(aValue);
    }

    nlohmann::json WritePropertyJson(const PoseAndMotion&)
    {
        return nlohmann::json();
    }

    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneReference>& aValue)
    {
        return nlohmann::json{{"scene_path", WriteString(aValue.Get().myScenePath)}};
    }

    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<AnimationClipReference>& aValue)
    {
        return nlohmann::json{{"clip_path", WriteString(aValue.Get().myClipPath)}};
    }

    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneModel>& aValue)
    {
        const SceneModel& model = aValue.Get();
        nlohmann::json textures = nlohmann::json::array();
        for (const auto& meshTextures : model.myTextures)
        {
            nlohmann::json slots = nlohmann::json::array();
            for (const StringId texture : meshTextures)
            {
                slots.push_back(WriteString(texture));
            }
            textures.push_back(std::move(slots));
        }
        return nlohmann::json{{"path", WriteString(model.myModelPath)}, {"textures", std::move(textures)}};
    }

    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneSprite>& aValue)
    {
        const SceneSprite& sprite = aValue.Get();
        nlohmann::json textures = nlohmann::json::array();
        for (const StringId texture : sprite.myTextures)
        {
            textures.push_back(WriteString(texture));
        }
        return nlohmann::json{{"textures", std::move(textures)},
                              {"pivot", WriteFloats({sprite.myPivot.x, sprite.myPivot.y})},
                              {"size", WriteFloats({sprite.mySize.x, sprite.mySize.y})}};
    }
}
