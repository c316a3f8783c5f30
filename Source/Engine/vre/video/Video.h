#pragma once
#include "Math/Vector2.h"
#include "graphics/TextureResource.h"
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <memory>

namespace Vra
{
    class VideoDecoder;

    // A video file played into a texture that the game draws as a sprite. Update advances by the
    // frame time it is given and copies one decoded picture into the texture per elapsed frame
    // period. The texture has a power-of-two size with the picture in its top-left corner and
    // the rest zero. Main thread only.
    class Video
    {
    public:
        static constexpr int STATUS_PLAYING = 1;
        static constexpr int STATUS_FINISHED = 2;

        Video();
        ~Video();
        Video(const Video&) = delete;
        Video& operator=(const Video&) = delete;

        // Opens the file, decodes its first picture and makes the texture; false for a missing,
        // unreadable or pictureless file, for a picture whose texture cannot be made (too large:
        // a message says so) and for every call after the first.
        bool Init(const char* aPath, bool aPlayAudio);
        void Play(bool aLooping);
        void Update(float aDeltaTime);

        // The frame texture for a sprite's colour texture; none before a successful Init.
        TextureResource* GetTexture() const { return myTextureResource.get(); }
        Vector2<std::uint32_t> GetVideoSize() const { return {myVideoWidth, myVideoHeight}; }
        Vector2<std::uint32_t> GetTextureSize() const { return {myTextureWidth, myTextureHeight}; }
        // 0 before Init, then STATUS_PLAYING; STATUS_FINISHED once a decode reached the end (a
        // looping video rewinds then and stays finished).
        int GetStatus() const { return myStatus; }
        bool IsPlaying() const { return myIsPlaying; }
        bool IsLooping() const { return myIsLooping; }
        // Pictures copied into the texture so far.
        std::uint32_t GetPicturesShown() const;
        // None before Init.
        const VideoDecoder* GetDecoder() const { return myDecoder.get(); }

        // The texture side for a picture side: 2 raised to the ceiling of log2 of it.
        static std::uint32_t TextureSizeFor(std::uint32_t aSize);

    private:
        bool CreateTexture();
        // Maps the texture with write-discard and copies the pending picture in; false when the
        // map fails.
        bool CopyPictureToTexture();

        std::unique_ptr<TextureResource> myTextureResource;
        std::unique_ptr<VideoDecoder> myDecoder;
        Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> myView;
        Platform::Gpu::Ref<Platform::Gpu::Texture2D> myTexture;
        std::uint32_t myVideoWidth = 0;
        std::uint32_t myVideoHeight = 0;
        float myTimeAccumulator = 0.0f;
        int myStatus = 0;
        bool myIsPlaying = false;
        bool myIsLooping = false;
        std::uint32_t myTextureWidth = 0;
        std::uint32_t myTextureHeight = 0;
    };
}
