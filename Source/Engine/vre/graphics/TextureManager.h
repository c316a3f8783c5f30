#pragma once
#include "graphics/TextureResource.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Platform::Gpu
{
    class Device;
    class DeviceContext;
}

namespace Vra
{
    class FileWatcher;

    // Loads textures by asset path and keeps each one for its own lifetime, so callers may hold
    // plain pointers. GetTexture never fails: what cannot be loaded becomes a placeholder showing
    // a black-and-magenta checkerboard, cached under the same key. Safe to call from a loading
    // task and the main thread at once; files other than DDS load on the main thread only.
    class TextureManager
    {
    public:
        // What the manager works with; the engine hands it its own device and watcher.
        struct Services
        {
            Platform::Gpu::Device* myDevice = nullptr;
            Platform::Gpu::DeviceContext* myContext = nullptr; // the immediate context
            FileWatcher* myFileWatcher = nullptr;              // none: no hot reload
            std::function<bool()> myIsOnMainThread;
            std::function<std::uint32_t()> myRenderHeight;
        };

        static constexpr std::uint32_t MISSING_TEXTURE_SIZE = 16;
        static constexpr std::uint32_t MAX_IMAGE_SIZE = Platform::Gpu::MAX_TEXTURE_SIZE;

        explicit TextureManager(Services someServices);
        ~TextureManager();
        TextureManager(const TextureManager&) = delete;
        TextureManager& operator=(const TextureManager&) = delete;

        // Never null.
        TextureResource* GetTexture(const char* aPath, TextureSrgbMode aMode, bool aForceReload = false);
        // Null when the path resolves to no file or no loader accepts it.
        TextureResource* LoadTexture(const char* aPath, TextureSrgbMode aMode, bool aForceReload);
        // The file watcher's callback. The resource is updated in place: every holder sees the new
        // texture. A reload that fails shows the placeholder in that same resource until the
        // file changes again and loads.
        void ReloadTexture(const std::string& aKey);
        void CreateDefaultTextures();

        // "WhiteSquare", what sprites without a colour texture use.
        TextureResource* GetDefaultTexture() const { return myDefaultTexture.get(); }
        const TextureResource::View& GetMissingTextureView() const { return myMissingTextureView; }
        const TextureResource::View& GetFlatNormalView() const { return myFlatNormalView; }
        // The requested paths of the cached textures that show the placeholder, sorted.
        std::vector<std::string> GetPlaceholderPaths() const;

        // The requested path with "#SRGB" or "#NO_SRGB" appended for modes 1 and 2.
        static std::string MakeKey(const std::string& aPath, TextureSrgbMode aMode);

    private:
        // LoadTexture, and with aShowPlaceholder GetTexture: a key that loads nothing then shows
        // the placeholder, made in the same step that ends the key's load.
        TextureResource* Load(const char* aPath, TextureSrgbMode aMode, bool aForceReload, bool aShowPlaceholder);
        TextureResource::View LoadView(const std::string& aResolvedPath, TextureSrgbMode aMode) const;
        const TextureResource::View& MissingTextureView();
        void ShowPlaceholder(TextureResource& aResource, const std::string& aPath, TextureSrgbMode aMode);
        void FinishLoading(const std::string& aKey);

        std::unordered_map<std::string, std::unique_ptr<TextureResource>> myCache;
        TextureResource::View myMissingTextureView;
        TextureResource::View myFlatNormalView;
        std::unique_ptr<TextureResource> myDefaultTexture;
        Services myServices;
        // Guards the cache and the keys being loaded, never a file's decoding: a thread fetching a
        // cached texture does not wait for another's load. Two threads asking for one key load it
        // once; the second waits for that key alone.
        mutable std::mutex myMutex;
        std::condition_variable myKeyLoaded;
        std::unordered_set<std::string> myLoadingKeys;
    };
}
