// The sound output component and the notices it sends to the sound libraries bound to it.
#pragma once
#include <vector>

#include "platform/audio.h"

namespace vrumbal {

class TDXSound;

// What the sound output tells the sound libraries bound to it.
enum class SoundNotification { Destroying, Initialized, Finalized, Restored };

// Something that wants to hear of the sound output's life (the wave lists).
class SoundListener {
public:
    virtual ~SoundListener() = default;
    // Called by the sound output for each of its notifications.
    virtual void SoundNotify(TDXSound& sender, SoundNotification what) = 0;
};

// The sound output component: wraps the platform's audio output and tells its listeners when
// it is ready.
class TDXSound final {
public:
    // A component over the given output (not owned; may be null for a silent game).
    explicit TDXSound(AudioOutput* output) : output_(output) {}
    ~TDXSound();
    TDXSound(const TDXSound&) = delete;
    TDXSound& operator=(const TDXSound&) = delete;
    // Makes the output ready and tells the listeners (initialised, then restored).
    void Initialize();
    // Tells the listeners and marks the output not ready.
    void Finalize();
    // True between Initialize and Finalize.
    bool Initialized() const { return initialized_; }
    // The platform output, or null.
    AudioOutput* Output() const { return output_; }
    // Registers a listener; a listener that registers with an initialised output is told so.
    void AddListener(SoundListener* listener);
    // Unregisters a listener.
    void RemoveListener(SoundListener* listener);

private:
    void NotifyAll(SoundNotification what);

    AudioOutput* output_;                     // the platform output (not owned)
    bool initialized_ = false;                // ready to make buffers
    std::vector<SoundListener*> listeners_;   // the wave lists bound here (not owned)
};

}  // namespace vrumbal
