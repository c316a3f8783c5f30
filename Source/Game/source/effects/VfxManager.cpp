#include "effects/VfxManager.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <utility>

namespace
{
    using Json = nlohmann::json;

    // The two reject messages have always used the Windows-1252 em dash.
    constexpr const char* EM_DASH = "\x97";

    // Taken only when present as an array of exactly two numbers' worth of elements.
    void ReadPair(const Json& aDefinition, const char* aKey, Vra::Vector2f& aValue)
    {
        const auto found = aDefinition.find(aKey);
        if (found != aDefinition.end() && found->is_array() && found->size() == 2)
        {
            aValue = { (*found)[0].get<float>(), (*found)[1].get<float>() };
        }
    }

    // A sheet's columns or rows as a 32-bit integer: a fraction is truncated toward zero, true
    // and false count 1 and 0, anything below 1 is 0 (the empty sheet). False for a count above
    // the most a sheet is cut into, which also keeps every number outside the integer range
    // from being converted. A key that is no number throws the JSON library's type error.
    bool ReadFrameCount(const Json& aDefinition, const char* aKey, std::int32_t& aCount)
    {
        const auto found = aDefinition.find(aKey);
        if (found == aDefinition.end())
        {
            aCount = 1;
            return true;
        }
        const double count = found->is_boolean() ? (found->get<bool>() ? 1.0 : 0.0) : found->get<double>();
        if (!(std::trunc(count) <= static_cast<double>(VfxManager::MAX_FRAMES_PER_SIDE)))
        {
            return false;
        }
        aCount = count < 1.0 ? 0 : static_cast<std::int32_t>(count);
        return true;
    }

    std::vector<Vra::Vector4<float>> CutFrames(std::int32_t aColumns, std::int32_t aRows)
    {
        std::vector<Vra::Vector4<float>> frames;
        if (aColumns <= 0 || aRows <= 0)
        {
            return frames;
        }
        const float columnWidth = 1.0f / static_cast<float>(aColumns);
        const float rowHeight = 1.0f / static_cast<float>(aRows);
        frames.reserve(static_cast<std::size_t>(aColumns) * static_cast<std::size_t>(aRows));
        for (std::int32_t row = 0; row < aRows; ++row)
        {
            for (std::int32_t column = 0; column < aColumns; ++column)
            {
                frames.push_back({ static_cast<float>(column) * columnWidth, static_cast<float>(row) * rowHeight,
                                   static_cast<float>(column + 1) * columnWidth, static_cast<float>(row + 1) * rowHeight });
            }
        }
        return frames;
    }

    // The sheet, or null when the texture manager could only give its placeholder.
    Vra::TextureResource* FetchSheet(const std::string& aPath)
    {
        Vra::Engine* const engine = Vra::Engine::GetInstance();
        if (!engine || !engine->GetTextureManager())
        {
            return nullptr;
        }
        Vra::TextureResource* const texture = engine->GetTextureManager()->GetTexture(aPath.c_str(), Vra::TextureSrgbMode::ForceSrgb, false);
        return texture && !texture->myIsPlaceholder ? texture : nullptr;
    }

    void LoadDefinition(const Json& anElement, std::unordered_map<std::string, VfxDefinition>& someDefinitions)
    {
        if (!anElement.is_object())
        {
            std::cout << "Invalid VFX definition: not an object." << std::endl;
            return;
        }
        const std::string name = anElement.value("name", std::string());
        const std::string texturePath = anElement.value("texture", std::string());
        std::int32_t columns = 0;
        std::int32_t rows = 0;
        for (const auto& [key, count] : { std::pair<const char*, std::int32_t*>{ "framesX", &columns }, { "framesY", &rows } })
        {
            if (!ReadFrameCount(anElement, key, *count))
            {
                std::cout << "Invalid VFX definition: " << key << " above " << VfxManager::MAX_FRAMES_PER_SIDE << "." << std::endl;
                return;
            }
        }
        VfxDefinition read;
        read.myFrameTime = anElement.value("frameTime", 0.05f);
        ReadPair(anElement, "startSize", read.myStartSize);
        read.myEndSize = read.myStartSize;
        ReadPair(anElement, "endSize", read.myEndSize);
        ReadPair(anElement, "pivot", read.myPivot);

        if (name.empty() || texturePath.empty())
        {
            std::cout << "Invalid VFX definition: missing name or texture." << std::endl;
            return;
        }
        read.myTexture = FetchSheet(texturePath);
        if (!read.myTexture)
        {
            std::cout << "ERROR: Failed to load texture for VFX '" << name << "' from path: " << texturePath << "\n";
            return;
        }
        read.myFrames = CutFrames(columns, rows);
        // Overwritten in place: live instances point at the entry and follow the new values.
        someDefinitions[name] = std::move(read);
        std::cout << "Loaded VFX definition: " << name << " with texture: " << texturePath << std::endl;
    }

    void UpdateInstance(VfxInstance& anInstance, float aDeltaTime)
    {
        const VfxDefinition& definition = *anInstance.myDefinition;
        const auto frameCount = static_cast<std::int32_t>(definition.myFrames.size());
        anInstance.myFrameTimer += aDeltaTime;
        anInstance.myElapsed += aDeltaTime;

        // At most one frame per update: the timer restarts rather than carrying the rest over.
        if (anInstance.myFrameTimer >= definition.myFrameTime)
        {
            ++anInstance.myFrame;
            anInstance.myFrameTimer = 0.0f;
            if (anInstance.myFrame >= frameCount)
            {
                if (anInstance.myIsLooping)
                {
                    anInstance.myFrame = 0;
                }
                else
                {
                    anInstance.myIsActive = false;
                }
            }
        }

        // Without a positive lifetime (a frame time of 0 or less) there is nothing to divide by: the
        // effect shows its end size.
        float sizeFactor = 1.0f;
        if (anInstance.myLifetime > 0.0f)
        {
            const float progress = anInstance.myElapsed / anInstance.myLifetime;
            sizeFactor = anInstance.myIsLooping ? std::fmod(progress, 1.0f) : std::clamp(progress, 0.0f, 1.0f);
        }

        // A definition reloaded with fewer frames can leave the index past its end.
        if (anInstance.myFrame >= frameCount)
        {
            if (anInstance.myIsLooping && frameCount > 0)
            {
                anInstance.myFrame = 0;
            }
            else
            {
                anInstance.myIsActive = false;
                return;
            }
        }
        anInstance.mySprite.myTextureRectangle = definition.myFrames[static_cast<std::size_t>(anInstance.myFrame)];
        anInstance.mySprite.mySize = definition.myStartSize + (definition.myEndSize - definition.myStartSize) * sizeFactor;
    }
}

VfxManager& VfxManager::GetInstance()
{
    static VfxManager ourInstance;
    return ourInstance;
}

void VfxManager::Load()
{
    LoadFromFile(DEFINITIONS_FILE);
}

void VfxManager::LoadFromFile(const std::string& aPath)
{
    std::ifstream file(aPath);
    if (!file.is_open())
    {
        std::cout << "Failed to open VFX definitions file: " << aPath << std::endl;
        return;
    }
    Json root;
    try
    {
        root = Json::parse(file);
    }
    catch (const Json::exception& anError)
    {
        // A broken table leaves the effects known so far; the game runs on without the rest.
        std::cout << "Invalid VFX definitions file: " << aPath << ": " << anError.what() << std::endl;
        return;
    }
    if (!root.is_object() || !root.contains("VFX"))
    {
        std::cout << "Invalid VFX definitions file: missing 'vfx' array." << std::endl;
        return;
    }
    const Json& list = root["VFX"];
    if (!list.is_array())
    {
        std::cout << "Invalid VFX definitions file: missing 'vfx' array." << std::endl;
        return;
    }
    for (const Json& element : list)
    {
        try
        {
            LoadDefinition(element, myDefinitions);
        }
        catch (const Json::exception& anError)
        {
            std::cout << "Invalid VFX definition: " << anError.what() << std::endl;
        }
    }
}

const VfxDefinition* VfxManager::FindDefinition(const std::string& aName) const
{
    const auto found = myDefinitions.find(aName);
    return found == myDefinitions.end() ? nullptr : &found->second;
}

void VfxManager::Spawn(const std::string& aName, const Vra::Vector2f& aPosition, bool aLoop, bool aFlipX, float aRotation)
{
    const VfxDefinition* const definition = FindDefinition(aName);
    if (!definition)
    {
        std::cout << "ERROR: Cannot spawn VFX '" << aName << "': no effect of that name is defined.\n";
        return;
    }
    if (!definition->myTexture)
    {
        std::cout << "ERROR: Cannot spawn VFX '" << aName << "' " << EM_DASH << " texture is null!\n";
        return;
    }
    if (definition->myFrames.empty())
    {
        std::cout << "ERROR: Cannot spawn VFX '" << aName << "' " << EM_DASH << " UVs are empty!\n";
        return;
    }

    VfxInstance instance;
    instance.myDefinition = definition;
    instance.mySprite.myPosition = aPosition;
    instance.mySprite.myPivot = definition->myPivot;
    instance.mySprite.mySize = definition->myStartSize;
    instance.mySprite.myScale = { aFlipX ? -1.0f : 1.0f, 1.0f };
    instance.mySprite.myClipRectangle = { 0.0f, 0.0f, 1.0f, 1.0f };
    instance.mySprite.myColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    instance.mySprite.myTextureRectangle = definition->myFrames.front();
    instance.mySprite.myRotation = aRotation;
    instance.mySprite.myIsHidden = false;
    instance.mySharedData.myColorTexture = definition->myTexture;
    instance.myLifetime = static_cast<float>(definition->myFrames.size()) * definition->myFrameTime;
    instance.myIsActive = true;
    instance.myIsLooping = aLoop;

    std::cout << "Spawning VFX: " << aName << " at position (" << aPosition.x << ", " << aPosition.y << ")\n";
    myInstances.push_back(instance);
}

void VfxManager::Update(float aDeltaTime)
{
    for (VfxInstance& instance : myInstances)
    {
        UpdateInstance(instance, aDeltaTime);
    }
    myInstances.erase(std::remove_if(myInstances.begin(), myInstances.end(), [](const VfxInstance& anInstance) { return !anInstance.myIsActive; }),
                      myInstances.end());
}

void VfxManager::StopLooping()
{
    myInstances.erase(std::remove_if(myInstances.begin(), myInstances.end(), [](const VfxInstance& anInstance) { return anInstance.myIsLooping; }),
                      myInstances.end());
}

void VfxManager::Render() const
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    Vra::SpriteDrawer& drawer = engine->GetGraphicsEngine()->GetSpriteDrawer();
    for (const VfxInstance& instance : myInstances)
    {
        Vra::SpriteBatchScope batch = drawer.BeginBatch(instance.mySharedData);
        batch.Draw(instance.mySprite);
    }
}
