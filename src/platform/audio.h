// The sound output as the game sees it: wave formats, sound buffers played once or looped, and
// the one tracker song under them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vrumbal {

// The fields of a PCM wave format record that the mixer needs.
struct WaveFormat {
    int formatTag = 1;      // 1 = integer PCM
    int channels = 1;       // 1 or 2
    int samplesPerSec = 0;  // sample rate in Hz
    int bitsPerSample = 8;  // 8 (unsigned) or 16 (signed)
    int blockAlign = 1;     // bytes per sample frame
};

// Reads the fields from a raw wave format record; false when it is too short or not PCM.
bool ParseWaveFormat(const std::vector<std::uint8_t>& record, WaveFormat& out);

// One sound buffer of the output: a wave that can be played once or looped. Copies made by
// Duplicate share the sample memory.
class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    // Stops playing; the play position stays where it was.
    virtual void Stop() = 0;
    // Moves the play position to the given byte offset of the samples.
    virtual void SetPosition(std::uint32_t byteOffset) = 0;
    // Playback rate in Hz; 0 means the wave's own rate.
    virtual void SetFrequency(int hz) = 0;
    // Stereo position, -10000 (left) .. 10000 (right), hundredths of a decibel of attenuation.
    virtual void SetPan(int pan) = 0;
    // Attenuation in hundredths of a decibel, -10000 .. 0 (0 = full volume).
    virtual void SetVolume(int volume) = 0;
    // Starts playing from the current position, once or looping.
    virtual void Play(bool looping) = 0;
    // True while the buffer is playing.
    virtual bool IsPlaying() const = 0;
};

// The sound output: effect buffers and one tracker song, mixed into one stream.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // True when the output could be opened.
    virtual bool IsOpen() const = 0;
    // Makes a buffer holding the given samples; nullptr when the format cannot be played.
    virtual std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat& format, std::shared_ptr<const std::vector<std::uint8_t>> samples) = 0;
    // Makes a copy of a buffer made by this output that shares its samples; nullptr on failure.
    virtual std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) = 0;
    // Loads an XM song from a file; 0 on failure, else a handle.
    virtual int SongLoadFromFile(const std::string& path) = 0;
    // Starts the loaded song from its beginning; it repeats at its end.
    virtual void SongPlay(int handle) = 0;
    // Stops the song and releases it.
    virtual void SongFree(int handle) = 0;
};

// The output over SDL2 audio with our own mixer and libxmp for songs. When no audio device can
// be opened the output still works, silently.
std::unique_ptr<AudioOutput> CreateSdlAudio();

}  // namespace vrumbal
