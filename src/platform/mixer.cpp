// The mixer at work: voices made and set up, their samples read at any rate and width, and
// each block mixed with the song under a lock.
#include "platform/mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vrumbal {

namespace {

// Playback rates outside this range are refused or clamped; they cannot be meant seriously.
constexpr int kMinRate = 100;
constexpr int kMaxRate = 384000;
constexpr int kTagPcm = 1;
constexpr int kTagExtensible = 0xFFFE;
constexpr int kSilentAttenuation = -10000;
constexpr int kFullPan = 10000;
constexpr double kFractionScale = 1.0 / 4294967296.0;

// Hundredths of a decibel of attenuation as a linear factor; the far end is true silence.
float AttenuationGain(int hundredthsDb) {
    if (hundredthsDb <= kSilentAttenuation) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

// One sample of any supported width, scaled to the 16-bit range.
float ReadSample(const std::uint8_t* at, int bytesPerSample) {
    switch (bytesPerSample) {
        case 1:
            return (static_cast<float>(at[0]) - 128.0f) * 256.0f;
        case 2:
            return static_cast<float>(static_cast<std::int16_t>(at[0] | at[1] << 8));
        case 3: {
            const std::uint32_t raw = static_cast<std::uint32_t>(at[0]) << 8 |
                                      static_cast<std::uint32_t>(at[1]) << 16 |
                                      static_cast<std::uint32_t>(at[2]) << 24;
            return static_cast<float>(static_cast<std::int32_t>(raw)) / 65536.0f;
        }
        default: {
            const std::uint32_t raw =
                static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
            return static_cast<float>(static_cast<std::int32_t>(raw)) / 65536.0f;
        }
    }
}

std::int16_t Saturate(float value) {
    const float clamped = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<std::int16_t>(std::lrint(clamped));
}

}  // namespace

Mixer::Mixer(int outputRate) : outputRate_(std::clamp(outputRate, kMinRate, kMaxRate)) {}

Mixer::VoiceId Mixer::CreateVoice(const WaveFormat& format,
                                  std::shared_ptr<const std::vector<std::uint8_t>> samples) {
    if (!samples) return 0;
    if (format.formatTag != kTagPcm && format.formatTag != kTagExtensible) return 0;
    if (format.channels < 1 || format.channels > 2) return 0;
    const int bits = format.bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
    if (format.samplesPerSec < kMinRate || format.samplesPerSec > kMaxRate) return 0;

    Voice voice;
    voice.channels = format.channels;
    voice.bytesPerSample = bits / 8;
    // The frame size follows from the layout; a stray block size must not shift the channels.
    voice.frameBytes = voice.channels * voice.bytesPerSample;
    voice.frameCount = static_cast<std::uint32_t>(samples->size() / voice.frameBytes);
    voice.samples = std::move(samples);
    voice.ownRate = format.samplesPerSec;
    voice.rate = format.samplesPerSec;
    return Add(std::move(voice));
}

Mixer::VoiceId Mixer::DuplicateVoice(VoiceId original) {
    Voice copy;
    {
        std::lock_guard lock(mutex_);
        const Voice* source = Find(original);
        if (source == nullptr) return 0;
        copy = *source;
    }
    copy.position = 0;
    copy.playing = false;
    copy.looping = false;
    return Add(std::move(copy));
}

void Mixer::DestroyVoice(VoiceId id) {
    std::lock_guard lock(mutex_);
    voices_.erase(id);
}

bool Mixer::HasVoice(VoiceId id) const {
    std::lock_guard lock(mutex_);
    return Find(id) != nullptr;
}

void Mixer::Stop(VoiceId id) {
    std::lock_guard lock(mutex_);
    if (Voice* voice = Find(id)) voice->playing = false;
}

void Mixer::SetPosition(VoiceId id, std::uint32_t byteOffset) {
    std::lock_guard lock(mutex_);
    Voice* voice = Find(id);
    if (voice == nullptr) return;
    const std::uint32_t frame = std::min(byteOffset / voice->frameBytes, voice->frameCount);
    voice->position = static_cast<std::uint64_t>(frame) << 32;
}

void Mixer::SetFrequency(VoiceId id, int hz) {
    std::lock_guard lock(mutex_);
    Voice* voice = Find(id);
    if (voice == nullptr) return;
    voice->rate = hz == 0 ? voice->ownRate : std::clamp(hz, kMinRate, kMaxRate);
}

void Mixer::SetPan(VoiceId id, int pan) {
    std::lock_guard lock(mutex_);
    Voice* voice = Find(id);
    if (voice == nullptr) return;
    voice->pan = std::clamp(pan, -kFullPan, kFullPan);
    UpdateGains(*voice);
}

void Mixer::SetVolume(VoiceId id, int volume) {
    std::lock_guard lock(mutex_);
    Voice* voice = Find(id);
    if (voice == nullptr) return;
    voice->volume = std::clamp(volume, kSilentAttenuation, 0);
    UpdateGains(*voice);
}

void Mixer::Play(VoiceId id, bool looping) {
    std::lock_guard lock(mutex_);
    Voice* voice = Find(id);
    if (voice == nullptr) return;
    voice->looping = looping;
    voice->playing = true;
}

bool Mixer::IsPlaying(VoiceId id) const {
    std::lock_guard lock(mutex_);
    const Voice* voice = Find(id);
    return voice != nullptr && voice->playing;
}

void Mixer::SetSongSource(SongSource source, float gain) {
    std::lock_guard lock(mutex_);
    song_ = std::move(source);
    songGain_ = gain;
}

void Mixer::Mix(std::int16_t* out, int count) {
    if (count <= 0) return;
    const auto samples = static_cast<std::size_t>(count) * 2;
    std::lock_guard lock(mutex_);
    accumulator_.assign(samples, 0.0f);
    for (auto& [id, voice] : voices_) {
        if (voice.playing) Render(voice, accumulator_.data(), count);
    }
    if (song_) {
        songFrames_.assign(samples, 0);
        song_(songFrames_.data(), count);
        for (std::size_t i = 0; i < samples; ++i) {
            accumulator_[i] += songGain_ * static_cast<float>(songFrames_[i]);
        }
    }
    for (std::size_t i = 0; i < samples; ++i) out[i] = Saturate(accumulator_[i]);
}

void Mixer::Skip(int count) {
    if (count <= 0) return;
    std::lock_guard lock(mutex_);
    for (auto& [id, voice] : voices_) {
        if (voice.playing) Render(voice, nullptr, count);
    }
}

Mixer::Voice* Mixer::Find(VoiceId id) {
    const auto found = voices_.find(id);
    return found == voices_.end() ? nullptr : &found->second;
}

const Mixer::Voice* Mixer::Find(VoiceId id) const {
    const auto found = voices_.find(id);
    return found == voices_.end() ? nullptr : &found->second;
}

void Mixer::UpdateGains(Voice& voice) {
    const float level = AttenuationGain(voice.volume);
    // A voice to the right keeps its right side and loses on the left, and the other way round.
    voice.gainLeft = level * AttenuationGain(-std::max(voice.pan, 0));
    voice.gainRight = level * AttenuationGain(std::min(voice.pan, 0));
}

Mixer::VoiceId Mixer::Add(Voice voice) {
    std::lock_guard lock(mutex_);
    const VoiceId id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;  // after four billion voices, still never hand out 0
    voices_.emplace(id, std::move(voice));
    return id;
}

void Mixer::Render(Voice& voice, float* acc, int count) const {
    const std::uint64_t end = static_cast<std::uint64_t>(voice.frameCount) << 32;
    // A finished one-shot voice rewinds, so that a later Play without a position starts it over.
    const auto finish = [&voice] {
        voice.playing = false;
        voice.position = 0;
    };
    if (end == 0) return finish();
    if (voice.position >= end) {
        if (!voice.looping) return finish();
        voice.position %= end;
    }
    const std::uint64_t step =
        (static_cast<std::uint64_t>(voice.rate) << 32) / static_cast<std::uint64_t>(outputRate_);

    if (acc == nullptr) {
        const std::uint64_t target = voice.position + step * static_cast<std::uint64_t>(count);
        if (target < end) {
            voice.position = target;
        } else if (voice.looping) {
            voice.position = target % end;
        } else {
            finish();
        }
        return;
    }

    const std::uint8_t* data = voice.samples->data();
    const std::uint32_t last = voice.frameCount - 1;
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::uint32_t>(voice.position >> 32);
        // Interpolating towards the first frame at the end of a loop keeps the wrap seamless.
        const std::uint32_t next = index < last ? index + 1 : (voice.looping ? 0 : last);
        const auto fraction =
            static_cast<float>(static_cast<double>(voice.position & 0xFFFFFFFFu) * kFractionScale);
        const std::uint8_t* here = data + static_cast<std::size_t>(index) * voice.frameBytes;
        const std::uint8_t* there = data + static_cast<std::size_t>(next) * voice.frameBytes;
        float left = ReadSample(here, voice.bytesPerSample);
        left += (ReadSample(there, voice.bytesPerSample) - left) * fraction;
        float right = left;
        if (voice.channels == 2) {
            right = ReadSample(here + voice.bytesPerSample, voice.bytesPerSample);
            right +=
                (ReadSample(there + voice.bytesPerSample, voice.bytesPerSample) - right) * fraction;
        }
        acc[2 * i] += left * voice.gainLeft;
        acc[2 * i + 1] += right * voice.gainRight;

        voice.position += step;
        if (voice.position >= end) {
            if (!voice.looping) return finish();
            voice.position %= end;
        }
    }
}

}  // namespace vrumbal
