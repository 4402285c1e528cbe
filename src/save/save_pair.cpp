// The pair's update step by step: new files written and forced to the disk, the mark, the
// renames, and an update cut off finished or thrown away.
#include "save/save_pair.h"

#include <array>
#include <utility>

namespace vrumbal {
namespace {

using Path = std::filesystem::path;

// The files of the pair (and the table's replay index), each with the name its new version
// is written under. The options go first: the order files are put in place in.
std::array<std::pair<Path, Path>, 3> PairFiles(const Path& folder) {
    return {{{folder / "options.new", folder / "options"},
             {folder / "hs.new", folder / "hs"},
             {folder / "hs-replays.new", folder / "hs-replays"}}};
}

SaveWriteResult Failed(const std::string& error) {
    return {false, error};
}

// Throws away new files that were never marked complete; what fails here only leaves litter
// that the next update throws away too.
void DropUnmarked(SaveFileSystem& fs, const Path& folder) {
    std::string ignored;
    for (const auto& [fresh, final] : PairFiles(folder)) fs.Remove(fresh, ignored);
}

}  // namespace

bool SettleSavePair(SaveFileSystem& fs, const Path& folder, std::string& error) {
    const Path mark = folder / kSaveUpdateMark;
    if (!fs.Exists(mark)) {
        DropUnmarked(fs, folder);
        return true;
    }
    // Marked: both new files were complete on the disk; whichever is still waiting goes in.
    for (const auto& [fresh, final] : PairFiles(folder)) {
        if (fs.Exists(fresh) && !fs.Rename(fresh, final, error)) return false;
    }
    if (!fs.FlushFolder(folder, error)) return false;
    return fs.Remove(mark, error) && fs.FlushFolder(folder, error);
}

SaveWriteResult WriteSavePair(SaveFileSystem& fs, const Path& folder, std::string_view options,
                              std::string_view table, std::string_view replayIndex) {
    std::string error;
    if (!fs.CreateFolder(folder, error)) return Failed(error);
    // An earlier update cut off half way is finished first, or its files would mix with ours.
    if (!SettleSavePair(fs, folder, error)) return Failed(error);

    const auto files = PairFiles(folder);
    const std::array<std::string_view, 3> bytes{options, table, replayIndex};
    bool written = true;
    for (std::size_t i = 0; i < files.size() && written; ++i) {
        written = fs.Write(files[i].first, bytes[i], error) && fs.Flush(files[i].first, error);
    }
    // The new names must be on the disk before the mark that vouches for them.
    const Path mark = folder / kSaveUpdateMark;
    if (written) written = fs.FlushFolder(folder, error);
    if (written) written = fs.Write(mark, "", error) && fs.FlushFolder(folder, error);
    if (!written) {
        std::string ignored;
        fs.Remove(mark, ignored);
        DropUnmarked(fs, folder);
        return Failed(error);
    }

    // From here on the update is complete on the disk: the steps left are only renames, which
    // the next start repeats when they are cut off.
    const Path& firstFresh = files[0].first;
    if (!fs.Rename(firstFresh, files[0].second, error)) {
        // Nothing has been replaced yet: taking the mark back keeps the old pair.
        std::string ignored;
        if (fs.Remove(mark, ignored) && fs.FlushFolder(folder, ignored)) DropUnmarked(fs, folder);
        return Failed(error);
    }
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (!fs.Rename(files[i].first, files[i].second, error)) return Failed(error);
    }
    // All files are in place. Should the renames not reach the disk, the mark still does and
    // the next start puts them in place again; a mark that cannot be removed is only litter.
    std::string ignored;
    if (fs.FlushFolder(folder, ignored) && fs.Remove(mark, ignored))
        fs.FlushFolder(folder, ignored);
    return {};
}

}  // namespace vrumbal
