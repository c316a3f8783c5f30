#include "properties/PropertyJson.h"

#include "stringRegistry/StringRegistry.h"

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
            static_cast<void>(aJson.get<std::string>());
            // The getter above always throws for a value that is not a string.
            throw nlohmann::json::type_error::create(302, "type must be string", &aJson);
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
        aValue = aJson.get<std::int32_t>();
    }

    void ReadPropertyJson(float& aValue, const nlohmann::json& aJson)
    {
        aValue = aJson.get<float>();
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
}
