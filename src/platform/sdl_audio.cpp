// The sound output over SDL's audio device: our mixer pulled by the device thread (or moved on
// by the wall clock when there is no device), its buffers as voices, and the XM song.
#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/xm_song.h"

namespace vrumbal {

namespace {

constexpr int kOutputRate = 44100;
// About 23 ms per device buffer: short enough that an effect follows its cause.
constexpr int kDeviceFrames = 1024;
constexpr int kBytesPerFrame = 2 * sizeof(std::int16_t);
// The songs are mixed loud; at half level the effects stay clear above them.
constexpr float kSongGain = 0.5f;

// The mixer shared by the output and its buffers. Without a device nobody pulls frames, so the
// voices are moved on by the wall clock instead whenever the game looks at them: a one-shot
// sound then stops after its own duration, and the game behaves as it does with sound.
class SharedMixer final {
public:
    SharedMixer() : mixer_(kOutputRate), start_(std::chrono::steady_clock::now()) {}
    // Lets the wall clock drive the voices; set before any buffer exists.
    void SetFreeRunning(bool freeRunning) { freeRunning_ = freeRunning; }
    // The mixer with its voices brought up to the present.
    Mixer& Current() {
        if (freeRunning_) CatchUp();
        return mixer_;
    }
    // The mixer as it is, for calls that do not depend on time.
    Mixer& Raw() { return mixer_; }

private:
    void CatchUp() {
        std::lock_guard lock(clockMutex_);
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        const auto nanos = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
        // Counting from a fixed start keeps rounding from piling up over many small steps;
        // whole seconds and the rest apart, so the product cannot overflow in any uptime.
        constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;
        const std::uint64_t due = nanos / kNanosPerSecond * kOutputRate +
                                  nanos % kNanosPerSecond * kOutputRate / kNanosPerSecond;
        if (due > framesDone_) {
            mixer_.Skip(static_cast<int>(std::min<std::uint64_t>(due - framesDone_, 1u << 30)));
            framesDone_ = due;
        }
    }

    Mixer mixer_;
    bool freeRunning_ = false;
    std::mutex clockMutex_;
    std::chrono::steady_clock::time_point start_;
    std::uint64_t framesDone_ = 0;
};

// A sound buffer is a handle on one mixer voice; the voice goes when the buffer goes, even
// while the device thread is mixing.
class SdlSoundBuffer final : public SoundBuffer {
public:
    SdlSoundBuffer(std::shared_ptr<SharedMixer> mixer, Mixer::VoiceId voice)
        : mixer_(std::move(mixer)), voice_(voice) {}
    ~SdlSoundBuffer() override { mixer_->Raw().DestroyVoice(voice_); }
    SdlSoundBuffer(const SdlSoundBuffer&) = delete;
    SdlSoundBuffer& operator=(const SdlSoundBuffer&) = delete;

    void Stop() override { mixer_->Current().Stop(voice_); }
    void SetPosition(std::uint32_t byteOffset) override {
        mixer_->Current().SetPosition(voice_, byteOffset);
    }
    void SetFrequency(int hz) override { mixer_->Raw().SetFrequency(voice_, hz); }
    void SetPan(int pan) override { mixer_->Raw().SetPan(voice_, pan); }
    void SetVolume(int volume) override { mixer_->Raw().SetVolume(voice_, volume); }
    void Play(bool looping) override { mixer_->Current().Play(voice_, looping); }
    bool IsPlaying() const override { return mixer_->Current().IsPlaying(voice_); }

    const SharedMixer* Owner() const { return mixer_.get(); }
    Mixer::VoiceId Voice() const { return voice_; }

private:
    std::shared_ptr<SharedMixer> mixer_;  // outlives the output when the game keeps buffers
    Mixer::VoiceId voice_;
};

class SdlAudio final : public AudioOutput {
public:
    SdlAudio() : mixer_(std::make_shared<SharedMixer>()) {
        // The termination signals are the game's own (an orderly exit); SDL must not take them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        subsystemReady_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (subsystemReady_) {
            SDL_AudioSpec wanted{};
            wanted.freq = kOutputRate;
            wanted.format = AUDIO_S16SYS;
            wanted.channels = 2;
            wanted.samples = kDeviceFrames;
            wanted.callback = &SdlAudio::Fill;
            wanted.userdata = &mixer_->Raw();
            SDL_AudioSpec obtained{};
            // No changes allowed: SDL converts to whatever the hardware wants.
            device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        }
        mixer_->SetFreeRunning(device_ == 0);
        if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
    }

    ~SdlAudio() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);
        mixer_->Raw().SetSongSource(nullptr, 0.0f);
        songs_.clear();
        if (subsystemReady_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    bool IsOpen() const override { return device_ != 0; }

    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat& format,
        std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        const Mixer::VoiceId voice = mixer_->Raw().CreateVoice(format, std::move(samples));
        if (voice == 0) return nullptr;
        return std::make_unique<SdlSoundBuffer>(mixer_, voice);
    }

    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        const auto* ours = dynamic_cast<const SdlSoundBuffer*>(&original);
        if (ours == nullptr || ours->Owner() != mixer_.get()) return nullptr;
        const Mixer::VoiceId voice = mixer_->Raw().DuplicateVoice(ours->Voice());
        if (voice == 0) return nullptr;
        return std::make_unique<SdlSoundBuffer>(mixer_, voice);
    }

    int SongLoadFromFile(const std::string& path) override {
        auto song = XmSong::LoadFromFile(path);
        if (!song) return 0;
        const int handle = nextSongHandle_++;
        songs_.emplace(handle, std::move(song));
        return handle;
    }

    void SongPlay(int handle) override {
        const auto found = songs_.find(handle);
        if (found == songs_.end()) return;
        // Only one song sounds at a time; take the current one out of the mix before touching
        // any player, since the device thread may be rendering it.
        mixer_->Raw().SetSongSource(nullptr, 0.0f);
        if (const auto playing = songs_.find(playingSong_); playing != songs_.end()) {
            playing->second->Stop();
        }
        playingSong_ = 0;
        XmSong* song = found->second.get();
        if (!song->Start(kOutputRate)) return;
        playingSong_ = handle;
        mixer_->Raw().SetSongSource(
            [song](std::int16_t* frames, int count) { song->Render(frames, count); }, kSongGain);
    }

    void SongFree(int handle) override {
        const auto found = songs_.find(handle);
        if (found == songs_.end()) return;
        if (playingSong_ == handle) {
            mixer_->Raw().SetSongSource(nullptr, 0.0f);
            playingSong_ = 0;
        }
        songs_.erase(found);
    }

private:
    // The device thread asks for the next frames here.
    static void Fill(void* userdata, Uint8* stream, int length) {
        static_cast<Mixer*>(userdata)->Mix(reinterpret_cast<std::int16_t*>(stream),
                                           length / kBytesPerFrame);
    }

    std::shared_ptr<SharedMixer> mixer_;
    bool subsystemReady_ = false;
    SDL_AudioDeviceID device_ = 0;
    std::map<int, std::unique_ptr<XmSong>> songs_;
    int nextSongHandle_ = 1;
    int playingSong_ = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> CreateSdlAudio() {
    return std::make_unique<SdlAudio>();
}

}  // namespace vrumbal
