// The software mixer: sound voices and one song mixed into stereo 16-bit frames for the device.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/audio.h"

namespace vrumbal {

// Mixes sound voices and one song into interleaved stereo 16-bit frames at a fixed output rate.
// Every method may be called from any thread: the device pulls frames on its own thread while
// the game starts and stops voices, so all state sits behind one lock. Voices are owned here and
// addressed by id, so a voice the game forgets mid-mix simply disappears between two mixes.
class Mixer final {
public:
    // Identifies a voice; 0 is never a voice.
    using VoiceId = std::uint32_t;
    // Fills the given number of interleaved stereo frames with song output.
    using SongSource = std::function<void(std::int16_t* frames, int count)>;

    // A mixer producing frames at the given rate in Hz.
    explicit Mixer(int outputRate);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // The output rate in Hz.
    int OutputRate() const { return outputRate_; }
    // Makes a stopped voice at position 0 over the samples; 0 when the format cannot be played.
    VoiceId CreateVoice(const WaveFormat& format,
                        std::shared_ptr<const std::vector<std::uint8_t>> samples);
    // Makes a stopped voice at position 0 sharing the samples and settings of another; 0 when
    // there is no such voice.
    VoiceId DuplicateVoice(VoiceId original);
    // Forgets a voice; unknown ids are ignored.
    void DestroyVoice(VoiceId id);
    // True while the voice exists.
    bool HasVoice(VoiceId id) const;

    // Stops the voice where it is.
    void Stop(VoiceId id);
    // Moves the voice to a byte offset of its samples (rounded down to a whole frame).
    void SetPosition(VoiceId id, std::uint32_t byteOffset);
    // Playback rate in Hz; 0 restores the wave's own rate.
    void SetFrequency(VoiceId id, int hz);
    // Stereo position -10000 .. 10000: hundredths of a decibel taken off the other side.
    void SetPan(VoiceId id, int pan);
    // Attenuation in hundredths of a decibel, -10000 (silent) .. 0 (full).
    void SetVolume(VoiceId id, int volume);
    // Starts the voice from its position, once or looping.
    void Play(VoiceId id, bool looping);
    // True while the voice is playing.
    bool IsPlaying(VoiceId id) const;

    // Sets the song mixed under the voices, scaled by gain; an empty source removes it. Once this
    // returns, the previous source is no longer called.
    void SetSongSource(SongSource source, float gain);

    // Mixes the next frames into out (count interleaved stereo frames), advancing every voice.
    void Mix(std::int16_t* out, int count);
    // Advances every playing voice by the given number of frames without producing output; the
    // song is not asked for frames.
    void Skip(int count);

private:
    // One playing or stopped wave.
    struct Voice {
        std::shared_ptr<const std::vector<std::uint8_t>> samples;  // shared with duplicates
        int channels = 1;                                          // 1 or 2
        int bytesPerSample = 1;        // 1 (unsigned) or 2, 3, 4 (signed)
        int frameBytes = 1;            // bytes of one frame of all channels
        std::uint32_t frameCount = 0;  // whole frames held by the samples
        int ownRate = 0;               // the wave's own rate
        int rate = 0;                  // current playback rate
        std::uint64_t position = 0;    // frame position, 32.32 fixed point
        bool playing = false;          // sounding in the next mix
        bool looping = false;          // wraps to the start instead of stopping
        int volume = 0;                // hundredths of a decibel, -10000 .. 0
        int pan = 0;                   // -10000 .. 10000
        float gainLeft = 1.0f;         // volume and pan as factors
        float gainRight = 1.0f;
    };

    // The voice with the id, or null; the lock must be held.
    Voice* Find(VoiceId id);
    // The voice with the id, or null; the lock must be held.
    const Voice* Find(VoiceId id) const;
    // Stores a voice under a fresh id.
    VoiceId Add(Voice voice);
    // Recomputes the side gains from volume and pan.
    static void UpdateGains(Voice& voice);
    // Advances one voice over count frames, adding it to acc when acc is not null.
    void Render(Voice& voice, float* acc, int count) const;

    const int outputRate_;                       // frames per second produced
    mutable std::mutex mutex_;                   // guards everything below
    std::unordered_map<VoiceId, Voice> voices_;  // every voice, playing or not
    VoiceId nextId_ = 1;                         // ids are not reused, so stale ones find nothing
    SongSource song_;                            // the song under the voices, or empty
    float songGain_ = 1.0f;                      // the song's share of the mix
    std::vector<float> accumulator_;             // kept between mixes so the device thread
    std::vector<std::int16_t> songFrames_;       // does not allocate on every call
};

}  // namespace vrumbal
