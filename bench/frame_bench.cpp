// Whole frames of the real game over the built Data folder: a race frame of level 6, a frame
// of the options screen, the start-up up to the first frame, and handing a frame to SDL.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "game/game_state.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/system_shell.h"
#include "platform/text.h"
#include "shell/main_form.h"

#ifndef VRUMBAL_BUILD_DATA
#error "VRUMBAL_BUILD_DATA must name the folder holding the built Data/"
#endif

namespace vrumbal {
namespace {

constexpr int kUpKey = 0x26;                 // the throttle
constexpr int kFps = 85;                     // the reference pace; the refresh is told the same
constexpr int kFrameLag = 12;                // milliseconds between two frames at that pace
constexpr int kRaceLevel = 6;                // the busiest level: five rivals
constexpr int kSettleFrames = 2 * kFps;      // rivals and tyre marks come into view
constexpr int kRaceFramesPerRig = 8 * kFps;  // a fresh race before the level can end

// The desktop of a benchmark: nothing is opened, nothing is reported.
class QuietShell final : public SystemShell {
public:
    void Open(const std::string&) override {}
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}
};

// A headless game without a display (so no frame is presented) and without sound, on a
// clock that moves only when a frame is run.
class BenchGame {
public:
    BenchGame() {
        PlatformBundle platform;
        platform.text = CreateTtfTextRenderer();
        auto clock = std::make_unique<SimulatedClock>();
        clock_ = clock.get();
        platform.clock = std::move(clock);
        platform.shell = std::make_unique<QuietShell>();
        FormConfig config;
        config.dataRoot = VRUMBAL_BUILD_DATA;
        config.seed = 1;
        config.refreshOverride = kFps;
        form_ = std::make_unique<TMForm>(std::move(platform), config);
        form_->FormCreate();
    }

    TMForm& Form() { return *form_; }

    // One frame as the frame timer would run it.
    void Frame() {
        clock_->AdvanceMs(kFrameLag);
        form_->MDXTimerTimer(kFrameLag);
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }

    void Key(WindowEvent::Type type, int vk) {
        WindowEvent e{type};
        e.key = vk;
        form_->HandleEvent(e);
    }

private:
    SimulatedClock* clock_ = nullptr;
    std::unique_ptr<TMForm> form_;
};

// A level-6 race ridden with the throttle held, past its level-start notice and a couple of
// seconds in, so that rivals, tyre marks and pickups are on the screen.
std::unique_ptr<BenchGame> StartedRace() {
    auto game = std::make_unique<BenchGame>();
    game->Form().StartRace(kRaceLevel);
    game->Key(WindowEvent::Type::KeyDown, kUpKey);
    for (int i = 0; i < 5 * kFps && game->Form().State().DialogKind != 0; ++i) game->Frame();
    game->Frames(kSettleFrames);
    return game;
}

bool RaceRunning(TMForm& form) {
    return form.State().ScreenKind == kScreenRace && form.State().DialogKind == 0;
}

void BM_RaceFrame(benchmark::State& state) {
    auto game = StartedRace();
    if (!RaceRunning(game->Form())) {
        state.SkipWithError("the race did not start");
        return;
    }
    int framesLeft = kRaceFramesPerRig;
    for (auto _ : state) {
        game->Form().MDXTimerTimer(kFrameLag);
        if (--framesLeft == 0 || !RaceRunning(game->Form())) {
            // A crash dialog or the level's end would time something else: ride a new race.
            state.PauseTiming();
            game.reset();
            game = StartedRace();
            framesLeft = kRaceFramesPerRig;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_RaceFrame)->Unit(benchmark::kMicrosecond);

void BM_MenuFrame(benchmark::State& state) {
    BenchGame game;
    for (int i = 0; i < 10 * kFps && game.Form().State().MenuIntroActive != 0; ++i) game.Frame();
    game.Form().ActivateEntry(3);
    game.Frames(kFps);  // the options screen settles
    if (game.Form().State().ScreenKind != kScreenOptions) {
        state.SkipWithError("the options screen did not open");
        return;
    }
    for (auto _ : state) game.Form().MDXTimerTimer(kFrameLag);
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond);

void BM_Startup(benchmark::State& state) {
    for (auto _ : state) {
        BenchGame game;
        game.Frame();
        benchmark::DoNotOptimize(game.Form().FrameCount());
    }
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

// Presents into a window of the argument's percentage of the frame's size: 100 is the
// frame's own size, 200 the doubled window of a 1440p or larger screen, 180 a 1080p screen
// filled (smoothly scaled).
void BM_Present(benchmark::State& state) {
    // The dummy driver unless told otherwise (SDL_VIDEODRIVER=x11 under Xvfb): no window
    // system and no sound card are needed.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    const int percent = static_cast<int>(state.range(0));
    SdlDisplayOptions options;
    options.neverWait = true;
    options.forcedWindow = PixelRect{0, 0, 8 * percent, 6 * percent};
    auto display = CreateSdlDisplay(options);
    std::string error;
    if (!display->Open(false, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Surface frame(800, 600);
    for (int y = 0; y < frame.Height(); ++y) {
        std::uint16_t* row = frame.Row(y);
        for (int x = 0; x < frame.Width(); ++x) row[x] = static_cast<std::uint16_t>(x * 37 + y);
    }
    for (auto _ : state) display->Present(frame.View(), false);
    display->Close();
}
BENCHMARK(BM_Present)->Arg(100)->Arg(200)->Arg(180)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vrumbal
