#include "video/VideoDecoder.h"

#include "video/WaveOutPlayer.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>

namespace Vra
{
    namespace
    {
        constexpr std::uint32_t AUDIO_BLOCK_COUNT = 16;
        constexpr std::uint32_t AUDIO_BLOCK_SIZE = 4096;
        // Rows of the converted picture start on this many bytes, as swscale's vector code likes.
        constexpr int RGBA_ROW_ALIGNMENT = 64;

        double Rate(AVRational aRate)
        {
            return aRate.num != 0 && aRate.den != 0 ? av_q2d(aRate) : 0.0;
        }
    }

    VideoDecoder::VideoDecoder() = default;

    VideoDecoder::~VideoDecoder()
    {
        Close();
    }

    int VideoDecoder::Open(const char* aPath, bool aWithAudio)
    {
        Close();
        if (aPath == nullptr || !std::ifstream(aPath, std::ios::binary))
        {
            return OPEN_UNREADABLE;
        }
        myPath = aPath;
        if (avformat_open_input(&myFormat, aPath, nullptr, nullptr) < 0)
        {
            return OPEN_FAILURE;
        }
        if (avformat_find_stream_info(myFormat, nullptr) >= 0)
        {
            for (unsigned int i = 0; i < myFormat->nb_streams; ++i)
            {
                AVStream* stream = myFormat->streams[i];
                if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                {
                    myVideoStreamIndex = static_cast<int>(i);
                    myVideoCodec = avcodec_find_decoder(stream->codecpar->codec_id);
                }
                else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && aWithAudio && myAudioStream == nullptr)
                {
                    myAudioStream = stream;
                }
            }
        }
        myPacket = av_packet_alloc();
        if (myAudioStream != nullptr)
        {
            if (const int audio = OpenAudio(*myAudioStream); audio != OPEN_SUCCESS)
            {
                return audio;
            }
        }
        if (myVideoCodec == nullptr || myVideoStreamIndex < 0)
        {
            return OPEN_FAILURE;
        }
        myVideoContext = avcodec_alloc_context3(myVideoCodec);
        if (myVideoContext == nullptr ||
            avcodec_parameters_to_context(myVideoContext, myFormat->streams[myVideoStreamIndex]->codecpar) < 0 ||
            avcodec_open2(myVideoContext, myVideoCodec, nullptr) < 0)
        {
            return OPEN_FAILURE;
        }
        myPicture = av_frame_alloc();
        myDecodedPicture = av_frame_alloc();
        return OPEN_SUCCESS;
    }

    int VideoDecoder::OpenAudio(AVStream& aStream)
    {
        const AVCodec* codec = avcodec_find_decoder(aStream.codecpar->codec_id);
        if (codec == nullptr)
        {
            std::cout << "Couldn't find a proper decoder for audio" << std::endl;
            return OPEN_FAILURE;
        }
        myAudioContext = avcodec_alloc_context3(codec);
        if (myAudioContext == nullptr || avcodec_parameters_to_context(myAudioContext, aStream.codecpar) < 0 ||
            avcodec_open2(myAudioContext, codec, nullptr) != 0)
        {
            std::cout << "Couldn't open the context with the decoder for the audio" << std::endl;
            return OPEN_FAILURE;
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        myAudioSampleRate = 44100;
        myAudioBytesPerSample = static_cast<std::uint32_t>(av_get_bytes_per_sample(AV_SAMPLE_FMT_S16));
        myAudioChannels = static_cast<std::uint16_t>(stereo.nb_channels);
        AVChannelLayout input;
        av_channel_layout_default(&input, myAudioContext->ch_layout.nb_channels);
        const int made = swr_alloc_set_opts2(&myResampler, &stereo, AV_SAMPLE_FMT_S16, static_cast<int>(myAudioSampleRate), &input,
                                             myAudioContext->sample_fmt, myAudioContext->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&input);
        if (made < 0 || myResampler == nullptr)
        {
            std::cout << "Couldn't create the SwrContext" << std::endl;
            return OPEN_FAILURE;
        }
        if (swr_init(myResampler) != 0)
        {
            std::cout << "Couldn't initialize the SwrContext" << std::endl;
            return OPEN_FAILURE;
        }
        myAudioFrame = av_frame_alloc();
        return OPEN_SUCCESS;
    }

    int VideoDecoder::DecodeFrame()
    {
        if (myFormat == nullptr || myVideoContext == nullptr)
        {
            return AVERROR(EINVAL);
        }
        // A picture the decoder already holds comes first; at the end it is one of the last.
        if (ReceivePicture())
        {
            return myIsDraining ? 0 : myResult;
        }
        for (int packets = 0; packets < MAX_PACKETS_PER_DECODE; ++packets)
        {
            if (!myIsDraining)
            {
                myResult = av_read_frame(myFormat, myPacket);
            }
            if (myIsDraining || myResult < 0)
            {
                // The pictures the decoder still holds for reordering come out before the end.
                if (!myIsDraining)
                {
                    avcodec_send_packet(myVideoContext, nullptr);
                    myIsDraining = true;
                }
                return ReceivePicture() ? 0 : myResult;
            }
            if (myPacket->stream_index == myVideoStreamIndex)
            {
                avcodec_send_packet(myVideoContext, myPacket);
                av_packet_unref(myPacket);
                if (ReceivePicture())
                {
                    break;
                }
            }
            else if (myAudioStream != nullptr && myPacket->stream_index == myAudioStream->index)
            {
                DecodeAudioPacket();
            }
            else
            {
                av_packet_unref(myPacket);
            }
        }
        return myResult;
    }

    bool VideoDecoder::ReceivePicture()
    {
        if (avcodec_receive_frame(myVideoContext, myDecodedPicture) != 0)
        {
            return false;
        }
        // Kept apart from the frame the decoder writes into, so a failed receive loses nothing.
        av_frame_unref(myPicture);
        av_frame_move_ref(myPicture, myDecodedPicture);
        myGotPicture = true;
        return true;
    }

    void VideoDecoder::DecodeAudioPacket()
    {
        if (!myAudioPlayer)
        {
            Platform::Audio::WaveFormat format;
            format.myFormatTag = Platform::Audio::WAVE_FORMAT_PCM;
            format.myChannels = myAudioChannels;
            format.mySamplesPerSec = myAudioSampleRate;
            format.myBlockAlign = static_cast<std::uint16_t>(myAudioChannels * myAudioBytesPerSample);
            format.myBitsPerSample = static_cast<std::uint16_t>(myAudioBytesPerSample * 8);
            format.myAvgBytesPerSec = myAudioChannels * myAudioBytesPerSample * myAudioSampleRate;
            format.myExtraSize = 0;
            myAudioPlayer = std::make_unique<WaveOutPlayer>(format, AUDIO_BLOCK_COUNT, AUDIO_BLOCK_SIZE);
        }
        if (avcodec_send_packet(myAudioContext, myPacket) == 0)
        {
            // Every frame goes out as it is converted; the resampler keeps what it holds back
            // for the next one, so no sample is lost between packets.
            while (avcodec_receive_frame(myAudioContext, myAudioFrame) == 0)
            {
                const std::size_t before = myAudioBlocksConverted;
                ResampleAudio();
                if (myAudioBlocksConverted != before)
                {
                    myAudioPlayer->Write(myAudioBlock.data(), static_cast<std::uint32_t>(myAudioBlock.size()));
                }
            }
        }
        av_packet_unref(myPacket);
    }

    void VideoDecoder::ResampleAudio()
    {
        if (myResampler == nullptr || myAudioFrame == nullptr)
        {
            return;
        }
        const int capacity = static_cast<int>(myAudioSampleRate);
        myResampleBuffer.resize(static_cast<std::size_t>(capacity) * myAudioChannels * myAudioBytesPerSample);
        std::uint8_t* out = myResampleBuffer.data();
        const int samples = swr_convert(myResampler, &out, capacity, const_cast<const std::uint8_t**>(myAudioFrame->extended_data),
                                        myAudioFrame->nb_samples);
        if (samples > 0)
        {
            myAudioBlock.assign(out, out + static_cast<std::size_t>(samples) * myAudioChannels * myAudioBytesPerSample);
            ++myAudioBlocksConverted;
        }
    }

    double VideoDecoder::GetFrameRate() const
    {
        if (myFormat == nullptr || myVideoStreamIndex < 0)
        {
            return 0.0;
        }
        const AVStream* stream = myFormat->streams[myVideoStreamIndex];
        double rate = Rate(stream->r_frame_rate);
        if (rate < 0.000025)
        {
            rate = Rate(stream->avg_frame_rate);
        }
        if (rate < 0.000025 && myVideoContext != nullptr && myVideoContext->time_base.num != 0)
        {
            rate = 1.0 / Rate(myVideoContext->time_base);
        }
        return rate;
    }

    void VideoDecoder::Rewind()
    {
        if (myFormat == nullptr || myVideoContext == nullptr)
        {
            return;
        }
        av_seek_frame(myFormat, myVideoStreamIndex, 0, AVSEEK_FLAG_BACKWARD);
        // Pictures held from before the seek would otherwise come out first.
        avcodec_flush_buffers(myVideoContext);
        if (myAudioContext != nullptr)
        {
            avcodec_flush_buffers(myAudioContext);
        }
        myIsDraining = false;
    }

    bool VideoDecoder::CopyFrameTo(std::uint8_t* somePixels, std::uint32_t aTextureWidth, std::uint32_t aTextureHeight)
    {
        if (!myGotPicture)
        {
            return false;
        }
        const int width = myPicture->width;
        const int height = myPicture->height;
        // Made again only when the picture's size or format changes.
        myScaler = sws_getCachedContext(myScaler, width, height, static_cast<AVPixelFormat>(myPicture->format), width, height,
                                        AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (myScaler != nullptr)
        {
            const int stride = FFALIGN(width * 4, RGBA_ROW_ALIGNMENT);
            myRgbaBuffer.resize(static_cast<std::size_t>(stride) * (height + 1));
            std::uint8_t* const rgba[4] = {myRgbaBuffer.data(), nullptr, nullptr, nullptr};
            const int strides[4] = {stride, 0, 0, 0};
            const int rows = sws_scale(myScaler, myPicture->data, myPicture->linesize, 0, height, rgba, strides);
            if (rows > 0)
            {
                // A picture larger than the texture (its size changed on the way) is cut, not overrun.
                const std::uint32_t copyWidth = std::min(static_cast<std::uint32_t>(width), aTextureWidth);
                const std::uint32_t copyHeight = std::min(static_cast<std::uint32_t>(std::min(rows, height)), aTextureHeight);
                for (std::uint32_t y = 0; y < aTextureHeight; ++y)
                {
                    std::uint8_t* row = somePixels + static_cast<std::size_t>(y) * aTextureWidth * 4;
                    const std::uint32_t copied = y < copyHeight ? copyWidth : 0;
                    if (copied > 0)
                    {
                        std::memcpy(row, myRgbaBuffer.data() + static_cast<std::size_t>(y) * stride, copied * 4);
                    }
                    std::memset(row + copied * 4, 0, (aTextureWidth - copied) * 4);
                }
            }
        }
        ++myPicturesConverted;
        return true;
    }

    std::uint32_t VideoDecoder::GetPictureWidth() const
    {
        return myGotPicture ? static_cast<std::uint32_t>(myPicture->width) : 0;
    }

    std::uint32_t VideoDecoder::GetPictureHeight() const
    {
        return myGotPicture ? static_cast<std::uint32_t>(myPicture->height) : 0;
    }

    void VideoDecoder::Close()
    {
        myAudioPlayer.reset();
        sws_freeContext(myScaler);
        myScaler = nullptr;
        swr_free(&myResampler);
        av_frame_free(&myPicture);
        av_frame_free(&myDecodedPicture);
        av_frame_free(&myAudioFrame);
        av_packet_free(&myPacket);
        avcodec_free_context(&myVideoContext);
        avcodec_free_context(&myAudioContext);
        avformat_close_input(&myFormat);
        myVideoCodec = nullptr;
        myAudioStream = nullptr;
        myVideoStreamIndex = -1;
        myGotPicture = false;
        myIsDraining = false;
        myResult = 0;
        myPicturesConverted = 0;
        myAudioBlocksConverted = 0;
        myAudioBlock.clear();
        myRgbaBuffer.clear();
        myPath.clear();
    }
}
