// The sound libraries: items with their buffer and copies, the collection bound to the sound
// output, and the wave list component.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/dx_sound.h"
#include "engine/library_data.h"
#include "platform/audio.h"

namespace vrumbal {

class TWaveCollection;

// One sound of a sound library: a wave with a main buffer and a pool of copies so that the
// same sound can overlap itself.
class TWaveCollectionItem final {
public:
    // An item of the given collection holding what the file said of it.
    TWaveCollectionItem(TWaveCollection& owner, WaveItemData data);
    ~TWaveCollectionItem();
    TWaveCollectionItem(const TWaveCollectionItem&) = delete;
    TWaveCollectionItem& operator=(const TWaveCollectionItem&) = delete;

    // Item name from the file.
    const std::string& Name() const { return name_; }
    // True when the wave has sample bytes (only then does the item ever get a buffer).
    bool HasSamples() const { return !samples_->empty(); }
    // The raw wave format record.
    const std::vector<std::uint8_t>& Format() const { return format_; }
    // The sample bytes, shared with every buffer made from them.
    const std::shared_ptr<const std::vector<std::uint8_t>>& Samples() const { return samples_; }

    // Whether the sound repeats until stopped.
    bool Looped() const { return looped_; }
    // Changing it first stops the sound.
    void SetLooped(bool looped);
    // Most copies playing at once; 0 = no limit.
    int MaxPlayingCount() const { return maxPlayingCount_; }
    // Negative values count as 0; a change on an initialised item frees the copies.
    void SetMaxPlayingCount(int count);
    // Playback rate set on every play; 0 = the wave's own rate.
    int Frequency() const { return frequency_; }
    // Sets the playback rate used from the next play on.
    void SetFrequency(int hz) { frequency_ = hz; }
    // Stereo position set on every play; 0 = centre.
    int Pan() const { return pan_; }
    // Sets the stereo position used from the next play on.
    void SetPan(int pan) { pan_ = pan; }
    // Attenuation set on every play; 0 = full volume.
    int Volume() const { return volume_; }
    // Sets the attenuation used from the next play on.
    void SetVolume(int volume) { volume_ = volume; }

    // True while bound to an initialised sound output.
    bool Initialized() const { return initialized_; }
    // The main buffer (the template of the copies), or null.
    const SoundBuffer* Buffer() const { return buffer_.get(); }
    // Number of copies made for single-shot playing.
    int CopyCount() const { return static_cast<int>(copies_.size()); }
    // Copy index (oldest first), or null outside the range.
    const SoundBuffer* Copy(int index) const;

    // Finalises, then binds to the collection's output when that is initialised.
    void Initialize();
    // Frees every buffer.
    void Finalize();
    // Makes the main buffer from the wave when there is none.
    void Restore();
    // Plays the sound: looped on the main buffer, else on a free or recycled copy. With wait,
    // returns once the sound has ended.
    void Play(bool wait);
    // Stops the main buffer and every copy.
    void Stop();

private:
    AudioOutput* Output() const;
    void WaitForEnd(const SoundBuffer& buffer) const;

    TWaveCollection& owner_;                                    // the collection holding this item
    std::string name_;                                          // item name
    std::vector<std::uint8_t> format_;                          // raw wave format record
    std::shared_ptr<const std::vector<std::uint8_t>> samples_;  // shared with the buffers
    bool looped_ = false;                                       // repeats until stopped
    int maxPlayingCount_ = 0;                                   // 0 = no limit
    int frequency_ = 0;                                         // 0 = the wave's own rate
    int pan_ = 0;                                               // centre
    int volume_ = 0;                                            // full volume
    bool initialized_ = false;                                  // bound to a ready output
    std::unique_ptr<SoundBuffer> buffer_;                       // main buffer
    std::vector<std::unique_ptr<SoundBuffer>> copies_;          // single-shot copies, oldest first
};

// The items of one sound library, bound to a sound output.
class TWaveCollection final {
public:
    TWaveCollection() = default;
    TWaveCollection(const TWaveCollection&) = delete;
    TWaveCollection& operator=(const TWaveCollection&) = delete;
    // Loads a library file; throws LibraryError, keeping the items read so far.
    void LoadFromFile(const std::string& path);
    // Loads a library from its bytes; throws LibraryError, keeping the items read so far.
    // When bound to an initialised output the items are initialised and restored.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    // Number of items.
    int Count() const { return static_cast<int>(items_.size()); }
    // Item index; throws LibraryError "List index out of bounds (%d)" outside the range.
    TWaveCollectionItem& Items(int index);
    // Appends an item built from the given fields (initialised and restored when the
    // collection is bound to an initialised output); returns it.
    TWaveCollectionItem& Add(WaveItemData data);
    // Binds to an output and initialises the items.
    void Initialize(TDXSound& sound);
    // Finalises the items and unbinds.
    void Finalize();
    // Restores every item.
    void Restore();
    // The output bound to, or null.
    TDXSound* Sound() const { return sound_; }
    // Forgets the output without telling the items (it is going away).
    void Unbind() { sound_ = nullptr; }

private:
    std::vector<std::unique_ptr<TWaveCollectionItem>> items_;  // in file order
    TDXSound* sound_ = nullptr;                                // bound output (not owned)
};

// The wave list component: a sound collection bound to the sound output component.
class TDXWaveList final : public SoundListener {
public:
    // A list bound to the given output (may be null).
    explicit TDXWaveList(TDXSound* sound = nullptr);
    ~TDXWaveList() override;
    TDXWaveList(const TDXWaveList&) = delete;
    TDXWaveList& operator=(const TDXWaveList&) = delete;
    // The collection.
    TWaveCollection& Items() { return items_; }
    // Binds to another sound output component.
    void SetDXSound(TDXSound* sound);
    // Reacts to the sound output's notifications.
    void SoundNotify(TDXSound& sender, SoundNotification what) override;

private:
    TWaveCollection items_;      // the sounds
    TDXSound* sound_ = nullptr;  // the bound output (not owned)
};

}  // namespace vrumbal
