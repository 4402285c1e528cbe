// The dialogs' rig: the built pictures, a text renderer that records, and caught results.
#include "dialog_rig.h"

#include <stdexcept>

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
    void DrawText(const PixelBuffer& target, int x, int y, const std::string& utf8,
                  const FontSpec& font) override {
        log_->push_back(
            {utf8, x, y, TextWidth(utf8, font), TextHeight(utf8, font), font.size, font.color});
        if (real_) real_->DrawText(target, x, y, utf8, font);
    }
    int TextWidth(const std::string& utf8, const FontSpec& font) override {
        if (real_) return real_->TextWidth(utf8, font);
        return CharacterCount(utf8) * metrics_.charWidth;
    }
    int TextHeight(const std::string& utf8, const FontSpec& font) override {
        if (real_) return real_->TextHeight(utf8, font);
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

DialogRig::DialogRig(int fps, TextMetrics metrics, bool pads, bool builtSounds)
    : GameRig(fps), texts_(std::make_shared<std::vector<DrawnText>>()) {
    if (!std::filesystem::exists(BuiltResources() / "Res1.dxg")) {
        throw std::runtime_error("the pictures are missing: build the content target first");
    }
    const auto res = Root() / "Data" / "Res";
    std::filesystem::create_directories(res);
    for (const char* name : {"Res1.dxg", "Res2.dxg", "Res3.dxg"}) {
        std::filesystem::create_symlink(BuiltResources() / name, res / name);
    }
    if (builtSounds) {
        std::filesystem::create_symlink(BuiltResources() / "Sounds.dxw", res / "Sounds.dxw");
    } else {
        WriteFile(res / "Sounds.dxw", NumberedSounds(22));
    }

    PlatformBundle p = RecordingPlatform();
    p.text = std::make_unique<RecordingText>(texts_, metrics);
    if (pads) {
        p.pads = CreateSdlGamepads();
        if (!p.pads) throw std::runtime_error("SDL's game controller support did not start");
    }
    Create(std::move(p), 5);
    Form().Uploads().send = [this](const ScoreRecord& record, const std::string& replay) {
        sent_.push_back(record);
        sentReplays_.push_back(replay);
        sentFrames_.push_back(Form().FrameCount());
        return answer;
    };
}

const DrawnText* DialogRig::Find(const std::string& prefix) const {
    for (const auto& t : *texts_) {
        if (t.text.rfind(prefix, 0) == 0) return &t;
    }
    return nullptr;
}

}  // namespace vrumbal::test
