#include "video/Video.h"

#include "graphics/DX11.h"
#include "video/VideoDecoder.h"

#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

#include <cmath>
#include <iostream>

namespace Vra
{
    namespace
    {
        // For a file that names no usable frame rate, so that it still plays to its end.
        constexpr double FALLBACK_FRAME_RATE = 25.0;
    }

    Video::Video() = default;

    Video::~Video()
    {
        myTextureResource.reset();
        myDecoder.reset();
        myTexture.reset();
        myView.reset();
    }

    std::uint32_t Video::TextureSizeFor(std::uint32_t aSize)
    {
        return static_cast<std::uint32_t>(std::pow(2.0f, std::ceil(std::log2(static_cast<float>(aSize)))));
    }

    bool Video::Init(const char* aPath, bool aPlayAudio)
    {
        if (myDecoder)
        {
            return false;
        }
        myDecoder = std::make_unique<VideoDecoder>();
        const int opened = myDecoder->Open(aPath, aPlayAudio);
        if (opened == VideoDecoder::OPEN_FAILURE || opened == VideoDecoder::OPEN_UNREADABLE)
        {
            return false;
        }
        myDecoder->DecodeFrame();
        myVideoWidth = myDecoder->GetPictureWidth();
        myVideoHeight = myDecoder->GetPictureHeight();
        // A file whose first decode gives no picture has no size to make a texture of.
        if (myVideoWidth == 0 || myVideoHeight == 0)
        {
            return false;
        }
        myTextureWidth = TextureSizeFor(myVideoWidth);
        myTextureHeight = TextureSizeFor(myVideoHeight);
        if (!myView && !CreateTexture())
        {
            return false;
        }
        myStatus = STATUS_PLAYING;
        // The first picture shows until the first frame period has passed.
        CopyPictureToTexture();
        myTimeAccumulator = 0.0f;
        return true;
    }

    bool Video::CreateTexture()
    {
        if (!DX11::Device)
        {
            return false;
        }
        Platform::Gpu::Texture2DDesc description;
        description.myWidth = myTextureWidth;
        description.myHeight = myTextureHeight;
        description.myMipLevels = 1;
        description.myArraySize = 1;
        description.myFormat = Platform::Gpu::Format::R8G8B8A8_UNORM_SRGB;
        description.mySampleDesc.myCount = 1;
        description.myUsage = Platform::Gpu::Usage::Dynamic;
        description.myBindFlags = Platform::Gpu::BIND_SHADER_RESOURCE;
        description.myCpuAccessFlags = Platform::Gpu::CPU_ACCESS_WRITE;
        // A picture past the texture limit (its power of two above 16384) is no reason to end the
        // program: the video fails to start and the game goes on without it.
        if (FAILED(DX11::Device->CreateTexture2D(description, nullptr, &myTexture)) ||
            FAILED(DX11::Device->CreateShaderResourceView(myTexture, nullptr, &myView)))
        {
            std::cout << "Failed to create a " << myTextureWidth << " x " << myTextureHeight << " texture for the video "
                      << myDecoder->GetPath() << " (" << myVideoWidth << " x " << myVideoHeight << ")" << std::endl;
            myView.reset();
            myTexture.reset();
            return false;
        }
        myTextureResource = std::make_unique<TextureResource>();
        myTextureResource->SetView(myView);
        myTextureResource->myPath = myDecoder->GetPath();
        myTextureResource->myRequestedPath = myDecoder->GetPath();
        myTextureResource->mySize = {myTextureWidth, myTextureHeight};
        return true;
    }

    void Video::Play(bool aLooping)
    {
        myIsPlaying = true;
        myIsLooping = aLooping;
    }

    void Video::Update(float aDeltaTime)
    {
        if (!myIsPlaying || !myDecoder)
        {
            return;
        }
        myTimeAccumulator += aDeltaTime;
        double frameRate = myDecoder->GetFrameRate();
        if (!std::isfinite(frameRate) || frameRate <= 0.0)
        {
            frameRate = FALLBACK_FRAME_RATE;
        }
        const double framePeriod = 1.0 / frameRate;
        while (myTimeAccumulator >= framePeriod)
        {
            if (myTexture && myView)
            {
                if (myDecoder->DecodeFrame() < 0)
                {
                    myStatus = STATUS_FINISHED;
                    if (myIsLooping)
                    {
                        myDecoder->Rewind();
                    }
                }
                if (!CopyPictureToTexture())
                {
                    break;
                }
            }
            myTimeAccumulator -= static_cast<float>(1.0 / frameRate);
        }
    }

    bool Video::CopyPictureToTexture()
    {
        Platform::Gpu::MappedSubresource mapped;
        if (FAILED(DX11::Context->Map(myTexture, 0, Platform::Gpu::MapType::WriteDiscard, 0, &mapped)))
        {
            return false;
        }
        myDecoder->CopyFrameTo(static_cast<std::uint8_t*>(mapped.myData), myTextureWidth, myTextureHeight);
        DX11::Context->Unmap(myTexture, 0);
        return true;
    }

    std::uint32_t Video::GetPicturesShown() const
    {
        return myDecoder ? myDecoder->GetPicturesConverted() : 0;
    }
}
