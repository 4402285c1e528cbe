#include "dialog_rig.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/library_writer.h"
#include "platform/codepage.h"

namespace vrumbal::test {
namespace {

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

// The pictures the content build made beside the game.
std::filesystem::path BuiltResources() {
    return std::filesystem::path(VRUMBAL_GAME_PATH).parent_path() / "Data" / "Res";
}

}  // namespace

DialogRig::DialogRig(int fps, TextMetrics metrics, bool pads)
    : sounds_(std::make_unique<SoundLog>()),
      texts_(std::make_shared<std::vector<DrawnText>>()),
      steps_(fps) {
    if (!std::filesystem::exists(BuiltResources() / "Res1.dxg")) {
        throw std::runtime_error("the pictures are missing: build the content target first");
    }
    const auto res = dir_.Path() / "Data" / "Res";
    std::filesystem::create_directories(res);
    for (const char* name : {"Res1.dxg", "Res2.dxg", "Res3.dxg"}) {
        std::filesystem::create_symlink(BuiltResources() / name, res / name);
    }
    WriteFile(res / "Sounds.dxw", NumberedSounds(22));

    PlatformBundle p = FakePlatform(*sounds_, clock_);
    p.text = std::make_unique<RecordingText>(texts_, metrics);
    if (pads) {
        p.pads = CreateSdlGamepads();
        if (!p.pads) throw std::runtime_error("SDL's game controller support did not start");
    }
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
        texts_->clear();
        form_->PollPads();
        clock_->AdvanceMicros(steps_.Next());
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
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk));
}

void DialogRig::KeyUp(int vk) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk));
}

void DialogRig::Press(int vk) {
    KeyDown(vk);
    Frames(1);
    KeyUp(vk);
}

void DialogRig::Type(std::uint8_t ch) {
    form_->HandleEvent(CharEvent(ch));
}

void DialogRig::Type(const std::string& cp1251) {
    for (char c : cp1251) Type(static_cast<std::uint8_t>(c));
}

void DialogRig::MoveMouse(int x, int y) {
    form_->HandleEvent(PointerEvent(WindowEvent::Type::MouseMove, x, y));
}

void DialogRig::Click(int x, int y) {
    MoveMouse(x, y);
    form_->HandleEvent(PointerEvent(WindowEvent::Type::Click, x, y));
}

}  // namespace vrumbal::test
