// The save files read at start-up, the pair settled first and the table checked against the
// options' check text, and both written back as one update.
#include "save/save_files.h"

#include "game/high_scores.h"
#include "save/high_score_check.h"
#include "save/high_score_file.h"
#include "save/options_file.h"
#include "save/replay_files.h"
#include "save/save_pair.h"
#include "save/save_paths.h"

namespace vrumbal {

void LoadSaveFiles(GameState& state, const std::filesystem::path& dataRoot) {
    PosixSaveFileSystem fs;
    LoadSaveFiles(state, fs, SaveFolderPath(dataRoot));
}

void LoadSaveFiles(GameState& state, SaveFileSystem& fs, const std::filesystem::path& folder) {
    // A pair that cannot be settled now is read as it stands: its check text still guards it.
    std::string ignored;
    SettleSavePair(fs, folder, ignored);
    if (const auto table = fs.Read(folder / "hs")) {
        ParseHighScoreFile(state, *table);
    } else {
        DefaultHighScores(state);
    }
    std::string check;
    if (const auto options = fs.Read(folder / "options")) {
        check = ParseOptionsFile(state, *options);
    } else {
        DefaultOptions(state);
    }
    if (!HighScoreCheckMatches(state, check)) {
        DefaultHighScores(state);
        return;
    }
    if (const auto index = fs.Read(folder / kReplayIndexName)) {
        ParseReplayIndex(state, *index, fs, folder);
    }
}

SaveWriteResult WriteSaveFiles(const GameState& state, const std::filesystem::path& dataRoot) {
    PosixSaveFileSystem fs;
    return WriteSaveFiles(state, fs, SaveFolderPath(dataRoot));
}

SaveWriteResult WriteSaveFiles(const GameState& state, SaveFileSystem& fs,
                               const std::filesystem::path& folder) {
    return WriteSavePair(fs, folder, FormatOptionsFile(state), FormatHighScoreFile(state),
                         FormatReplayIndex(state));
}

}  // namespace vrumbal
