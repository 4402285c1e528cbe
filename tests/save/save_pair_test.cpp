// The options file and the table are replaced together or not at all: every step of an
// update is failed, or cut off as by a crash or a power cut, and the next start must find the
// old pair or the new one, never a table thrown away for a check text that does not match.
#include "save/save_pair.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "game/high_scores.h"
#include "save/high_score_file.h"
#include "save/options_file.h"
#include "save/save_files.h"
#include "save/save_paths.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

namespace fs = std::filesystem;

// The kinds of step an update is made of.
enum class Step { kCreateFolder, kWrite, kFlush, kFlushFolder, kRename, kRemove };

const char* StepName(Step step) {
    switch (step) {
        case Step::kCreateFolder:
            return "create folder";
        case Step::kWrite:
            return "write";
        case Step::kFlush:
            return "flush";
        case Step::kFlushFolder:
            return "flush folder";
        case Step::kRename:
            return "rename";
        case Step::kRemove:
            return "remove";
    }
    return "?";
}

// What a power cut does to the machine in the middle of a step.
struct PowerCut {};

// A disk in memory. Bytes written but not yet flushed are lost in a power cut (the file is
// left empty, as file systems that allocate late leave it); names are kept as last made. One
// step, the n-th of its kind, can be made to fail or to cut the power.
class MemoryDisk final : public SaveFileSystem {
public:
    enum class Fault { kNone, kFail, kCut };

    // Arms a fault at the n-th step of the kind (counted from 1), from now on.
    void Arm(Step step, int n, Fault fault) {
        armedStep_ = step;
        armedAt_ = n;
        fault_ = fault;
        counts_.clear();
    }
    // The steps of each kind since the last Arm.
    int Count(Step step) const {
        const auto it = counts_.find(step);
        return it == counts_.end() ? 0 : it->second;
    }
    // The power comes back: what was never flushed is gone.
    void Reboot() {
        for (auto& [name, file] : files_) {
            if (!file.flushed) file.bytes.clear();
        }
        fault_ = Fault::kNone;
    }
    // The names in the folder.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& [name, file] : files_) names.insert(fs::path(name).filename().string());
        return names;
    }

    bool CreateFolder(const fs::path&, std::string& error) override {
        return Go(Step::kCreateFolder, error);
    }
    bool Write(const fs::path& path, std::string_view bytes, std::string& error) override {
        if (!Go(Step::kWrite, error)) return false;
        files_[path.string()] = {std::string(bytes), false};
        return true;
    }
    bool Flush(const fs::path& path, std::string& error) override {
        if (!Go(Step::kFlush, error)) return false;
        const auto it = files_.find(path.string());
        if (it == files_.end()) {
            error = "no such file";
            return false;
        }
        it->second.flushed = true;
        return true;
    }
    bool FlushFolder(const fs::path&, std::string& error) override {
        return Go(Step::kFlushFolder, error);
    }
    bool Rename(const fs::path& from, const fs::path& to, std::string& error) override {
        if (!Go(Step::kRename, error)) return false;
        const auto it = files_.find(from.string());
        if (it == files_.end()) {
            error = "no such file";
            return false;
        }
        files_[to.string()] = it->second;
        files_.erase(from.string());
        return true;
    }
    bool Remove(const fs::path& path, std::string& error) override {
        if (!Go(Step::kRemove, error)) return false;
        files_.erase(path.string());
        return true;
    }
    bool Exists(const fs::path& path) override { return files_.count(path.string()) != 0; }
    std::optional<std::string> Read(const fs::path& path) override {
        const auto it = files_.find(path.string());
        if (it == files_.end()) return std::nullopt;
        return it->second.bytes;
    }

private:
    struct File {
        std::string bytes;
        bool flushed = false;
    };

    // Counts the step and answers whether it may go ahead.
    bool Go(Step step, std::string& error) {
        const int n = ++counts_[step];
        if (fault_ == Fault::kNone || step != armedStep_ || n != armedAt_) return true;
        if (fault_ == Fault::kCut) throw PowerCut{};
        error = std::string("injected failure of ") + StepName(step);
        return false;
    }

    std::map<std::string, File> files_;
    std::map<Step, int> counts_;
    Step armedStep_ = Step::kWrite;
    int armedAt_ = 0;
    Fault fault_ = Fault::kNone;
};

const fs::path kFolder = "/save";

// A generation of the player's data: its country and its table tell it apart.
GameState Generation(const std::string& tag, int best) {
    GameState state;
    DefaultOptions(state);
    state.Country = tag;
    DefaultHighScores(state);
    state.PlayerName = tag;
    InsertHighScore(state, state.PlayerName, best);
    return state;
}

// Which generation a start finds: "old", "new", or what else it is.
std::string Found(MemoryDisk& disk) {
    GameState state;
    LoadSaveFiles(state, disk, kFolder);
    const HighScoreEntry& top = state.HighScores[1];
    if (top.name == "old" && top.score == 20000 && state.Country == "old") return "old";
    if (top.name == "new" && top.score == 30000 && state.Country == "new") return "new";
    return "table " + top.name + " " + std::to_string(top.score) + ", country " + state.Country;
}

TEST(SavePairTest, EveryStepFailedOrCutOffLeavesTheOldPairOrTheNew) {
    const GameState older = Generation("old", 20000);
    const GameState newer = Generation("new", 30000);
    // A dry run tells how many steps of each kind an update takes.
    MemoryDisk probe;
    ASSERT_TRUE(WriteSaveFiles(older, probe, kFolder).ok);
    probe.Arm(Step::kWrite, 0, MemoryDisk::Fault::kNone);
    ASSERT_TRUE(WriteSaveFiles(newer, probe, kFolder).ok);
    // Three files and the mark written, all files flushed before it, three renames.
    EXPECT_EQ(probe.Count(Step::kWrite), 4);
    EXPECT_GE(probe.Count(Step::kFlush), 3);
    EXPECT_GE(probe.Count(Step::kRename), 3);
    std::map<Step, int> steps;
    for (Step step : {Step::kCreateFolder, Step::kWrite, Step::kFlush, Step::kFlushFolder,
                      Step::kRename, Step::kRemove}) {
        steps[step] = probe.Count(step);
    }
    ASSERT_EQ(Found(probe), "new");

    int tried = 0;
    for (const auto& [step, count] : steps) {
        for (int n = 1; n <= count; ++n) {
            for (auto fault : {MemoryDisk::Fault::kFail, MemoryDisk::Fault::kCut}) {
                const bool cut = fault == MemoryDisk::Fault::kCut;
                SCOPED_TRACE(std::string(StepName(step)) + " #" + std::to_string(n) +
                             (cut ? " cut off" : " failed"));
                MemoryDisk disk;
                ASSERT_TRUE(WriteSaveFiles(older, disk, kFolder).ok);
                disk.Arm(step, n, fault);
                bool reportedOk = false;
                try {
                    reportedOk = WriteSaveFiles(newer, disk, kFolder).ok;
                    EXPECT_FALSE(cut) << "the cut was never reached";
                } catch (const PowerCut&) {
                    disk.Reboot();
                }
                disk.Arm(step, 0, MemoryDisk::Fault::kNone);
                // The next start finds one whole pair; a success is the new one.
                const std::string found = Found(disk);
                if (reportedOk) {
                    EXPECT_EQ(found, "new");
                } else {
                    EXPECT_TRUE(found == "old" || found == "new") << found;
                }
                // What that start left is a settled folder: the pair and nothing else, and the
                // next update goes through.
                EXPECT_EQ(disk.Names(), (std::set<std::string>{"options", "hs", "hs-replays"}));
                ASSERT_TRUE(WriteSaveFiles(newer, disk, kFolder).ok);
                EXPECT_EQ(Found(disk), "new");
                ++tried;
            }
        }
    }
    EXPECT_GE(tried, 20);
}

TEST(SavePairTest, AStartFinishesAMarkedUpdateAndDropsAnUnmarkedOne) {
    // The same on the real disk: the state a cut-off update leaves, laid out by hand.
    const struct {
        const char* what;
        bool mark, optionsNew, hsNew;
        const char* found;
    } cases[] = {
        {"cut after the first rename", true, false, true, "new"},
        {"cut before the first rename", true, true, true, "new"},
        {"cut after both renames", true, false, false, "new-options"},
        {"cut while writing", false, true, true, "old"},
        {"cut while writing the table", false, true, false, "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const fs::path folder = SaveFolderPath(dir.Path());
        ASSERT_TRUE(WriteSaveFiles(Generation("old", 20000), dir.Path()).ok);
        const GameState newer = Generation("new", 30000);
        auto put = [&](const char* name, const std::string& bytes) {
            std::ofstream(folder / name, std::ios::binary) << bytes;
        };
        if (c.mark) put(kSaveUpdateMark, "");
        if (c.optionsNew) put("options.new", FormatOptionsFile(newer));
        if (c.hsNew) put("hs.new", FormatHighScoreFile(newer));
        // After both renames the pair is already the new one.
        if (std::string(c.found) == "new-options") {
            put("options", FormatOptionsFile(newer));
            put("hs", FormatHighScoreFile(newer));
        } else if (c.mark && !c.optionsNew) {
            put("options", FormatOptionsFile(newer));
        }
        GameState state;
        LoadSaveFiles(state, dir.Path());
        const bool isNew = std::string(c.found) != "old";
        EXPECT_EQ(state.Country, isNew ? "new" : "old");
        EXPECT_EQ(state.HighScores[1].score, isNew ? 30000 : 20000);
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        EXPECT_EQ(names, (std::set<std::string>{"options", "hs", "hs-replays"}));
    }
}

}  // namespace
}  // namespace vrumbal
