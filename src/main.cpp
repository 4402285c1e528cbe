// The game's entry point: find the data and the save folder, create the main form and run it.
// Everything else lives in the libraries.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "game/build_info.h"
#include "platform/window_fit.h"
#include "save/replay_files.h"
#include "save/save_paths.h"
#include "shell/game_folders.h"
#include "shell/game_run.h"
#include "shell/main_form.h"

namespace {

constexpr char kUsage[] =
    "usage: vrumbal [--replay FILE]\n"
    "  --replay FILE   play a recorded game in the window and end (Escape ends it sooner)\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace vrumbal;
    std::optional<Replay> watch;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--replay") == 0) {
        std::string error;
        watch = ReadReplayFile(argv[2], error);
        if (!watch) {
            std::fprintf(stderr, "vrumbal: %s\n", error.c_str());
            return 2;
        }
    } else if (argc != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const GameFolders folders = FindGameFolders(ThisProcessSearch());
    SdlDisplayOptions display;
    display.windowClass = kAppId;
    display.iconPath = folders.iconFile.string();
    if (const auto text = ReadSaveFile(WindowFilePath(folders.saveFolder))) {
        display.rememberedWindow = ParseWindowFile(*text);
    }
    FormConfig config;
    config.dataRoot = folders.dataRoot;
    config.saveFolder = folders.saveFolder;
    config.rememberWindow = true;
    if (watch) {
        // A replay watched from the command line leaves every file of the player's as it was.
        config.saves = SaveUse::ReadOnly;
        config.record = false;
        config.endAfterWatching = true;
    }
    PlatformBundle platform = CreateDesktopPlatform(display);
    if (const auto why = platform.display->Unavailable()) {
        // Before any file is read or written: a start without a screen changes nothing.
        std::fprintf(stderr, "vrumbal: %s\n", why->c_str());
        return 1;
    }
    TMForm form(std::move(platform), config);
    return watch ? RunGame(form, std::move(*watch)) : RunGame(form);
}
