#include "scene/SceneSerialize.h"

#include "Assert.h"
#include "Math/MatrixDecomposition.h"
#include "Math/Quaternion.h"
#include "properties/PropertyTypeBase.h"
#include "scene/JsonReading.h"
#include "scene/UuidRegistry.h"
#include "settings/Settings.h"
#include "stringRegistry/StringRegistry.h"
#include "uuid/Uuid.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>

namespace fs = std::filesystem;
using nlohmann::json;

namespace Vra
{
    namespace
    {
        constexpr float DEGREES_PER_RADIAN = 57.29578f;

        Vector3<float> ReadVector3(const json& aValue)
        {
            const json& array = impl::RequireArray(aValue);
            return {impl::FloatAt(array, 0), impl::FloatAt(array, 1), impl::FloatAt(array, 2)};
        }

        Matrix4x4 ReadMatrix(const json& aValue)
        {
            const json& array = impl::RequireArray(aValue);
            std::array<float, 16> elements;
            for (std::size_t index = 0; index < elements.size(); ++index)
            {
                elements[index] = impl::FloatAt(array, index);
            }
            return Matrix4x4(elements);
        }

        Vector3<float> EulerDegreesFrom(const Quaternion& aRotation)
        {
            const float w = aRotation.w;
            const float x = aRotation.x;
            const float y = aRotation.y;
            const float z = aRotation.z;
            const float s = 2.0f * (w * y - x * z);
            Vector3<float> radians;
            if (std::abs(s) > 0.9999f)
            {
                radians.y = s * 1.570796f;
                radians.x = std::atan2(w * x - y * z, 0.5f - x * x - z * z);
                radians.z = 0.0f;
            }
            else
            {
                radians.x = std::atan2(w * x + y * z, 0.5f - x * x - y * y);
                radians.y = std::asin(s);
                radians.z = std::atan2(w * z + x * y, 0.5f - y * y - z * z);
            }
            return radians * DEGREES_PER_RADIAN;
        }

        void ReadOwnValues(const json& someProperties, const fs::path& aFile, SceneObject& anObject)
        {
            for (const json& property : someProperties)
            {
                const StringId name = impl::InternString(impl::Member(property, "name"));
                const StringId typeName = impl::InternString(impl::Member(property, "type"));
                const PropertyTypeBase* type = PropertyTypeBase::FindByName(typeName);
                if (!type)
                {
                    std::cout << "Skipping property \"" << name.CStr() << "\" of \"" << aFile.string() << "\": unknown type \""
                              << typeName.CStr() << "\"" << std::endl;
                    continue;
                }
                anObject.myOwnValues.push_back({name, type, PropertyValue(type, impl::Member(property, "value"))});
            }
        }

        SceneObject ReadSceneObject(const json& aRoot, const fs::path& aFile)
        {
            SceneObject object;
            object.myName = aRoot.value("name", std::string("unknown"));
            object.SetPath(nullptr, StringRegistry::RegisterOrGet(aRoot.value("path", std::string())));
            if (aRoot.contains("transform"))
            {
                DecomposeTransform(object, ReadMatrix(aRoot["transform"]));
            }
            if (aRoot.contains("translation"))
            {
                object.myTranslation = ReadVector3(aRoot["translation"]);
            }
            if (aRoot.contains("rotation"))
            {
                object.myRotation = ReadVector3(aRoot["rotation"]);
            }
            if (aRoot.contains("scale"))
            {
                object.myScale = ReadVector3(aRoot["scale"]);
            }
            if (aRoot.contains("object-definition"))
            {
                object.myDefinition = impl::InternString(aRoot["object-definition"]);
            }
            if (aRoot.contains("properties"))
            {
                ReadOwnValues(aRoot["properties"], aFile, object);
            }
            return object;
        }
    }

    bool LoadScene(const char* aScenePath, Scene& aScene)
    {
        const fs::path scenePath(aScenePath);
        aScene.myPath = aScenePath;
        aScene.myName = scenePath.stem().string();
        aScene.Clear();

        const fs::path folder = GameAssetsPath() / fs::path(scenePath).replace_extension(".leveldata");
        if (!fs::exists(folder))
        {
            return true;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        {
            const fs::path& file = entry.path();
            if (file.has_extension() || !entry.is_regular_file())
            {
                continue;
            }
            // Id 0 stands for none; a file that is not named by a UUID must not take it.
            const std::string fileName = file.filename().string();
            Platform::Uuid uuid;
            if (!Platform::UuidFromString(fileName.c_str(), uuid))
            {
                std::cout << "Skipping scene object file whose name is not a UUID: " << file.string() << std::endl;
                continue;
            }

            const std::optional<std::string> text = impl::ReadWholeFile(file);
            CU_ASSERT_MSG(text.has_value(), "obj_in");
            if (!text)
            {
                continue;
            }
            const json root = json::parse(*text);
            SceneObject object = ReadSceneObject(root, file);

            const std::uint32_t id = UuidRegistry::GetId(fileName.c_str());
            ++aScene.myPathCounts[object.GetPath()];
            aScene.myObjects[id] = std::make_shared<SceneObject>(std::move(object));
        }
        return true;
    }

    void DecomposeTransform(SceneObject& anObject, const Matrix4x4& aTransform)
    {
        Vector3<float> translation;
        Quaternion rotation;
        float scale[3];
        DecomposeMatrix(aTransform, translation, rotation, scale);
        if (scale[0] == 0.0f || scale[1] == 0.0f || scale[2] == 0.0f)
        {
            rotation = Quaternion();
        }
        anObject.myTranslation = translation;
        anObject.myRotation = EulerDegreesFrom(rotation);
        anObject.myScale = {scale[0], scale[1], scale[2]};
    }
}
