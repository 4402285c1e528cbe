// A headless game for the dialogs' tests: the built pictures, sounds told apart by their
// length, a simulated clock, texts recorded as they are drawn and results caught before they
// reach the network.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "online/score_record.h"
#include "shell/dialogs.h"
#include "race/race_screen.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key codes of the answers to the dialogs' questions.
inline constexpr int kKeyYes = 'Y';
inline constexpr int kKeyNo = 'N';

// One text as it was drawn.
struct DrawnText {
    std::string text;  // UTF-8
    int x = 0, y = 0;  // top-left corner
    int width = 0, height = 0;
    int size = 0;             // points
    std::uint32_t color = 0;  // 0x00BBGGRR
};

// What the fake sound output saw, by sound number.
using SoundLog = PlatformLog;

// How texts are measured.
struct TextMetrics {
    bool realFonts = false;  // the game's TrueType renderer; otherwise fixed sizes below
    int charWidth = 10;      // pixels per byte
    int lineHeight = 30;     // pixels per line
};

// A game of its own, started on the main menu.
class DialogRig {
public:
    // With pads set the game has SDL's game controllers, polled before every frame.
    explicit DialogRig(int fps = 85, TextMetrics metrics = {}, bool pads = false);
    ~DialogRig();

    TMForm& Form() { return *form_; }
    GameState& Game() { return form_->State(); }
    RaceState& Race() { return form_->Race(); }
    DialogState& Dialog() { return form_->Dialogs().State(); }
    SoundLog& Sounds() { return *sounds_; }
    // Results handed to the world table, and the frame each was sent in.
    const std::vector<ScoreRecord>& Sent() const { return sent_; }
    const std::vector<std::uint64_t>& SentInFrame() const { return sentFrames_; }
    // Texts drawn in the last frame.
    const std::vector<DrawnText>& Texts() const { return *texts_; }
    // The first text of the last frame that starts with prefix (UTF-8), or null.
    const DrawnText* Find(const std::string& prefix) const;

    // Starts a race at the given level; the level-start notice is open.
    void StartRace(int level = 1);
    // Runs n frames.
    void Frames(int n);
    // Runs frames while the given dialog stays open (at most limit); returns the frames run.
    int FramesWhileOpen(int kind, int limit = 20000);
    // Window events before the next frame.
    void KeyDown(int vk);
    void KeyUp(int vk);
    // Key down, one frame, key up.
    void Press(int vk);
    void Type(std::uint8_t ch);
    void Type(const std::string& cp1251);
    void MoveMouse(int x, int y);
    void Click(int x, int y);

private:
    TempDir dir_;
    std::unique_ptr<SoundLog> sounds_;
    std::shared_ptr<std::vector<DrawnText>> texts_;
    std::vector<ScoreRecord> sent_;
    std::vector<std::uint64_t> sentFrames_;
    std::unique_ptr<TMForm> form_;
    SimulatedClock* clock_ = nullptr;
    FrameSteps steps_;
};

}  // namespace vrumbal::test
