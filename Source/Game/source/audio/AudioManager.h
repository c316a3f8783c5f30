#pragma once
#include "Queue.h"
#include "sound/Channel.h"
#include "sound/SoundTypes.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace CommonUtilities
{
    class InputHandler;
}

namespace Platform::Sound
{
    class ChannelGroup;
    class Dsp;
    class Sound;
    class System;
}

// Plays every sound and piece of music by name: callers name a sound group of
// "settings/LoadSounds.json" and each play picks one of its sounds at random. Keeps every live
// channel by sound name for pausing, stopping and fading, and lets at most three sounds carry
// an echo of their own. Main thread only.
class AudioManager
{
public:
    // The one instance of the game, made on first use and destroyed at process exit.
    static AudioManager& GetInstance();

    // Memory output plays to no device: tests drive the mix through GetSoundSystem()->Render.
    explicit AudioManager(Platform::Sound::OutputType anOutput = Platform::Sound::OutputType::Device);
    ~AudioManager();
    AudioManager(const AudioManager&) = delete;
    AudioManager& operator=(const AudioManager&) = delete;

    // Opens the sound system (512 channels) and loads "settings/LoadSounds.json". Without an
    // audio device the game runs on silently. A malformed table throws the JSON library's error.
    void Init();
    // The "sounds" table: one record per named sound file.
    void LoadSounds(const std::string& aPath);
    // "Player"."Sounds": group name to the names of its sounds, in place of the groups read before.
    void LoadSoundGroups(const std::string& aPath);

    void Play(const std::string& aGroup, bool aRandomPitch, float aVolume);
    // Stops everything, sets or removes the echo on the master group and starts the level's
    // music and ambience ("1", "2" or "3").
    void PlayLevelAudio(const std::string& aLevel, bool anEcho, float aDelay, float aFeedback, float aDryLevel, float aWetLevel);
    // Plays aSound and fades in the newest channel of aChannelName (the two may differ).
    void FadeIn(const std::string& aSound, const std::string& aChannelName, float aDuration);
    // Fades every channel of the sound out to a stop.
    void FadeOut(const std::string& aName, float aDuration);
    // Fades every channel down and pauses it, until ResumeAll.
    void FadeOutAll(float aDuration);
    void ResumeAll(float aDuration);
    void Pause(const std::string& aName);
    void Stop(const std::string& aName);
    void StopAll();
    // The volume of the newest channel of the sound; asserts that it was played; -1 when that
    // channel cannot be read.
    float GetVolume(const std::string& aName);
    // Gives the channel an echo of its own; the oldest such channel stops when three already have one.
    void SetEcho(const std::string& aName, Platform::Sound::Channel aChannel, float aDelay, float aFeedback, float aDryLevel, float aWetLevel);
    // Clamped to [0, 1]; playing channels take their sound's volume times this.
    void SetMasterVolume(float aVolume);
    float GetMasterVolume() const;
    void Update(CommonUtilities::InputHandler& anInput, float aDeltaTime);

    // For tests and tools: the mixer, the live channels of a sound name (oldest first) and the
    // number of sounds carrying their own echo.
    Platform::Sound::System* GetSoundSystem() const { return mySystem; }
    std::vector<Platform::Sound::Channel> GetChannels(const std::string& aName) const;
    int GetEchoRequestCount() const { return myEchoRequests.GetSize(); }

private:
    struct SoundRecord
    {
        Platform::Sound::Sound* mySound = nullptr;
        float myVolume = 1.0f;
        float myPitch = 1.0f;
        float myEchoDelay = 0.0f;
        float myEchoFeedback = 0.0f;
        float myEchoDryLevel = 0.0f;
        float myEchoWetLevel = 0.0f;
    };

    struct FadeRecord
    {
        Platform::Sound::Channel myChannel;
        float myDuration = 0.0f;
        float myTimer = 0.0f;
        float myVolume = 0.0f;
    };

    struct EchoRequest
    {
        std::string myName;
        Platform::Sound::Channel myChannel;
        Platform::Sound::Dsp* myEcho = nullptr;
    };

    void PlayVariant(const std::string& aName, const SoundRecord& aRecord, bool aRandomPitch, float aVolume);
    void ForgetChannel(const std::string& aName, const Platform::Sound::Channel& aChannel);
    void DropEchoRequest(const EchoRequest& aRequest, bool aStopChannel);
    float ReadVolume(const std::string& aName, const Platform::Sound::Channel& aChannel);
    Platform::Sound::Dsp* CreateEcho(float aDelay, float aFeedback, float aDryLevel, float aWetLevel);
    void UpdateEchoRequests();
    void UpdateFadeAll(float aDeltaTime);
    void UpdateFadeIns(float aDeltaTime);
    void UpdateFadeOuts(float aDeltaTime);
    // Applies each record's volume, then aStep, which returns true to remove the record.
    template <typename Step>
    void WalkFades(std::vector<FadeRecord>& someFades, Step&& aStep);

    Platform::Sound::System* mySystem = nullptr;
    Platform::Sound::ChannelGroup* myMasterGroup = nullptr;
    Platform::Sound::Dsp* myMasterEcho = nullptr;
    std::unordered_map<std::string, SoundRecord> mySounds;
    // Every channel started for a sound name that may still play, oldest first.
    std::unordered_map<std::string, std::vector<Platform::Sound::Channel>> myChannels;
    std::unordered_map<std::string, std::vector<std::string>> mySoundGroups;
    int myEchoLimit = 3;
    CommonUtilities::Queue<EchoRequest> myEchoRequests;
    std::vector<FadeRecord> myFadeOuts;
    std::vector<FadeRecord> myFadeIns;
    std::vector<FadeRecord> myFadeAllRecords;
    bool myIsFadingAll = false;
    float myMasterVolume = 1.0f;
    Platform::Sound::OutputType myOutput;
};
