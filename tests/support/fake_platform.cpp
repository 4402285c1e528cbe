#include "support/fake_platform.h"

#include <fstream>
#include <stdexcept>

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

// A buffer of one numbered sound: starts are logged under its number and its length.
class RecordingBuffer final : public SoundBuffer {
public:
    RecordingBuffer(PlatformLog& log, PlayingState state, std::size_t bytes)
        : log_(log), state_(state), bytes_(bytes), sound_(static_cast<int>(bytes) - 1) {}
    void Stop() override {
        playing_ = false;
        log_.playing[sound_] = false;
    }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        playing_ = true;
        log_.playing[sound_] = true;
        ++log_.starts[sound_];
        ++log_.plays[bytes_];
    }
    bool IsPlaying() const override {
        return state_ == PlayingState::kPerSound ? log_.playing[sound_] : playing_;
    }
    std::size_t Bytes() const { return bytes_; }

private:
    PlatformLog& log_;
    PlayingState state_;
    std::size_t bytes_;  // sample bytes
    int sound_;          // sound number
    bool playing_ = false;
};

class RecordingAudio final : public AudioOutput {
public:
    RecordingAudio(PlatformLog& log, PlayingState state) : log_(log), state_(state) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<RecordingBuffer>(log_, state_, samples->size());
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<RecordingBuffer>(
            log_, state_, static_cast<const RecordingBuffer&>(original).Bytes());
    }
    int SongLoadFromFile(const std::string& path) override {
        if (!std::ifstream(path)) return 0;
        log_.songs.push_back(path);
        return ++log_.songsLoaded;
    }
    void SongPlay(int song) override { log_.songsPlayed.push_back(song); }
    void SongFree(int song) override { log_.songsFreed.push_back(song); }

private:
    PlatformLog& log_;
    PlayingState state_;
};

class RecordingShell final : public SystemShell {
public:
    explicit RecordingShell(PlatformLog& log) : log_(log) {}
    void Open(const std::string& target) override { log_.opened.push_back(target); }
    void RaisePriority() override {}
    void ShowError(const std::string& title, const std::string& text) override {
        log_.errors.push_back(title + ": " + text);
    }

private:
    PlatformLog& log_;
};

class RecordingDisplay final : public Display {
public:
    explicit RecordingDisplay(PlatformLog& log) : log_(log) {}
    bool Open(bool fullScreen, std::string& error) override {
        log_.display.push_back(fullScreen ? "open full" : "open window");
        if (fullScreen ? log_.refuseFullScreen : log_.refuseWindow) {
            error = "Display mode cannot be changed (800x600 16bit)";
            return false;
        }
        size_ = fullScreen ? log_.fullScreenSize : log_.windowSize;
        open_ = true;
        return true;
    }
    void Close() override {
        log_.display.push_back("close");
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    PixelSize OutputSize() override {
        const auto later = log_.sizeAtPresent.find(log_.presents + 1);
        if (later != log_.sizeAtPresent.end()) size_ = later->second;
        return size_;
    }
    void PresentFitted(const PixelBuffer&, const FrameFit&, PixelSize, bool) override {
        ++log_.presents;
        if (log_.presents == log_.endAtPresent) log_.endRequested = true;
        if (log_.presents == log_.throwAtPresent) throw std::runtime_error("the display broke");
    }
    int RefreshRate() const override { return 0; }
    void PollEvents(std::vector<WindowEvent>& out) override {
        out.insert(out.end(), log_.pending.begin(), log_.pending.end());
        log_.pending.clear();
    }
    bool HasFocus() const override { return true; }
    void Minimize() override { log_.display.push_back("minimize"); }
    void ShowPointer(bool visible) override {
        if (visible != log_.pointerShown) ++log_.pointerChanges;
        log_.pointerShown = visible;
    }
    bool PointerShown() const override { return log_.pointerShown; }
    void SavePlacement() override { log_.display.push_back("save place"); }
    void RestorePlacement() override { log_.display.push_back("restore place"); }
    std::optional<PixelRect> WindowPlacement() const override { return log_.window; }

private:
    PlatformLog& log_;
    bool open_ = false;
    PixelSize size_;  // the drawable now
};

class RecordingSignals final : public SessionSignals {
public:
    explicit RecordingSignals(PlatformLog& log) : log_(log) {}
    bool EndRequested() override { return log_.endRequested; }

private:
    PlatformLog& log_;
};

}  // namespace

void AddRecordingSignals(PlatformBundle& platform, PlatformLog& log) {
    platform.signals = std::make_unique<RecordingSignals>(log);
}

void AddRecordingDisplay(PlatformBundle& platform, PlatformLog& log) {
    platform.display = std::make_unique<RecordingDisplay>(log);
}

std::unique_ptr<AudioOutput> MakeRecordingAudio(PlatformLog& log, PlayingState playing) {
    return std::make_unique<RecordingAudio>(log, playing);
}

std::unique_ptr<SystemShell> MakeRecordingShell(PlatformLog& log) {
    return std::make_unique<RecordingShell>(log);
}

PlatformBundle FakePlatform(PlatformLog& log, SimulatedClock*& clock, PlayingState playing) {
    PlatformBundle p;
    p.audio = MakeRecordingAudio(log, playing);
    auto simulated = std::make_unique<SimulatedClock>(5000);
    clock = simulated.get();
    p.clock = std::move(simulated);
    p.shell = MakeRecordingShell(log);
    return p;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

PictureItemData SolidPicture(int patternWidth, int height, int patterns, std::uint32_t colour,
                             PatternLayout layout) {
    PictureItemData item;
    item.name = "p";
    item.patternWidth = patternWidth;
    item.patternHeight = height;
    const bool stacked = layout == PatternLayout::kStacked;
    item.picture.width = stacked ? patternWidth : patternWidth * patterns;
    item.picture.height = stacked ? height * patterns : height;
    item.picture.pixels.assign(static_cast<std::size_t>(item.picture.width) *
                                   static_cast<std::size_t>(item.picture.height),
                               colour);
    return item;
}

std::vector<std::uint8_t> SmallPictures(int count, std::uint32_t colour, std::uint32_t colourStep) {
    PictureLibraryData lib;
    for (int i = 0; i < count; ++i) {
        lib.items.push_back(
            SolidPicture(8, 8, 1, colour + static_cast<std::uint32_t>(i) * colourStep));
    }
    return WritePictureLibrary(lib);
}

std::vector<std::uint8_t> NumberedSounds(int count) {
    WaveLibraryData lib;
    for (int n = 0; n < count; ++n) {
        WaveItemData item;
        item.name = "s" + std::to_string(n);
        item.hasWave = true;
        // PCM, mono, 22050 Hz, 8 bits.
        item.format = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0};
        item.samples.assign(static_cast<std::size_t>(n + 1), 0x80);
        lib.items.push_back(item);
    }
    return WriteWaveLibrary(lib);
}

std::uint64_t FrameSteps::Next() {
    std::uint64_t step = 1000000u / fps_;
    remainder_ += 1000000u % fps_;
    if (remainder_ >= fps_) {
        remainder_ -= fps_;
        ++step;
    }
    return step;
}

WindowEvent KeyEvent(WindowEvent::Type type, int vk, std::uint8_t shift) {
    WindowEvent e{type};
    e.key = vk;
    e.shift = shift;
    return e;
}

WindowEvent PointerEvent(WindowEvent::Type type, int x, int y) {
    WindowEvent e{type};
    e.x = x;
    e.y = y;
    return e;
}

WindowEvent CharEvent(std::uint8_t ch) {
    WindowEvent e{WindowEvent::Type::Char};
    e.ch = ch;
    return e;
}

}  // namespace vrumbal::test
