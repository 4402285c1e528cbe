// The sound libraries at work: buffers made from each wave, plays on free or recycled copies,
// loading, and following the sound output through its life.
#include "engine/wave_collection.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "engine/library_error.h"
#include "engine/library_reader.h"

namespace vrumbal {

// ---- TWaveCollectionItem ----

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& owner, WaveItemData data)
    : owner_(owner),
      name_(std::move(data.name)),
      format_(std::move(data.format)),
      samples_(std::make_shared<const std::vector<std::uint8_t>>(std::move(data.samples))),
      looped_(data.looped),
      maxPlayingCount_(std::max(data.maxPlayingCount, 0)) {}

TWaveCollectionItem::~TWaveCollectionItem() {
    copies_.clear();  // the copies go before the buffer they were made from
    buffer_.reset();
}

const SoundBuffer* TWaveCollectionItem::Copy(int index) const {
    if (index < 0 || index >= CopyCount()) return nullptr;
    return copies_[index].get();
}

void TWaveCollectionItem::SetLooped(bool looped) {
    if (looped == looped_) return;
    Stop();
    looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int count) {
    count = std::max(count, 0);
    if (count == maxPlayingCount_) return;
    maxPlayingCount_ = count;
    if (initialized_) copies_.clear();
}

AudioOutput* TWaveCollectionItem::Output() const {
    const TDXSound* sound = owner_.Sound();
    return sound != nullptr && sound->Initialized() ? sound->Output() : nullptr;
}

void TWaveCollectionItem::Initialize() {
    Finalize();
    initialized_ = Output() != nullptr;
}

void TWaveCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    copies_.clear();
    buffer_.reset();
}

void TWaveCollectionItem::Restore() {
    if (!HasSamples()) return;
    if (!initialized_) {
        Initialize();
        if (!initialized_) return;
    }
    AudioOutput* output = Output();
    if (output == nullptr) return;
    if (!buffer_) {
        WaveFormat format;
        if (!ParseWaveFormat(format_, format)) return;  // a format we cannot play stays silent
        buffer_ = output->CreateBuffer(format, samples_);
        if (!buffer_) return;
    }
    buffer_->SetFrequency(frequency_);
    buffer_->SetPan(pan_);
    buffer_->SetVolume(volume_);
}

void TWaveCollectionItem::Play(bool wait) {
    if (!initialized_) return;
    if (looped_) {
        if (!buffer_) Restore();
        if (!buffer_) return;
        buffer_->Stop();
        buffer_->SetPosition(0);
        buffer_->Play(true);
        return;
    }

    SoundBuffer* chosen = nullptr;
    for (auto& copy : copies_) {
        if (!copy->IsPlaying()) {
            chosen = copy.get();
            break;
        }
    }
    if (chosen == nullptr) {
        if (maxPlayingCount_ == 0 || CopyCount() < maxPlayingCount_) {
            if (!buffer_) Restore();
            AudioOutput* output = Output();
            if (!buffer_ || output == nullptr) return;
            auto copy = output->Duplicate(*buffer_);
            if (!copy) return;
            copies_.push_back(std::move(copy));
        } else {
            // Every allowed copy is busy: the oldest one starts again and becomes the newest.
            std::rotate(copies_.begin(), copies_.begin() + 1, copies_.end());
        }
        chosen = copies_.back().get();
    }
    chosen->Stop();
    chosen->SetPosition(0);
    chosen->SetFrequency(frequency_);
    chosen->SetPan(pan_);
    chosen->SetVolume(volume_);
    chosen->Play(false);
    if (wait) WaitForEnd(*chosen);
}

void TWaveCollectionItem::WaitForEnd(const SoundBuffer& buffer) const {
    // A buffer that never reports its end must not hang the game: wait at most the sound's
    // own length plus a second.
    auto limit = std::chrono::milliseconds(1000);
    WaveFormat format;
    if (ParseWaveFormat(format_, format)) {
        const long long rate = frequency_ > 0 ? frequency_ : format.samplesPerSec;
        const long long frameBytes = std::max(format.blockAlign, 1);
        if (rate > 0) {
            limit += std::chrono::milliseconds(static_cast<long long>(samples_->size()) /
                                               frameBytes * 1000 / rate);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (buffer.IsPlaying() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void TWaveCollectionItem::Stop() {
    if (!initialized_) return;
    if (buffer_) buffer_->Stop();
    for (auto& copy : copies_) copy->Stop();
}

// ---- TWaveCollection ----

void TWaveCollection::LoadFromFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const std::string error = ReadFileBytes(path, bytes);
    if (!error.empty()) throw LibraryError(error);
    LoadFromBytes(bytes);
}

void TWaveCollection::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    items_.clear();
    WaveLibraryData data;
    const std::string error = ReadWaveLibrary(bytes, data);
    for (auto& item : data.items) {
        items_.push_back(std::make_unique<TWaveCollectionItem>(*this, std::move(item)));
    }
    if (!error.empty()) throw LibraryError(error);
    if (sound_ != nullptr && sound_->Initialized()) {
        Initialize(*sound_);
        Restore();
    }
}

TWaveCollectionItem& TWaveCollection::Items(int index) {
    if (index < 0 || index >= Count()) {
        throw LibraryError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return *items_[index];
}

TWaveCollectionItem& TWaveCollection::Add(WaveItemData data) {
    items_.push_back(std::make_unique<TWaveCollectionItem>(*this, std::move(data)));
    TWaveCollectionItem& item = *items_.back();
    if (sound_ != nullptr && sound_->Initialized()) {
        item.Initialize();
        item.Restore();
    }
    return item;
}

void TWaveCollection::Initialize(TDXSound& sound) {
    Finalize();
    sound_ = &sound;
    for (auto& item : items_) item->Initialize();
}

void TWaveCollection::Finalize() {
    for (auto& item : items_) item->Finalize();
    sound_ = nullptr;
}

void TWaveCollection::Restore() {
    for (auto& item : items_) item->Restore();
}

// ---- TDXWaveList ----

TDXWaveList::TDXWaveList(TDXSound* sound) {
    SetDXSound(sound);
}

TDXWaveList::~TDXWaveList() {
    if (sound_ != nullptr) sound_->RemoveListener(this);
}

void TDXWaveList::SetDXSound(TDXSound* sound) {
    if (sound == sound_) return;
    if (sound_ != nullptr) {
        sound_->RemoveListener(this);
        items_.Finalize();
    }
    sound_ = sound;
    if (sound_ != nullptr) sound_->AddListener(this);  // a ready output tells us at once
}

void TDXWaveList::SoundNotify(TDXSound& sender, SoundNotification what) {
    switch (what) {
        case SoundNotification::Destroying:
            items_.Finalize();
            sound_ = nullptr;
            break;
        case SoundNotification::Initialized:
            items_.Initialize(sender);
            break;
        case SoundNotification::Finalized:
            items_.Finalize();
            break;
        case SoundNotification::Restored:
            items_.Restore();
            break;
    }
}

}  // namespace vrumbal
