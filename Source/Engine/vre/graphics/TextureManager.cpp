#include "graphics/TextureManager.h"

#include "filewatcher/FileWatcher.h"
#include "image/ImageDecoder.h"
#include "loaders/DdsLoader.h"
#include "loaders/TargaLoader.h"
#include "loaders/TextureUploader.h"
#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

namespace Vra
{
    using Platform::Gpu::Format;

    namespace
    {
        constexpr std::uint32_t DEFAULT_TEXTURE_SIZE = 4;
        constexpr Vector2<float> PLACEHOLDER_RELATIVE_SIZE{0.3f, 0.3f};
        constexpr Vector2<std::uint32_t> PLACEHOLDER_SIZE{512, 512};

        std::uint32_t DdsFlags(TextureSrgbMode aMode)
        {
            switch (aMode)
            {
            case TextureSrgbMode::ForceSrgb: return DdsLoader::FORCE_SRGB;
            case TextureSrgbMode::IgnoreSrgb: return DdsLoader::IGNORE_SRGB;
            default: return DdsLoader::LOAD_DEFAULT;
            }
        }

        Format DecodedImageFormat(const Platform::DecodedImage& anImage, TextureSrgbMode aMode)
        {
            switch (aMode)
            {
            case TextureSrgbMode::ForceSrgb: return Format::R8G8B8A8_UNORM_SRGB;
            case TextureSrgbMode::IgnoreSrgb: return Format::R8G8B8A8_UNORM;
            default: return anImage.myIsSrgb ? Format::R8G8B8A8_UNORM_SRGB : Format::R8G8B8A8_UNORM;
            }
        }

        // The text after the last '.', compared as written.
        bool HasTargaExtension(const std::string& aPath)
        {
            const std::size_t dot = aPath.rfind('.');
            return dot != std::string::npos && aPath.compare(dot + 1, std::string::npos, "tga") == 0;
        }

        std::vector<std::uint8_t> Fill(std::uint32_t aWidth, std::uint32_t aHeight, const std::array<std::uint8_t, 4>& aPixel)
        {
            std::vector<std::uint8_t> pixels;
            pixels.reserve(std::size_t{aWidth} * aHeight * 4);
            for (std::uint32_t i = 0; i < aWidth * aHeight; ++i)
            {
                pixels.insert(pixels.end(), aPixel.begin(), aPixel.end());
            }
            return pixels;
        }
    }

    TextureManager::TextureManager(Services someServices)
        : myServices(std::move(someServices))
    {
    }

    TextureManager::~TextureManager() = default;

    std::string TextureManager::MakeKey(const std::string& aPath, TextureSrgbMode aMode)
    {
        switch (aMode)
        {
        case TextureSrgbMode::ForceSrgb: return aPath + "#SRGB";
        case TextureSrgbMode::IgnoreSrgb: return aPath + "#NO_SRGB";
        default: return aPath;
        }
    }

    TextureResource* TextureManager::GetTexture(const char* aPath, TextureSrgbMode aMode, bool aForceReload)
    {
        return Load(aPath, aMode, aForceReload, true);
    }

    TextureResource* TextureManager::LoadTexture(const char* aPath, TextureSrgbMode aMode, bool aForceReload)
    {
        return Load(aPath, aMode, aForceReload, false);
    }

    TextureResource* TextureManager::Load(const char* aPath, TextureSrgbMode aMode, bool aForceReload, bool aShowPlaceholder)
    {
        const std::string path = aPath ? aPath : "";
        const std::string key = MakeKey(path, aMode);
        bool isNewKey = false;
        {
            std::unique_lock lock(myMutex);
            myKeyLoaded.wait(lock, [&] { return !myLoadingKeys.contains(key); });
            const auto cached = myCache.find(key);
            if (cached != myCache.end() && !aForceReload)
            {
                return cached->second.get();
            }
            isNewKey = cached == myCache.end();
            myLoadingKeys.insert(key);
        }
        // The key is this thread's until the end: the file is found, watched and decoded without
        // the lock, and a failure on the way still hands the key back.
        struct KeyClaim
        {
            TextureManager& myManager;
            const std::string& myKey;
            ~KeyClaim() { myManager.FinishLoading(myKey); }
        } claim{*this, key};

        const std::string resolvedPath = ResolveAssetPath(path);
        TextureResource::View view;
        if (!resolvedPath.empty())
        {
            if (isNewKey && myServices.myFileWatcher)
            {
                myServices.myFileWatcher->WatchFileChange(resolvedPath, [this, key] { ReloadTexture(key); });
            }
            view = LoadView(resolvedPath, aMode);
        }
        std::lock_guard lock(myMutex);
        const auto cached = myCache.find(key);
        TextureResource* resource = cached != myCache.end() ? cached->second.get() : nullptr;
        if (!view && !aShowPlaceholder)
        {
            return nullptr;
        }
        if (!resource)
        {
            resource = myCache.emplace(key, std::make_unique<TextureResource>()).first->second.get();
        }
        if (!view)
        {
            // A failed reload keeps the resource others hold and shows the placeholder in it.
            ShowPlaceholder(*resource, path, aMode);
            return resource;
        }
        const Platform::Gpu::Texture2DDesc& desc = view->GetTexture2D()->GetDesc();
        const float renderHeight = static_cast<float>(myServices.myRenderHeight ? myServices.myRenderHeight() : desc.myHeight);
        resource->myPath = resolvedPath;
        resource->myRequestedPath = path;
        resource->SetView(std::move(view));
        resource->mySrgbMode = aMode;
        resource->myRelativeSize = {desc.myWidth / renderHeight, desc.myHeight / renderHeight};
        resource->mySize = {desc.myWidth, desc.myHeight};
        resource->myIsPlaceholder = false;
        return resource;
    }

    void TextureManager::FinishLoading(const std::string& aKey)
    {
        {
            std::lock_guard lock(myMutex);
            myLoadingKeys.erase(aKey);
        }
        myKeyLoaded.notify_all();
    }

    void TextureManager::ReloadTexture(const std::string& aKey)
    {
        std::string requestedPath;
        TextureSrgbMode mode = TextureSrgbMode::AsFile;
        {
            std::lock_guard lock(myMutex);
            const auto found = myCache.find(aKey);
            if (found == myCache.end())
            {
                return;
            }
            // Copies: the load rewrites the resource's own fields.
            requestedPath = found->second->myRequestedPath;
            mode = found->second->mySrgbMode;
        }
        GetTexture(requestedPath.c_str(), mode, true);
    }

    TextureResource::View TextureManager::LoadView(const std::string& aResolvedPath, TextureSrgbMode aMode) const
    {
        Platform::Gpu::Device& device = *myServices.myDevice;
        if (auto image = DdsLoader::LoadFile(aResolvedPath, DdsFlags(aMode)))
        {
            if (auto view = TextureUploader::FromDds(device, std::move(*image)))
            {
                return view;
            }
        }
        // The other loaders use the immediate context, which belongs to the main thread.
        if (!myServices.myIsOnMainThread || !myServices.myIsOnMainThread())
        {
            return nullptr;
        }
        if (const auto image = Platform::ImageDecoder::DecodeFile(aResolvedPath, MAX_IMAGE_SIZE))
        {
            if (auto view = TextureUploader::FromDecodedImage(device, *myServices.myContext, *image, DecodedImageFormat(*image, aMode)))
            {
                return view;
            }
        }
        if (HasTargaExtension(aResolvedPath))
        {
            if (const auto image = LoadTarga(std::filesystem::path(aResolvedPath).wstring().c_str()))
            {
                return TextureUploader::FromTarga(device, *image);
            }
        }
        return nullptr;
    }

    const TextureResource::View& TextureManager::MissingTextureView()
    {
        // Made on first need: the graphics engine fetches its cube maps before the defaults exist.
        if (!myMissingTextureView)
        {
            std::vector<std::uint8_t> pixels;
            for (std::uint32_t y = 0; y < MISSING_TEXTURE_SIZE; ++y)
            {
                for (std::uint32_t x = 0; x < MISSING_TEXTURE_SIZE; ++x)
                {
                    const bool magenta = (x + y) % 2 == 1;
                    pixels.insert(pixels.end(), {magenta ? std::uint8_t{255} : std::uint8_t{0}, 0,
                                                 magenta ? std::uint8_t{255} : std::uint8_t{0}, 255});
                }
            }
            myMissingTextureView = TextureUploader::FromPixels(*myServices.myDevice, MISSING_TEXTURE_SIZE, MISSING_TEXTURE_SIZE,
                                                               Format::R8G8B8A8_UNORM, pixels.data());
        }
        return myMissingTextureView;
    }

    std::vector<std::string> TextureManager::GetPlaceholderPaths() const
    {
        std::lock_guard lock(myMutex);
        std::vector<std::string> paths;
        for (const auto& [key, resource] : myCache)
        {
            if (resource && resource->myIsPlaceholder)
            {
                paths.push_back(resource->myRequestedPath);
            }
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    void TextureManager::ShowPlaceholder(TextureResource& aResource, const std::string& aPath, TextureSrgbMode aMode)
    {
        aResource.myPath = aPath;
        aResource.myRequestedPath = aPath;
        aResource.mySrgbMode = aMode;
        aResource.SetView(MissingTextureView());
        aResource.myIsPlaceholder = true;
        aResource.myRelativeSize = PLACEHOLDER_RELATIVE_SIZE;
        aResource.mySize = PLACEHOLDER_SIZE;
    }

    void TextureManager::CreateDefaultTextures()
    {
        std::lock_guard lock(myMutex);
        MissingTextureView();

        const auto white = Fill(DEFAULT_TEXTURE_SIZE, DEFAULT_TEXTURE_SIZE, {255, 255, 255, 255});
        myDefaultTexture = std::make_unique<TextureResource>();
        myDefaultTexture->myPath = "WhiteSquare";
        myDefaultTexture->SetView(TextureUploader::FromPixels(*myServices.myDevice, DEFAULT_TEXTURE_SIZE, DEFAULT_TEXTURE_SIZE,
                                                              Format::R8G8B8A8_UNORM, white.data()));
        myDefaultTexture->myRelativeSize = PLACEHOLDER_RELATIVE_SIZE;
        myDefaultTexture->mySize = PLACEHOLDER_SIZE;

        const auto flatNormal = Fill(DEFAULT_TEXTURE_SIZE, DEFAULT_TEXTURE_SIZE, {128, 128, 255, 255});
        myFlatNormalView = TextureUploader::FromPixels(*myServices.myDevice, DEFAULT_TEXTURE_SIZE, DEFAULT_TEXTURE_SIZE,
                                                       Format::R8G8B8A8_UNORM, flatNormal.data());
    }
}
