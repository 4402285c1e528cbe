// Checking a recorded game: a long game of level 6 re-run without drawing, sound or a
// display, as the score server re-runs every result it is sent.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/system_shell.h"
#include "shell/main_form.h"
#include "shell/replay_check.h"

#ifndef VRUMBAL_BUILD_DATA
#error "VRUMBAL_BUILD_DATA must name the folder holding the built Data/"
#endif

namespace vrumbal {
namespace {

constexpr int kFps = 85;            // the reference pace; the refresh is told the same
constexpr int kFrameLag = 12;       // milliseconds between two frames at that pace
constexpr int kLevel = 6;           // the busiest level: five rivals
constexpr int kMostFrames = 40000;  // the recording is cut off here if the game goes on
constexpr int kKeyUp = 0x26, kKeyLeft = 0x25, kKeyRight = 0x27;

class QuietShell final : public SystemShell {
public:
    void Open(const std::string&) override {}
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}
};

// A long game: the throttle opened and shut in turns and a touch of steering now and then, so
// that the bike rides, crashes, stands and runs out of time, until its lives are gone (or the
// frames run out).
Replay RecordLongGame() {
    PlatformBundle platform;
    auto clock = std::make_unique<SimulatedClock>();
    SimulatedClock* time = clock.get();
    platform.clock = std::move(clock);
    platform.shell = std::make_unique<QuietShell>();
    FormConfig config;
    config.dataRoot = VRUMBAL_BUILD_DATA;
    config.seed = 7;
    config.refreshOverride = kFps;
    config.draw = false;
    config.saves = SaveUse::None;
    TMForm form(std::move(platform), config);
    form.FormCreate();
    form.StartRace(kLevel);
    auto key = [&](WindowEvent::Type type, int vk) {
        WindowEvent e{type};
        e.key = vk;
        form.HandleEvent(e);
    };
    for (int frame = 0; frame < kMostFrames && !form.LastReplay(); ++frame) {
        const int phase = frame % 400;
        if (phase == 0) key(WindowEvent::Type::KeyDown, kKeyUp);
        if (phase == 25) key(WindowEvent::Type::KeyUp, kKeyUp);
        if (phase == 200) key(WindowEvent::Type::KeyDown, (frame / 400) % 2 ? kKeyLeft : kKeyRight);
        if (phase == 206) key(WindowEvent::Type::KeyUp, (frame / 400) % 2 ? kKeyLeft : kKeyRight);
        time->AdvanceMs(kFrameLag);
        form.MDXTimerTimer(kFrameLag);
    }
    form.CutRecording();
    return *form.LastReplay();
}

void BM_VerifyReplay(benchmark::State& state) {
    const Replay replay = RecordLongGame();
    if (replay.frames.size() < 20000) {
        state.SkipWithError(("the recorded game has " + std::to_string(replay.frames.size()) +
                             " frames, fewer than 20,000")
                                .c_str());
        return;
    }
    bool matched = true;
    for (auto _ : state) {
        const ReplayCheck check = CheckReplay(VRUMBAL_BUILD_DATA, replay);
        matched = matched && check.matches;
    }
    if (!matched) state.SkipWithError("the re-run did not reach the recorded result");
    const double frames = static_cast<double>(replay.frames.size());
    state.counters["frames"] = frames;
    // Seconds of play re-run per second: the game's time is frames at 85 a second.
    state.counters["x_real_time"] =
        benchmark::Counter(frames / kFps, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["us_per_frame"] = benchmark::Counter(
        frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_VerifyReplay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vrumbal
