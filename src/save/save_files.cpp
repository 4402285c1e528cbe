#include "save/save_files.h"

#include "save/high_score_file.h"
#include "save/high_score_table.h"
#include "save/options_file.h"

namespace vrumbal {

void LoadSaveFiles(GameState& state, const std::filesystem::path& dataRoot) {
    LoadHighScores(state, dataRoot);
    const std::string check = LoadOptions(state, dataRoot);
    if (!HighScoreCheckMatches(state, check)) DefaultHighScores(state);
}

SaveWriteResult WriteSaveFiles(const GameState& state, const std::filesystem::path& dataRoot) {
    SaveWriteResult result = SaveOptions(state, dataRoot);
    const SaveWriteResult table = SaveHighScores(state, dataRoot);
    if (!table.ok) {
        result.message += result.ok ? table.message : "; " + table.message;
        result.ok = false;
    }
    return result;
}

}  // namespace vrumbal
