// The shared game for the dialogs' tests: built pictures, recorded texts, caught results.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "online/score_record.h"
#include "online/score_submit.h"
#include "race/race_screen.h"
#include "shell/dialogs.h"
#include "support/game_rig.h"

namespace vrumbal::test {

// One text as it was drawn.
struct DrawnText {
    std::string text;           // UTF-8
    int x = 0, y = 0;           // top-left corner
    int width = 0, height = 0;  // as measured
    int size = 0;               // points
    std::uint32_t color = 0;    // 0x00BBGGRR
};

// How texts are measured.
struct TextMetrics {
    bool realFonts = false;  // the game's TrueType renderer; otherwise fixed sizes below
    int charWidth = 10;      // pixels per byte
    int lineHeight = 30;     // pixels per line
};

// A game of its own, started on the main menu.
class DialogRig final : public GameRig {
public:
    // With pads set the game has SDL's game controllers, polled before every frame; with
    // builtSounds it plays the sounds the build made instead of numbered ones (the whole of
    // the built content, as the game and the tools have it).
    explicit DialogRig(int fps = 85, TextMetrics metrics = {}, bool pads = false,
                       bool builtSounds = false);

    // The race's state and the dialogs' own.
    RaceState& Race() { return Form().Race(); }
    DialogState& Dialog() { return Form().Dialogs().State(); }
    // What the fake sound output saw, by sound number.
    PlatformLog& Sounds() { return Log(); }
    // Results handed to the world table, and the frame each was sent in.
    const std::vector<ScoreRecord>& Sent() const { return sent_; }
    const std::vector<std::uint64_t>& SentInFrame() const { return sentFrames_; }
    // The replay sent with each.
    const std::vector<std::string>& SentReplays() const { return sentReplays_; }
    // What the world table answers to a result.
    UploadOutcome answer{UploadOutcome::Kind::Stored, 3, ""};
    // Texts drawn in the last frame.
    const std::vector<DrawnText>& Texts() const { return *texts_; }
    // The first text of the last frame that starts with prefix (UTF-8), or null.
    const DrawnText* Find(const std::string& prefix) const;

private:
    // Each frame's texts replace the last frame's.
    void BeforeFrame() override { texts_->clear(); }

    std::shared_ptr<std::vector<DrawnText>> texts_;  // shared with the form's text renderer
    std::vector<ScoreRecord> sent_;                  // results caught, in order
    std::vector<std::string> sentReplays_;           // the replay sent with each
    std::vector<std::uint64_t> sentFrames_;          // the frame of each
};

}  // namespace vrumbal::test
