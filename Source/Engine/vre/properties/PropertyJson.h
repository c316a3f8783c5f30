#pragma once
#include "properties/AnimationClipReference.h"
#include "properties/CopyOnWriteWrapper.h"
#include "properties/PoseAndMotion.h"
#include "properties/SceneModel.h"
#include "properties/SceneReference.h"
#include "properties/SceneSprite.h"
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "Math/Vector3.h"
#include "Math/Vector4.h"
#include "stringRegistry/StringId.h"

#include <nlohmann/json.hpp>

#include <cstdint>

// The JSON forms of the property values. Readers fill an already constructed value and let the
// JSON library's exceptions pass; arrays are read by index and never past their end.
namespace Vra::impl
{
    void ReadPropertyJson(bool& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(std::int32_t& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(float& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(Vector2<float>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(Vector3<float>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(Vector4<float>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(Color& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(StringId& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(PoseAndMotion& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(CopyOnWriteWrapper<SceneReference>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(CopyOnWriteWrapper<AnimationClipReference>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(CopyOnWriteWrapper<SceneModel>& aValue, const nlohmann::json& aJson);
    void ReadPropertyJson(CopyOnWriteWrapper<SceneSprite>& aValue, const nlohmann::json& aJson);

    nlohmann::json WritePropertyJson(bool aValue);
    nlohmann::json WritePropertyJson(std::int32_t aValue);
    nlohmann::json WritePropertyJson(float aValue);
    nlohmann::json WritePropertyJson(const Vector2<float>& aValue);
    nlohmann::json WritePropertyJson(const Vector3<float>& aValue);
    nlohmann::json WritePropertyJson(const Vector4<float>& aValue);
    nlohmann::json WritePropertyJson(const Color& aValue);
    nlohmann::json WritePropertyJson(StringId aValue);
    nlohmann::json WritePropertyJson(const PoseAndMotion& aValue);
    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneReference>& aValue);
    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<AnimationClipReference>& aValue);
    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneModel>& aValue);
    nlohmann::json WritePropertyJson(const CopyOnWriteWrapper<SceneSprite>& aValue);

    // Element anIndex of a JSON array read as a number: the library's type error 305 when the value
    // is not an array, its out-of-range error 401 when the array is too short.
    float ReadFloatElement(const nlohmann::json& anArray, std::size_t anIndex);
}
