#include "loaders/TextureUploader.h"

#include "image/ImageDecoder.h"

#include <memory>
#include <vector>

namespace Vra
{
    using namespace Platform::Gpu;

    namespace
    {
        TextureUploader::View ViewOf(Device& aDevice, const Ref<Texture2D>& aTexture, const ShaderResourceViewDesc* aDesc)
        {
            TextureUploader::View view;
            if (!aTexture || FAILED(aDevice.CreateShaderResourceView(aTexture, aDesc, &view)))
            {
                return nullptr;
            }
            return view;
        }
    }

    TextureUploader::View TextureUploader::FromDds(Device& aDevice, ImageData&& anImage)
    {
        Texture2DDesc desc;
        desc.myWidth = anImage.myWidth;
        desc.myHeight = anImage.myHeight;
        desc.myMipLevels = anImage.myMipCount;
        desc.myArraySize = anImage.myFaceCount;
        desc.myFormat = static_cast<Format>(anImage.myFormat);
        desc.myUsage = Usage::Default;
        desc.myBindFlags = BIND_SHADER_RESOURCE;
        desc.myMiscFlags = anImage.myIsCube ? std::uint32_t{RESOURCE_MISC_TEXTURECUBE} : 0u;

        // Surfaces lie face by face with every mip, the order the GPU layer numbers subresources in.
        const auto storage = std::make_shared<const std::vector<std::uint8_t>>(std::move(anImage.myBytes));
        std::vector<SubresourceData> initialData;
        initialData.reserve(anImage.mySurfaces.size());
        for (const ImageSurface& surface : anImage.mySurfaces)
        {
            initialData.push_back({storage->data() + surface.myOffset, static_cast<std::uint32_t>(surface.myRowPitch),
                                   static_cast<std::uint32_t>(surface.mySize)});
        }
        Ref<Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(desc, initialData.data(), storage, &texture)))
        {
            return nullptr;
        }
        if (!anImage.myIsCube)
        {
            return ViewOf(aDevice, texture, nullptr);
        }
        ShaderResourceViewDesc viewDesc;
        viewDesc.myFormat = desc.myFormat;
        viewDesc.myViewDimension = SrvDimension::TextureCube;
        viewDesc.myMostDetailedMip = 0;
        viewDesc.myMipLevels = anImage.myMipCount;
        viewDesc.myArraySize = 6;
        return ViewOf(aDevice, texture, &viewDesc);
    }

    TextureUploader::View TextureUploader::FromDecodedImage(Device& aDevice, DeviceContext& aContext,
                                                            const Platform::DecodedImage& anImage, Format aFormat)
    {
        Texture2DDesc desc;
        desc.myWidth = anImage.myWidth;
        desc.myHeight = anImage.myHeight;
        desc.myMipLevels = 0; // the full chain
        desc.myFormat = aFormat;
        desc.myUsage = Usage::Default;
        desc.myBindFlags = BIND_SHADER_RESOURCE | BIND_RENDER_TARGET;
        desc.myMiscFlags = RESOURCE_MISC_GENERATE_MIPS;
        Ref<Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(desc, nullptr, &texture)))
        {
            return nullptr;
        }
        View view = ViewOf(aDevice, texture, nullptr);
        if (!view)
        {
            return nullptr;
        }
        aContext.UpdateSubresource(texture, 0, nullptr, anImage.myPixels.data(), anImage.myWidth * 4,
                                   static_cast<std::uint32_t>(anImage.myPixels.size()));
        aContext.GenerateMips(view);
        return view;
    }

    TextureUploader::View TextureUploader::FromTarga(Device& aDevice, const TargaImage& anImage)
    {
        Texture2DDesc desc;
        desc.myWidth = anImage.myWidth;
        desc.myHeight = anImage.myHeight;
        desc.myMipLevels = 1;
        desc.myFormat = Format::R8G8B8A8_UNORM_SRGB;
        desc.myUsage = Usage::Dynamic;
        desc.myBindFlags = BIND_SHADER_RESOURCE;
        desc.myCpuAccessFlags = CPU_ACCESS_WRITE;
        const SubresourceData initialData{anImage.myPixels.data(), std::uint32_t{anImage.myWidth} * 4, 0};
        Ref<Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(desc, &initialData, &texture)))
        {
            return nullptr;
        }
        return ViewOf(aDevice, texture, nullptr);
    }

    TextureUploader::View TextureUploader::FromPixels(Device& aDevice, std::uint32_t aWidth, std::uint32_t aHeight,
                                                      Format aFormat, const std::uint8_t* somePixels)
    {
        Texture2DDesc desc;
        desc.myWidth = aWidth;
        desc.myHeight = aHeight;
        desc.myMipLevels = 1;
        desc.myFormat = aFormat;
        desc.myUsage = Usage::Default;
        desc.myBindFlags = BIND_SHADER_RESOURCE;
        const SubresourceData initialData{somePixels, aWidth * 4, 0};
        Ref<Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(desc, &initialData, &texture)))
        {
            return nullptr;
        }
        return ViewOf(aDevice, texture, nullptr);
    }
}
