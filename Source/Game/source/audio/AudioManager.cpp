#include "audio/AudioManager.h"

#include "Assert.h"
#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/Sound.h"
#include "sound/System.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <random>

using Platform::Sound::Channel;
using Platform::Sound::Result;

namespace
{
    constexpr int CHANNEL_COUNT = 512;
    const char* const SOUND_TABLE = "settings/LoadSounds.json";

    // The manager's own generator, apart from the game's other random numbers.
    std::mt19937& Generator()
    {
        static std::mt19937 generator{std::random_device{}()};
        return generator;
    }

    // Uniform in [0.8, 1.2) from the top 24 bits of one draw.
    float RandomPitch()
    {
        const float unit = static_cast<float>(Generator()() >> 8) * (1.0f / 16777216.0f);
        return unit * 0.4f + 0.8f;
    }

    // How far a fade has come, kept in [0, 1] so a zero duration or a timer that ran past its
    // end gives neither an undefined nor a louder-than-full volume.
    float FadeRatio(float aTimer, float aDuration)
    {
        if (aDuration <= 0.0f)
        {
            return aTimer > 0.0f ? 1.0f : 0.0f;
        }
        return std::clamp(aTimer / aDuration, 0.0f, 1.0f);
    }

    bool IsPlaying(const Channel& aChannel)
    {
        bool isPlaying = false;
        aChannel.IsPlaying(&isPlaying);
        return isPlaying;
    }
}

AudioManager& AudioManager::GetInstance()
{
    static AudioManager instance;
    return instance;
}

AudioManager::AudioManager(Platform::Sound::OutputType anOutput)
    : myOutput(anOutput)
{
}

AudioManager::~AudioManager()
{
    StopAll();
    for (auto& [name, record] : mySounds)
    {
        record.mySound->Release();
    }
    mySounds.clear();
    if (myMasterEcho != nullptr)
    {
        myMasterEcho->Release();
        myMasterEcho = nullptr;
    }
    if (mySystem != nullptr)
    {
        mySystem->Close();
        mySystem->Release();
        mySystem = nullptr;
    }
}

void AudioManager::Init()
{
    if (mySystem == nullptr && Platform::Sound::System::Create(&mySystem, Platform::Sound::HEADER_VERSION) == Result::Ok)
    {
        mySystem->SetOutput(myOutput);
        mySystem->Init(CHANNEL_COUNT, Platform::Sound::INIT_NORMAL, nullptr);
        mySystem->GetMasterChannelGroup(&myMasterGroup);
    }
    // Both tables live in the same file.
    LoadSounds(SOUND_TABLE);
    LoadSoundGroups(SOUND_TABLE);
}

void AudioManager::LoadSounds(const std::string& aPath)
{
    std::ifstream file(aPath);
    if (!file)
    {
        // Ends its line, so the groups' own message that follows stays readable.
        std::cout << "Failed to open file" << std::endl;
        return;
    }
    const nlohmann::json root = nlohmann::json::parse(file);
    if (!root.contains("sounds"))
    {
        return;
    }
    for (const nlohmann::json& entry : root["sounds"])
    {
        const std::string name = entry.value("name", std::string());
        const std::string path = entry.value("file", std::string());
        const bool loop = entry.value("loop", false);
        SoundRecord record;
        record.myVolume = entry.value("volume", 1.0f);
        record.myPitch = entry.value("pitch", 1.0f);
        if (entry.contains("echo"))
        {
            const nlohmann::json& echo = entry["echo"];
            record.myEchoDelay = echo.value("delay", 0.0f);
            record.myEchoFeedback = echo.value("feedback", 0.0f);
            record.myEchoDryLevel = echo.value("dryLevel", 0.0f);
            record.myEchoWetLevel = echo.value("wetLevel", 0.0f);
        }
        const bool autoplay = entry.value("autoplay", false);
        if (name.empty() || path.empty())
        {
            continue;
        }
        const Platform::Sound::Mode mode = loop ? Platform::Sound::MODE_LOOP_NORMAL : Platform::Sound::MODE_DEFAULT;
        if (mySystem == nullptr || mySystem->CreateSound(path.c_str(), mode, nullptr, &record.mySound) != Result::Ok)
        {
            // Kept out of the table, so a play of the name finds nothing rather than a broken sound.
            std::cout << "Failed to load sound file: " << path << std::endl;
            continue;
        }
        if (const auto replaced = mySounds.find(name); replaced != mySounds.end())
        {
            replaced->second.mySound->Release();
        }
        mySounds[name] = record;
        // The groups are read after the sounds, so an autoplay sound starts as itself, not
        // through a group.
        if (autoplay)
        {
            PlayVariant(name, record, false, 1.0f);
        }
    }
}

void AudioManager::LoadSoundGroups(const std::string& aPath)
{
    std::ifstream file(aPath);
    if (!file)
    {
        std::cout << "Failed to open file: " << aPath << std::endl;
        return;
    }
    const nlohmann::json root = nlohmann::json::parse(file);
    if (!root.is_object() || !root.contains("Player") || !root["Player"].contains("Sounds"))
    {
        std::cout << "No Player sounds in JSON" << std::endl;
        return;
    }
    // The table replaces the groups read before, so a second Init gives the groups of the first
    // rather than every member twice; a table that throws half-way leaves them as they were.
    std::unordered_map<std::string, std::vector<std::string>> groups;
    for (const auto& [group, names] : root["Player"]["Sounds"].items())
    {
        std::vector<std::string>& members = groups[group];
        for (const nlohmann::json& name : names)
        {
            members.push_back(name.get<std::string>());
        }
    }
    mySoundGroups = std::move(groups);
}

void AudioManager::Play(const std::string& aGroup, bool aRandomPitch, float aVolume)
{
    const auto group = mySoundGroups.find(aGroup);
    if (group == mySoundGroups.end() || group->second.empty())
    {
        std::cout << "Sound group not found or empty: " << aGroup << std::endl;
        return;
    }
    std::uniform_int_distribution<int> pick(0, static_cast<int>(group->second.size()) - 1);
    const std::string& variant = group->second[static_cast<std::size_t>(pick(Generator()))];
    const auto record = mySounds.find(variant);
    if (record == mySounds.end())
    {
        return;
    }
    PlayVariant(variant, record->second, aRandomPitch, aVolume);
}

void AudioManager::PlayVariant(const std::string& aName, const SoundRecord& aRecord, bool aRandomPitch, float aVolume)
{
    const float pitch = aRandomPitch ? RandomPitch() : aRecord.myPitch;
    Channel channel;
    // Started paused so the mixer never plays it before its volume and pitch are set.
    mySystem->PlaySound(aRecord.mySound, nullptr, true, &channel);
    channel.SetVolume(myMasterVolume * aRecord.myVolume * aVolume);
    channel.SetPitch(pitch);
    myChannels[aName].push_back(channel);
    if (aRecord.myEchoDelay > 0.0f)
    {
        SetEcho(aName, channel, aRecord.myEchoDelay, aRecord.myEchoFeedback, aRecord.myEchoDryLevel, aRecord.myEchoWetLevel);
    }
    channel.SetPaused(false);
    std::cout << "Playing Variant: " << aName << " with pitch: " << pitch << std::endl;
}

void AudioManager::SetEcho(const std::string& aName, Channel aChannel, float aDelay, float aFeedback, float aDryLevel, float aWetLevel)
{
    if (aChannel.IsNull())
    {
        return;
    }
    if (myEchoRequests.GetSize() >= myEchoLimit)
    {
        DropEchoRequest(myEchoRequests.Dequeue(), true);
    }
    Platform::Sound::Dsp* echo = CreateEcho(aDelay, aFeedback, aDryLevel, aWetLevel);
    aChannel.AddDsp(0, echo);
    std::cout << "Went through Echo";
    myEchoRequests.Enqueue({aName, aChannel, echo});
}

Platform::Sound::Dsp* AudioManager::CreateEcho(float aDelay, float aFeedback, float aDryLevel, float aWetLevel)
{
    Platform::Sound::Dsp* echo = nullptr;
    if (mySystem == nullptr || mySystem->CreateDspByType(Platform::Sound::DspType::Echo, &echo) != Result::Ok)
    {
        return nullptr;
    }
    echo->SetParameterFloat(Platform::Sound::ECHO_DELAY, aDelay);
    echo->SetParameterFloat(Platform::Sound::ECHO_FEEDBACK, aFeedback);
    echo->SetParameterFloat(Platform::Sound::ECHO_DRYLEVEL, aDryLevel);
    echo->SetParameterFloat(Platform::Sound::ECHO_WETLEVEL, aWetLevel);
    return echo;
}

void AudioManager::DropEchoRequest(const EchoRequest& aRequest, bool aStopChannel)
{
    if (aStopChannel && !aRequest.myChannel.IsNull())
    {
        aRequest.myChannel.Stop();
        ForgetChannel(aRequest.myName, aRequest.myChannel);
    }
    if (aRequest.myEcho != nullptr)
    {
        aRequest.myEcho->Release();
    }
}

void AudioManager::ForgetChannel(const std::string& aName, const Channel& aChannel)
{
    const auto entry = myChannels.find(aName);
    if (entry == myChannels.end())
    {
        return;
    }
    std::vector<Channel>& channels = entry->second;
    channels.erase(std::remove(channels.begin(), channels.end(), aChannel), channels.end());
    if (channels.empty())
    {
        myChannels.erase(entry);
    }
}

void AudioManager::PlayLevelAudio(const std::string& aLevel, bool anEcho, float aDelay, float aFeedback, float aDryLevel, float aWetLevel)
{
    StopAll();
    if (anEcho)
    {
        std::cout << "Enabling Echo " << aDelay << " " << aFeedback << " " << aDryLevel << " " << aWetLevel << std::endl;
        if (myMasterGroup != nullptr && myMasterEcho == nullptr)
        {
            myMasterEcho = CreateEcho(aDelay, aFeedback, aDryLevel, aWetLevel);
            myMasterGroup->AddDsp(0, myMasterEcho);
        }
        else if (myMasterEcho != nullptr)
        {
            // Each level brings its own echo.
            myMasterEcho->SetParameterFloat(Platform::Sound::ECHO_DELAY, aDelay);
            myMasterEcho->SetParameterFloat(Platform::Sound::ECHO_FEEDBACK, aFeedback);
            myMasterEcho->SetParameterFloat(Platform::Sound::ECHO_DRYLEVEL, aDryLevel);
            myMasterEcho->SetParameterFloat(Platform::Sound::ECHO_WETLEVEL, aWetLevel);
        }
    }
    else if (myMasterEcho != nullptr)
    {
        myMasterEcho->Reset();
        myMasterEcho->Release();
        myMasterEcho = nullptr;
    }

    struct LevelAudio
    {
        const char* myLevel;
        const char* myMusic;
        const char* myAmbience;
    };
    static const LevelAudio LEVELS[] = {
        {"1", "Level1", "Forest Ambience"},
        {"2", "Level2", "Cave Ambience"},
        {"3", "Level3", "Forest Ambience"},
    };
    for (const LevelAudio& level : LEVELS)
    {
        if (aLevel == level.myLevel)
        {
            Play(level.myMusic, false, 1.0f);
            Play(level.myAmbience, false, 1.0f);
        }
    }
}

void AudioManager::FadeIn(const std::string& aSound, const std::string& aChannelName, float aDuration)
{
    Play(aSound, false, 1.0f);
    const auto entry = myChannels.find(aChannelName);
    if (entry == myChannels.end())
    {
        return;
    }
    const float target = GetVolume(aChannelName);
    const Channel channel = entry->second.back();
    channel.SetVolume(0.0f);
    myFadeIns.push_back({channel, aDuration, 0.0f, target});
}

void AudioManager::FadeOut(const std::string& aName, float aDuration)
{
    const auto entry = myChannels.find(aName);
    if (entry == myChannels.end())
    {
        return;
    }
    for (const Channel& channel : entry->second)
    {
        std::erase_if(myFadeIns, [&channel](const FadeRecord& aFade) { return aFade.myChannel == channel; });
        myFadeOuts.push_back({channel, aDuration, aDuration, ReadVolume(aName, channel)});
    }
}

void AudioManager::FadeOutAll(float aDuration)
{
    for (const auto& [name, channels] : myChannels)
    {
        for (const Channel& channel : channels)
        {
            myFadeAllRecords.push_back({channel, aDuration, aDuration, ReadVolume(name, channel)});
        }
    }
    myIsFadingAll = true;
}

void AudioManager::ResumeAll(float aDuration)
{
    for (FadeRecord& fade : myFadeAllRecords)
    {
        fade.myDuration = aDuration;
        bool isPaused = false;
        if (fade.myChannel.GetPaused(&isPaused) == Result::Ok && isPaused)
        {
            fade.myChannel.SetPaused(false);
        }
    }
    myIsFadingAll = false;
}

void AudioManager::Pause(const std::string& aName)
{
    if (const auto entry = myChannels.find(aName); entry != myChannels.end())
    {
        for (Channel& channel : entry->second)
        {
            channel.SetPaused(true);
        }
    }
}

void AudioManager::Stop(const std::string& aName)
{
    if (const auto entry = myChannels.find(aName); entry != myChannels.end())
    {
        for (Channel& channel : entry->second)
        {
            channel.Stop();
        }
        myChannels.erase(entry);
    }
}

void AudioManager::StopAll()
{
    for (auto& [name, channels] : myChannels)
    {
        for (Channel& channel : channels)
        {
            channel.Stop();
        }
    }
    myChannels.clear();
    while (myEchoRequests.GetSize() > 0)
    {
        DropEchoRequest(myEchoRequests.Dequeue(), false);
    }
}

float AudioManager::GetVolume(const std::string& aName)
{
    const auto it = myChannels.find(aName);
    CU_ASSERT(it != myChannels.end());
    return ReadVolume(aName, it->second.back());
}

float AudioManager::ReadVolume(const std::string& aName, const Channel& aChannel)
{
    float volume = 0.0f;
    if (aChannel.GetVolume(&volume) != Result::Ok)
    {
        std::cout << "Failed to access volume value using argument: " << aName << std::endl;
        return -1.0f;
    }
    std::cout << "returnVal: " << volume << std::endl;
    return volume;
}

void AudioManager::SetMasterVolume(float aVolume)
{
    myMasterVolume = std::clamp(aVolume, 0.0f, 1.0f);
    for (auto& [name, channels] : myChannels)
    {
        const auto record = mySounds.find(name);
        if (record == mySounds.end())
        {
            continue;
        }
        for (Channel& channel : channels)
        {
            channel.SetVolume(record->second.myVolume * myMasterVolume);
        }
    }
}

float AudioManager::GetMasterVolume() const
{
    return myMasterVolume;
}

std::vector<Channel> AudioManager::GetChannels(const std::string& aName) const
{
    const auto entry = myChannels.find(aName);
    return entry == myChannels.end() ? std::vector<Channel>() : entry->second;
}

void AudioManager::Update(CommonUtilities::InputHandler&, float aDeltaTime)
{
    if (mySystem != nullptr)
    {
        mySystem->Update();
    }
    for (auto entry = myChannels.begin(); entry != myChannels.end();)
    {
        std::erase_if(entry->second, [](const Channel& aChannel) { return !IsPlaying(aChannel); });
        entry = entry->second.empty() ? myChannels.erase(entry) : std::next(entry);
    }
    UpdateEchoRequests();
    UpdateFadeAll(aDeltaTime);
    UpdateFadeIns(aDeltaTime);
    UpdateFadeOuts(aDeltaTime);
}

void AudioManager::UpdateEchoRequests()
{
    const int count = myEchoRequests.GetSize();
    for (int i = 0; i < count; ++i)
    {
        const EchoRequest request = myEchoRequests.Dequeue();
        if (!request.myChannel.IsNull() && IsPlaying(request.myChannel))
        {
            myEchoRequests.Enqueue(request);
        }
        else
        {
            DropEchoRequest(request, false);
        }
    }
}

template <typename Step>
void AudioManager::WalkFades(std::vector<FadeRecord>& someFades, Step&& aStep)
{
    for (std::size_t i = 0; i < someFades.size(); ++i)
    {
        FadeRecord& fade = someFades[i];
        fade.myChannel.SetVolume(FadeRatio(fade.myTimer, fade.myDuration) * fade.myVolume);
        if (aStep(fade))
        {
            // The walk goes on at the next index, so the record that moved into this place
            // waits a frame.
            someFades.erase(someFades.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void AudioManager::UpdateFadeAll(float aDeltaTime)
{
    WalkFades(myFadeAllRecords, [this, aDeltaTime](FadeRecord& aFade) {
        if (myIsFadingAll)
        {
            if (aFade.myTimer > 0.0f)
            {
                aFade.myTimer -= aDeltaTime;
            }
            else
            {
                aFade.myChannel.SetPaused(true);
            }
            return false;
        }
        if (aFade.myDuration >= aFade.myTimer)
        {
            aFade.myTimer += aDeltaTime;
            return false;
        }
        aFade.myChannel.SetVolume(aFade.myVolume);
        return true;
    });
}

void AudioManager::UpdateFadeIns(float aDeltaTime)
{
    WalkFades(myFadeIns, [aDeltaTime](FadeRecord& aFade) {
        aFade.myTimer += aDeltaTime;
        if (aFade.myTimer < aFade.myDuration)
        {
            return false;
        }
        aFade.myChannel.SetVolume(aFade.myVolume);
        return true;
    });
}

void AudioManager::UpdateFadeOuts(float aDeltaTime)
{
    WalkFades(myFadeOuts, [aDeltaTime](FadeRecord& aFade) {
        aFade.myTimer -= aDeltaTime;
        if (aFade.myTimer > 0.0f)
        {
            return false;
        }
        aFade.myChannel.Stop();
        aFade.myChannel.SetVolume(aFade.myVolume);
        return true;
    });
}
