#include "scene/SceneSerialize.h"

#include "Assert.h"
#include "Math/MatrixDecomposition.h"
#include "Math/Quaternion.h"
#include "properties/PropertyTypeBase.h"
#include "scene/JsonReading.h"
#include "scene/ParallelJsonReader.h"
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
#include <string>
#include <vector>

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

        // The file's path is put together only for a message.
        void ReadOwnValues(const json& someProperties, const fs::path& aFolder, const std::string& aName, SceneObject& anObject)
        {
            if (someProperties.is_array())
            {
                anObject.myOwnValues.reserve(someProperties.size());
            }
            for (const json& property : someProperties)
            {
                const StringId name = impl::InternString(impl::Member(property, "name"));
                const StringId typeName = impl::InternString(impl::Member(property, "type"));
                const PropertyTypeBase* type = PropertyTypeBase::FindByName(typeName);
                if (!type)
                {
                    std::cout << "Skipping property \"" << name.CStr() << "\" of \"" << (aFolder / aName).string() << "\": unknown type \""
                              << typeName.CStr() << "\"" << std::endl;
                    continue;
                }
                anObject.myOwnValues.push_back({name, type, PropertyValue(type, impl::Member(property, "value"))});
            }
        }

        // The member aKey of an object already known to be one; null when absent.
        const json* Find(const json& anObject, const char* aKey)
        {
            const auto found = anObject.find(aKey);
            return found != anObject.end() ? &*found : nullptr;
        }

        void ReadSceneObject(const json& aRoot, const fs::path& aFolder, const std::string& aName, SceneObject& anObject)
        {
            anObject.myName = aRoot.value("name", std::string("unknown"));
            anObject.SetPath(nullptr, StringRegistry::RegisterOrGet(aRoot.value("path", std::string())));
            if (const json* transform = Find(aRoot, "transform"))
            {
                DecomposeTransform(anObject, ReadMatrix(*transform));
            }
            if (const json* translation = Find(aRoot, "translation"))
            {
                anObject.myTranslation = ReadVector3(*translation);
            }
            if (const json* rotation = Find(aRoot, "rotation"))
            {
                anObject.myRotation = ReadVector3(*rotation);
            }
            if (const json* scale = Find(aRoot, "scale"))
            {
                anObject.myScale = ReadVector3(*scale);
            }
            if (const json* definition = Find(aRoot, "object-definition"))
            {
                anObject.myDefinition = impl::InternString(*definition);
            }
            if (const json* properties = Find(aRoot, "properties"))
            {
                ReadOwnValues(*properties, aFolder, aName, anObject);
            }
        }

        struct ListedFile
        {
            std::string myName;
            bool myIsNamedByUuid = false;
        };

        // The plain files without an extension, in the folder's own order.
        std::vector<ListedFile> ListObjectFiles(const fs::path& aFolder)
        {
            std::vector<ListedFile> files;
            for (const fs::directory_entry& entry : fs::directory_iterator(aFolder))
            {
                const fs::path& file = entry.path();
                if (file.has_extension() || !entry.is_regular_file())
                {
                    continue;
                }
                // Id 0 stands for none; a file that is not named by a UUID must not take it.
                ListedFile& listed = files.emplace_back();
                listed.myName = file.filename().string();
                Platform::Uuid uuid;
                listed.myIsNamedByUuid = Platform::UuidFromString(listed.myName.c_str(), uuid);
            }
            return files;
        }
    }

    bool LoadScene(const char* aScenePath, Scene& aScene)
    {
        return impl::LoadScene(aScenePath, aScene, 0);
    }

    bool impl::LoadScene(const char* aScenePath, Scene& aScene, unsigned aThreadCount)
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
        const std::vector<ListedFile> listed = ListObjectFiles(folder);
        std::vector<std::string> objectNames;
        for (const ListedFile& file : listed)
        {
            if (file.myIsNamedByUuid)
            {
                objectNames.push_back(file.myName);
            }
        }
        const unsigned threadCount = aThreadCount > 0 ? aThreadCount : ChooseReaderThreadCount(objectNames.size());
        ParallelJsonReader reader(folder, std::move(objectNames), threadCount);

        // Whatever hands out ids or prints happens here, in the folder's order.
        for (const ListedFile& listedFile : listed)
        {
            if (!listedFile.myIsNamedByUuid)
            {
                std::cout << "Skipping scene object file whose name is not a UUID: " << (folder / listedFile.myName).string()
                          << std::endl;
                continue;
            }
            const json* root = reader.TakeNext();
            CU_ASSERT_MSG(root != nullptr, "obj_in");
            if (!root)
            {
                continue;
            }
            auto object = std::make_shared<SceneObject>();
            ReadSceneObject(*root, folder, listedFile.myName, *object);

            const std::uint32_t id = UuidRegistry::GetId(listedFile.myName.c_str());
            ++aScene.myPathCounts[object->GetPath()];
            aScene.myObjects[id] = std::move(object);
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
