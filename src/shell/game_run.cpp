// The game from start-up to the end, each error reported, the saves kept after a fault.
#include "shell/game_run.h"

#include <exception>
#include <string>

#include "shell/main_form.h"

namespace vrumbal {
namespace {

// Something that was not a standard error reached the top.
constexpr char kUnknownError[] = "An unexpected error ended the game.";

void Report(TMForm& form, const std::string& message) {
    form.Platform().shell->ShowError("Vrumbal", message);
}

// Both entry points in one.
int Run(TMForm& form, std::optional<Replay> watch) {
    try {
        form.FormCreate();
    } catch (const std::exception& e) {
        Report(form, e.what());
        return 1;
    } catch (...) {
        Report(form, kUnknownError);
        return 1;
    }
    if (watch) {
        const std::string mismatch = form.BeginPlayback(std::move(*watch), PlaybackKind::Watch);
        if (!mismatch.empty()) {
            Report(form, "The replay cannot be played: " + mismatch);
            form.CloseWindow();
            return 2;
        }
    }
    bool failed = false;
    try {
        form.RunMessageLoop();
    } catch (const std::exception& e) {
        Report(form, e.what());
        failed = true;
    } catch (...) {
        Report(form, kUnknownError);
        failed = true;
    }
    if (failed) {
        // The player's settings and records since start-up are not lost with the game.
        form.SaveAfterFault();
        form.CloseWindow();
        return 1;
    }
    form.CloseWindow();
    if (form.LaunchAtExit()) form.RunLauncher();
    return 0;
}

}  // namespace

int RunGame(TMForm& form) {
    return Run(form, std::nullopt);
}

int RunGame(TMForm& form, Replay watch) {
    return Run(form, std::optional<Replay>(std::move(watch)));
}

}  // namespace vrumbal
