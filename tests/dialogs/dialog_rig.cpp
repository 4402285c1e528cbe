#include "dialog_rig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "engine/library_writer.h"
#include "platform/codepage.h"

namespace vrumbal::test {
namespace {

// Sound n of the test library has n + 1 sample bytes, so its buffers tell which sound they are.
class LoggedBuffer final : public SoundBuffer {
public:
    LoggedBuffer(SoundLog& log, int sound) : log_(log), sound_(sound) {}
    void Stop() override { playing_ = false; }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        playing_ = true;
        ++log_.starts[sound_];
    }
    bool IsPlaying() const override { return playing_; }
    int Sound() const { return sound_; }

private:
    SoundLog& log_;
    int sound_;
    bool playing_ = false;
};

class LoggedAudio final : public AudioOutput {
public:
    explicit LoggedAudio(SoundLog& log) : log_(log) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<LoggedBuffer>(log_, static_cast<int>(samples->size()) - 1);
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<LoggedBuffer>(log_,
                                              static_cast<const LoggedBuffer&>(original).Sound());
    }
    int SongLoadFromFile(const std::string&) override { return 0; }
    void SongPlay(int) override {}
    void SongFree(int) override {}

private:
    SoundLog& log_;
};

class QuietShell final : public SystemShell {
public:
    void Open(const std::string&) override {}
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}
};

// Records every text; measures with the real renderer or with fixed sizes.
class RecordingText final : public TextRenderer {
public:
    RecordingText(std::shared_ptr<std::vector<DrawnText>> log, TextMetrics metrics)
        : log_(std::move(log)), metrics_(metrics) {
        if (metrics.realFonts) real_ = CreateTtfTextRenderer();
    }
    void DrawText(const PixelBuffer& target, int x, int y, const std::string& cp1251,
                  const FontSpec& font) override {
        log_->push_back({Cp1251ToUtf8(cp1251), x, y, TextWidth(cp1251, font),
                         TextHeight(cp1251, font), font.size, font.color});
        if (real_) real_->DrawText(target, x, y, cp1251, font);
    }
    int TextWidth(const std::string& cp1251, const FontSpec& font) override {
        if (real_) return real_->TextWidth(cp1251, font);
        return static_cast<int>(cp1251.size()) * metrics_.charWidth;
    }
    int TextHeight(const std::string& cp1251, const FontSpec& font) override {
        if (real_) return real_->TextHeight(cp1251, font);
        return metrics_.lineHeight;
    }

private:
    std::shared_ptr<std::vector<DrawnText>> log_;
    TextMetrics metrics_;
    std::unique_ptr<TextRenderer> real_;
};

std::vector<std::uint8_t> SoundLibrary() {
    WaveLibraryData lib;
    for (int n = 0; n < 22; ++n) {
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

// The pictures the content build made beside the game.
std::filesystem::path BuiltResources() {
    return std::filesystem::path(VRUMBAL_GAME_PATH).parent_path() / "Data" / "Res";
}

}  // namespace

DialogRig::DialogRig(int fps, TextMetrics metrics)
    : sounds_(std::make_unique<SoundLog>()),
      texts_(std::make_shared<std::vector<DrawnText>>()),
      fps_(fps) {
    if (!std::filesystem::exists(BuiltResources() / "Res1.dxg")) {
        throw std::runtime_error("the pictures are missing: build the content target first");
    }
    const auto res = dir_.Path() / "Data" / "Res";
    std::filesystem::create_directories(res);
    for (const char* name : {"Res1.dxg", "Res2.dxg", "Res3.dxg"}) {
        std::filesystem::create_symlink(BuiltResources() / name, res / name);
    }
    const auto sounds = SoundLibrary();
    std::ofstream(res / "Sounds.dxw", std::ios::binary)
        .write(reinterpret_cast<const char*>(sounds.data()),
               static_cast<std::streamsize>(sounds.size()));

    PlatformBundle p;
    p.audio = std::make_unique<LoggedAudio>(*sounds_);
    p.text = std::make_unique<RecordingText>(texts_, metrics);
    auto clock = std::make_unique<SimulatedClock>(5000);
    clock_ = clock.get();
    p.clock = std::move(clock);
    p.shell = std::make_unique<QuietShell>();
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 5;
    config.refreshOverride = fps;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    form_->Dialogs().SendScore = [this](const ScoreRecord& record) {
        sent_.push_back(record);
        sentFrames_.push_back(form_->FrameCount());
    };
}

DialogRig::~DialogRig() = default;

const DrawnText* DialogRig::Find(const std::string& prefix) const {
    for (const auto& t : *texts_) {
        if (t.text.rfind(prefix, 0) == 0) return &t;
    }
    return nullptr;
}

void DialogRig::StartRace(int level) {
    form_->StartRace(level);
}

void DialogRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        // Spread the division's remainder so that fps frames take exactly one second.
        std::uint64_t step = 1000000u / static_cast<unsigned>(fps_);
        remainder_ += 1000000u % static_cast<unsigned>(fps_);
        if (remainder_ >= static_cast<unsigned>(fps_)) {
            remainder_ -= static_cast<unsigned>(fps_);
            ++step;
        }
        texts_->clear();
        clock_->AdvanceMicros(step);
        form_->MDXTimer.Idle();
    }
}

int DialogRig::FramesWhileOpen(int kind, int limit) {
    int n = 0;
    while (n < limit && Game().DialogKind == kind) {
        Frames(1);
        ++n;
    }
    return n;
}

void DialogRig::KeyDown(int vk) {
    WindowEvent e{WindowEvent::Type::KeyDown};
    e.key = vk;
    form_->HandleEvent(e);
}

void DialogRig::KeyUp(int vk) {
    WindowEvent e{WindowEvent::Type::KeyUp};
    e.key = vk;
    form_->HandleEvent(e);
}

void DialogRig::Press(int vk) {
    KeyDown(vk);
    Frames(1);
    KeyUp(vk);
}

void DialogRig::Type(std::uint8_t ch) {
    WindowEvent e{WindowEvent::Type::Char};
    e.ch = ch;
    form_->HandleEvent(e);
}

void DialogRig::Type(const std::string& cp1251) {
    for (char c : cp1251) Type(static_cast<std::uint8_t>(c));
}

void DialogRig::MoveMouse(int x, int y) {
    WindowEvent e{WindowEvent::Type::MouseMove};
    e.x = x;
    e.y = y;
    form_->HandleEvent(e);
}

void DialogRig::Click(int x, int y) {
    MoveMouse(x, y);
    WindowEvent e{WindowEvent::Type::Click};
    e.x = x;
    e.y = y;
    form_->HandleEvent(e);
}

}  // namespace vrumbal::test
