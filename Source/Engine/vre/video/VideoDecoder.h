#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
struct SwsContext;

namespace Vra
{
    class WaveOutPlayer;

    // Reads a video file with FFmpeg: pictures of its video stream converted to RGBA and, when
    // asked, its first audio stream resampled to 16-bit stereo at 44.1 kHz and played through
    // the wave-out device. Main thread only.
    class VideoDecoder
    {
    public:
        static constexpr int OPEN_SUCCESS = 0;
        static constexpr int OPEN_FAILURE = 1;
        static constexpr int OPEN_UNREADABLE = 2;
        // Most packets one DecodeFrame reads while looking for a picture.
        static constexpr int MAX_PACKETS_PER_DECODE = 10000;

        VideoDecoder();
        ~VideoDecoder();
        VideoDecoder(const VideoDecoder&) = delete;
        VideoDecoder& operator=(const VideoDecoder&) = delete;

        // OPEN_SUCCESS, OPEN_FAILURE (not a video FFmpeg can decode, or its audio cannot be
        // played), or OPEN_UNREADABLE (the file cannot be opened for reading).
        int Open(const char* aPath, bool aWithAudio);
        // Reads packets until one completes a picture; the result of the last read, negative at
        // the end of the file once the pictures the decoder still held have come out.
        int DecodeFrame();
        double GetFrameRate() const;
        void Rewind();
        // The pending picture into RGBA pixels of a texture of the given size (rows of
        // aTextureWidth pixels), top-left, the rest zero; false when no picture was decoded.
        bool CopyFrameTo(std::uint8_t* somePixels, std::uint32_t aTextureWidth, std::uint32_t aTextureHeight);
        void ResampleAudio();
        void Close();

        // The size of the last decoded picture; 0 before the first.
        std::uint32_t GetPictureWidth() const;
        std::uint32_t GetPictureHeight() const;
        std::uint32_t GetPicturesConverted() const { return myPicturesConverted; }
        // Null until the first audio packet.
        const WaveOutPlayer* GetAudioPlayer() const { return myAudioPlayer.get(); }
        const std::string& GetPath() const { return myPath; }

    private:
        int OpenAudio(AVStream& aStream);
        bool ReceivePicture();
        void DecodeAudioPacket();

        const AVCodec* myVideoCodec = nullptr;
        AVCodecContext* myVideoContext = nullptr;
        AVCodecContext* myAudioContext = nullptr;
        SwsContext* myScaler = nullptr;
        SwrContext* myResampler = nullptr;
        AVFormatContext* myFormat = nullptr;
        AVFrame* myPicture = nullptr;
        AVFrame* myDecodedPicture = nullptr;
        std::vector<std::uint8_t> myRgbaBuffer;
        AVFrame* myAudioFrame = nullptr;
        AVPacket* myPacket = nullptr;
        std::string myPath;
        int myResult = 0;
        std::uint32_t myPicturesConverted = 0;
        bool myGotPicture = false;
        // The file ended and the decoder is handing out the pictures it still held.
        bool myIsDraining = false;
        int myVideoStreamIndex = -1;
        AVStream* myAudioStream = nullptr;
        std::uint16_t myAudioChannels = 2;
        std::uint32_t myAudioSampleRate = 44100;
        std::uint32_t myAudioBytesPerSample = 2;
        std::vector<std::uint8_t> myAudioBlock;
        std::size_t myAudioBlocksConverted = 0;
        std::vector<std::uint8_t> myResampleBuffer;
        std::unique_ptr<WaveOutPlayer> myAudioPlayer;
    };
}
