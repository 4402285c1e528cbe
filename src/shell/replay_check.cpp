// The re-run of a replay on a form of its own with no display, no sound, no text and a clock
// that never moves: only the game's logic runs.
#include "shell/replay_check.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "shell/main_form.h"

namespace vrumbal {
namespace {

// The desktop as a check sees it: nothing opens, errors are kept for the answer.
class QuietShell final : public SystemShell {
public:
    void Open(const std::string&) override {}
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string& text) override { last = text; }
    std::string last;  // the last error shown
};

}  // namespace

ReplayCheck CheckReplay(const std::filesystem::path& dataRoot, const Replay& replay,
                        const Digest* content) {
    ReplayCheck check;
    PlatformBundle platform;
    platform.clock = std::make_unique<SimulatedClock>();
    auto shell = std::make_unique<QuietShell>();
    QuietShell* quiet = shell.get();
    platform.shell = std::move(shell);
    FormConfig config;
    config.dataRoot = dataRoot;
    config.seed = 0;
    config.refreshOverride = 85;
    config.draw = false;
    config.saves = SaveUse::None;
    config.record = false;
    config.language = "ru";  // the same re-run whatever language the checking machine speaks
    if (content != nullptr) config.content = *content;
    TMForm form(std::move(platform), config);
    try {
        form.FormCreate();
    } catch (const std::exception& e) {
        check.error = e.what();
        return check;
    }
    check.error = form.BeginPlayback(replay, PlaybackKind::Check);
    if (!check.error.empty()) return check;
    while (form.Playback() != nullptr && !form.Playback()->Done()) {
        form.RunPlaybackFrame();
    }
    if (!quiet->last.empty()) {
        check.error = quiet->last;
        return check;
    }
    const ReplayPlayer* player = form.Playback();
    check.frames = player != nullptr ? static_cast<std::uint32_t>(player->FramesRun()) : 0;
    check.ended = player != nullptr && player->Ended();
    check.score = form.Race().Score;
    check.level = form.Race().Level;
    check.name = check.ended ? form.State().PlayerName : "";
    check.matches = check.ended == replay.finished && check.score == replay.score &&
                    check.level == replay.level && check.name == replay.name &&
                    check.frames == replay.frames.size();
    return check;
}

Digest ContentDigestOf(const std::filesystem::path& dataRoot, std::string* unread) {
    DigestBuilder digest;
    for (const char* file :
         {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg", "Data/Res/Res3.dxg", "Data/Res/Sounds.dxw"}) {
        std::ifstream in(dataRoot / file, std::ios::binary);
        if (!in && unread != nullptr && unread->empty()) *unread = (dataRoot / file).string();
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        digest.Add(std::to_string(bytes.size()) + ":");
        digest.Add(bytes);
    }
    return digest.Finish();
}

}  // namespace vrumbal
