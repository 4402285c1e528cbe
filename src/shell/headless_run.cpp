// The headless run: the real game under SDL's dummy drivers and a simulated clock, its script
// played frame by frame, shots written and a JSON trace line for every frame.
#include "shell/headless_run.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/png_file.h"
#include "platform/process_memory.h"
#include "platform/virtual_pad.h"
#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "shell/autopilot.h"
#include "shell/main_form.h"

namespace vrumbal {
namespace {

// Frames between two memory readings in the trace.
constexpr long kMemoryEveryFrames = 100;

// The desktop as a headless run sees it: nothing is launched, requests are only reported.
class HeadlessShell final : public SystemShell {
public:
    void Open(const std::string& target) override {
        std::fprintf(stderr, "open: %s\n", target.c_str());
    }
    void RaisePriority() override {}
    void ShowError(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
};

std::uint32_t Rgb565To888(std::uint16_t p) {
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

bool WriteShot(const Surface& surface, const std::filesystem::path& path) {
    std::vector<std::uint32_t> rgb(static_cast<std::size_t>(surface.Width()) * surface.Height());
    for (int y = 0; y < surface.Height(); ++y) {
        const std::uint16_t* row = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            rgb[static_cast<std::size_t>(y) * surface.Width() + x] = Rgb565To888(row[x]);
        }
    }
    return WritePng(path.string(), surface.Width(), surface.Height(), rgb);
}

std::string Exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The race's values while a race exists.
void WriteRaceFields(std::ostream& out, TMForm& form, const TPlayer& bike) {
    const RaceState& r = form.Race();
    const TSprite* road = form.RaceFlow().Road();
    out << ",\"Level\":" << r.Level << ",\"Lives\":" << r.Lives << ",\"Score\":" << r.Score
        << ",\"TimeLeftMs\":" << r.TimeLeftMs << ",\"Place\":" << int{r.Place}
        << ",\"RacerCount\":" << int{r.RacerCount} << ",\"Speed\":" << Exact(bike.Speed)
        << ",\"GroundSpeed\":" << Exact(bike.GroundSpeed) << ",\"Heading\":" << bike.Heading
        << ",\"Steer\":" << Exact(bike.Steer) << ",\"ViewRow\":" << r.ViewRow
        << ",\"ViewColumn\":" << r.ViewColumn
        << ",\"RoadX\":" << Exact(road != nullptr ? road->X : 0.0)
        << ",\"RoadY\":" << Exact(road != nullptr ? road->Y : 0.0)
        << ",\"HitsLeft\":" << bike.HitsLeft << ",\"Finished\":" << (bike.Finished ? 1 : 0)
        << ",\"TimeUp\":" << (bike.TimeUp ? 1 : 0) << ",\"Crashed\":" << (bike.Crashed ? 1 : 0);
}

void WriteTraceLine(std::ostream& out, long frame, TMForm& form) {
    const GameState& s = form.State();
    char speed[40];
    std::snprintf(speed, sizeof speed, "%.17g", s.SpeedFactor);
    out << "{\"frame\":" << frame << ",\"ScreenKind\":" << int{s.ScreenKind}
        << ",\"DialogKind\":" << int{s.DialogKind} << ",\"MenuSelection\":" << s.MenuSelection
        << ",\"MenuFirst\":" << s.MenuFirst << ",\"MenuLast\":" << s.MenuLast
        << ",\"SpeedFactor\":" << speed << ",\"FrameMs\":" << s.FrameMs
        << ",\"MeasuredFrameRate\":" << s.MeasuredFrameRate
        << ",\"FullScreen\":" << int{s.FullScreen} << ",\"MusicOn\":" << int{s.MusicOn}
        << ",\"SoundOn\":" << int{s.SoundOn} << ",\"SelectedBike\":" << s.SelectedBike
        << ",\"SystemCursor\":" << (form.SystemCursorShown() ? 1 : 0)
        << ",\"Pads\":" << (form.Platform().pads ? form.Platform().pads->Count() : 0)
        << ",\"Rumble\":" << Exact(form.LastRumble())
        << ",\"RumbleFrame\":" << form.LastRumbleFrame();
    if (const TPlayer* bike = form.RaceFlow().Bike()) WriteRaceFields(out, form, *bike);
    // The memory figures cost a system call, so a long run gets them every hundredth frame.
    if (frame % kMemoryEveryFrames == 0) {
        const ProcessMemory memory = ReadProcessMemory();
        out << ",\"RssKiB\":" << memory.residentBytes / 1024
            << ",\"HeapKiB\":" << memory.heapBytes / 1024;
    }
    out << "}\n";
}

}  // namespace

int RunHeadless(const HeadlessRunOptions& options, std::string& error) {
    // The dummy drivers need no display and no sound card; a run never waits on real time.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The dummy window never holds the keyboard focus, and SDL keeps controllers quiet for a
    // program without it.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    const int fps = options.fps > 0 ? options.fps : 85;

    PlatformBundle platform;
    // Before SDL starts a thread: a termination signal ends the run as it ends the game.
    platform.signals = CreateTerminationSignals();
    SdlDisplayOptions displayOptions;
    displayOptions.neverWait = true;
    platform.display = CreateSdlDisplay(displayOptions);
    platform.pads = CreateSdlGamepads();
    platform.audio = CreateSdlAudio();
    platform.text = CreateTtfTextRenderer();
    auto clock = std::make_unique<SimulatedClock>();
    SimulatedClock* simClock = clock.get();
    platform.clock = std::move(clock);
    platform.shell = std::make_unique<HeadlessShell>();

    FormConfig config;
    config.dataRoot = options.dataRoot;
    config.seed = options.seed;
    config.refreshOverride = options.refresh;
    config.draw = options.draw;
    config.language = options.language;
    if (options.replay) {
        // A replay played leaves the save files alone and ends the run when it ends.
        config.saves = SaveUse::ReadOnly;
        config.record = false;
        config.endAfterWatching = true;
    }
    TMForm form(std::move(platform), config);
    try {
        form.FormCreate();
    } catch (const std::exception& e) {
        error = e.what();
        return 1;
    }
    if (options.replay) {
        error = form.BeginPlayback(*options.replay, PlaybackKind::Watch);
        if (!error.empty()) return 1;
    } else if (options.startRace) {
        form.State().SelectedBike = options.bike;
        form.StartRace(options.level);
    }

    std::ofstream trace;
    if (!options.traceFile.empty()) {
        trace.open(options.traceFile, std::ios::binary | std::ios::trunc);
        if (!trace) {
            error = "cannot write " + options.traceFile.string();
            return 1;
        }
    }
    if (!options.shotsDir.empty()) std::filesystem::create_directories(options.shotsDir);

    // The scripted controllers, newest last; pulled out when the run ends, before the form.
    std::vector<std::unique_ptr<VirtualPad>> pads;
    auto act = [&](const PadAction& a) {
        using Type = PadAction::Type;
        if (a.type == Type::Connect) {
            pads.push_back(std::make_unique<VirtualPad>());
            if (!pads.back()->Attached()) std::fprintf(stderr, "no virtual controller\n");
            return;
        }
        if (pads.empty()) return;
        if (a.type == Type::Disconnect) {
            pads.pop_back();
        } else if (a.type == Type::Button) {
            pads.back()->SetButton(static_cast<PadButton>(a.control), a.value != 0);
        } else {
            pads.back()->SetAxis(static_cast<PadAxis>(a.control), a.value);
        }
    };

    Autopilot pilot(form);
    // The name is typed once, a character a frame, then Enter.
    std::size_t typed = 0;
    auto typeName = [&] {
        if (!options.name || form.State().DialogKind != kDialogNameEntry) return;
        WindowEvent e{WindowEvent::Type::Char};
        if (typed < options.name->size()) {
            e.ch = static_cast<std::uint8_t>((*options.name)[typed]);
        } else if (typed == options.name->size()) {
            e.ch = '\r';
        } else {
            return;
        }
        ++typed;
        form.HandleEvent(e);
    };

    std::vector<WindowEvent> ignored;
    const std::uint64_t microsPerFrame = 1000000ull / static_cast<unsigned>(fps);
    std::uint64_t remainder = 0;
    for (long frame = 0; frame < options.frames && !form.Terminated(); ++frame) {
        if (form.Platform().signals && form.Platform().signals->EndRequested()) {
            form.EndSession();
            break;
        }
        for (const WindowEvent& e : options.script.EventsBefore(frame)) {
            form.HandleEvent(e);
            if (form.Terminated()) break;
        }
        if (form.Terminated()) break;
        if (options.autopilot) pilot.Steer();
        typeName();
        for (const PadAction& a : options.script.PadActionsBefore(frame)) act(a);
        form.PollPads();
        if (form.Terminated()) break;
        // The dummy window's own events (shown, focus) are not the player's: drop them.
        ignored.clear();
        form.Platform().display->PollEvents(ignored);
        // Spread the division's remainder so that F frames take exactly one second.
        remainder += 1000000ull % static_cast<unsigned>(fps);
        std::uint64_t step = microsPerFrame;
        if (remainder >= static_cast<unsigned>(fps)) {
            remainder -= static_cast<unsigned>(fps);
            ++step;
        }
        simClock->AdvanceMicros(step);
        form.MDXTimer.Idle();
        if (trace.is_open()) WriteTraceLine(trace, frame, form);
        std::vector<std::string> shots = options.script.ShotsAfter(frame);
        if (options.shotEvery > 0 && frame % options.shotEvery == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06ld", frame);
            shots.emplace_back(name);
        }
        for (const std::string& name : shots) {
            if (options.shotsDir.empty()) continue;
            const auto path = options.shotsDir / (name + ".png");
            if (!WriteShot(form.MDXDraw.BackSurface(), path)) {
                std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            }
        }
    }
    if (!options.recordFile.empty()) {
        form.CutRecording();
        if (!form.LastReplay()) {
            error = "no game was played to record";
            return 1;
        }
        const std::string& bytes = form.LastReplayFile();
        std::ofstream out(options.recordFile, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            error = "cannot write " + options.recordFile.string();
            return 1;
        }
    }
    return 0;
}

}  // namespace vrumbal
