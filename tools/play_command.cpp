// vrumbal-tool play: the real game, headless, frame by frame under a simulated clock.
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "commands.h"
#include "game/replay.h"
#include "platform/catalogue.h"
#include "platform/codepage.h"
#include "save/replay_files.h"
#include "shell/headless_run.h"
#include "shell/replay_check.h"

namespace vrumbal::tool {
namespace {

long ParseNumber(const std::string& option, const std::string& value, long low, long high) {
    std::size_t used = 0;
    long n = 0;
    try {
        n = std::stol(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != value.size() || n < low || n > high) {
        throw std::runtime_error(option + " needs a number from " + std::to_string(low) + " to " +
                                 std::to_string(high));
    }
    return n;
}

// Reads a replay file, or throws with the reason (the tool then ends with status 2).
vrumbal::Replay ReadReplay(const std::string& path) {
    std::string error;
    std::optional<vrumbal::Replay> replay = ReadReplayFile(path, error);
    if (!replay) throw ReplayError(error);
    return std::move(*replay);
}

// A language the game ships, as --lang names it.
std::string Language(const std::string& code) {
    if (!IsShippedLanguage(code)) {
        throw UsageError("--lang takes a language the game speaks: ru or en");
    }
    return code;
}

// The options a scripted run and a replay share: where the data is, the frame rate, what is
// written, the language. False for any other option.
bool RunOption(const std::string& a, const std::function<const std::string&()>& value,
               HeadlessRunOptions& options) {
    if (a == "--data") {
        options.dataRoot = value();
    } else if (a == "--fps") {
        options.fps = static_cast<int>(ParseNumber(a, value(), 1, 1000));
    } else if (a == "--shots") {
        options.shotsDir = value();
    } else if (a == "--trace") {
        options.traceFile = value();
    } else if (a == "--lang") {
        options.language = Language(value());
    } else {
        return false;
    }
    return true;
}

}  // namespace

int PlayReplay(const Args& args) {
    HeadlessRunOptions options;
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (RunOption(a, value, options)) continue;
        if (a == "--every") {
            options.shotEvery = ParseNumber(a, value(), 1, 1000000000L);
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError("one replay at a time");
        }
    }
    if (file.empty()) throw UsageError("needs a replay file");
    options.replay = ReadReplay(file);
    if (!options.shotsDir.empty() && options.shotEvery == 0) options.shotEvery = options.fps;
    // Every frame of the replay, and the one after its end that goes back to the table.
    options.frames = static_cast<long>(options.replay->frames.size()) + 2;
    std::string error;
    const int status = RunHeadless(options, error);
    if (status != 0) std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}

int VerifyReplay(const Args& args) {
    std::filesystem::path dataRoot = ".";
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data") {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            dataRoot = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError("one replay at a time");
        }
    }
    if (file.empty()) throw UsageError("needs a replay file");
    const vrumbal::Replay replay = ReadReplay(file);
    const ReplayCheck check = CheckReplay(dataRoot, replay);
    if (!check.error.empty()) throw ReplayError(file + ": " + check.error);
    std::printf("score=%d level=%d frames=%u claimed=%d match=%s\n", check.score, check.level,
                check.frames, replay.score, check.matches ? "yes" : "no");
    return check.matches ? 0 : 1;
}

int Play(const Args& args) {
    HeadlessRunOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (RunOption(a, value, options)) continue;
        if (a == "--refresh") {
            options.refresh = static_cast<int>(ParseNumber(a, value(), 1, 1000));
        } else if (a == "--frames") {
            options.frames = ParseNumber(a, value(), 0, 1000000000L);
        } else if (a == "--seed") {
            options.seed = static_cast<std::uint64_t>(ParseNumber(a, value(), 0, 0x7FFFFFFFFFFFFFFFL));
        } else if (a == "--script") {
            const std::string path = value();
            std::ifstream in(path, std::ios::binary);
            if (!in) throw std::runtime_error("cannot read " + path);
            std::stringstream text;
            text << in.rdbuf();
            const std::string error = options.script.Parse(text.str());
            if (!error.empty()) throw std::runtime_error(path + ": " + error);
        } else if (a == "--start-race") {
            options.startRace = true;
        } else if (a == "--level") {
            options.level = static_cast<int>(ParseNumber(a, value(), 1, 10));
        } else if (a == "--bike") {
            options.bike = static_cast<int>(ParseNumber(a, value(), 1, 5));
        } else if (a == "--record") {
            options.recordFile = value();
        } else if (a == "--autopilot") {
            options.autopilot = true;
        } else if (a == "--name") {
            options.name = Utf8ToCp1251(value());
        } else if (a == "--no-draw") {
            options.draw = false;
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    if (!options.draw && (!options.shotsDir.empty() || options.shotEvery > 0)) {
        throw UsageError("--no-draw leaves no frames to shoot");
    }
    std::string error;
    const int status = RunHeadless(options, error);
    if (status != 0) std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}

}  // namespace vrumbal::tool
