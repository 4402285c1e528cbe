// The sound output's life: made ready and closed, with its listeners told of each step.
#include "engine/dx_sound.h"

#include <algorithm>

namespace vrumbal {

TDXSound::~TDXSound() {
    Finalize();
    const auto listeners = listeners_;
    for (auto* l : listeners) l->SoundNotify(*this, SoundNotification::Destroying);
}

void TDXSound::Initialize() {
    Finalize();
    initialized_ = output_ != nullptr;
    if (!initialized_) return;
    NotifyAll(SoundNotification::Initialized);
    NotifyAll(SoundNotification::Restored);
}

void TDXSound::Finalize() {
    if (!initialized_) return;
    NotifyAll(SoundNotification::Finalized);
    initialized_ = false;
}

void TDXSound::AddListener(SoundListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
    listeners_.push_back(listener);
    if (initialized_) {
        listener->SoundNotify(*this, SoundNotification::Initialized);
        listener->SoundNotify(*this, SoundNotification::Restored);
    }
}

void TDXSound::RemoveListener(SoundListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                     listeners_.end());
}

void TDXSound::NotifyAll(SoundNotification what) {
    const auto listeners = listeners_;  // a listener may unregister while being told
    for (auto* l : listeners) l->SoundNotify(*this, what);
}

}  // namespace vrumbal
