// The game's entry point: find the data and the save folder, create the main form and run it.
// Everything else lives in the libraries.
#include <cstdio>

#include "game/build_info.h"
#include "platform/window_fit.h"
#include "save/save_paths.h"
#include "shell/game_folders.h"
#include "shell/game_run.h"
#include "shell/main_form.h"

int main() {
    using namespace vrumbal;
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
    PlatformBundle platform = CreateDesktopPlatform(display);
    if (const auto why = platform.display->Unavailable()) {
        // Before any file is read or written: a start without a screen changes nothing.
        std::fprintf(stderr, "vrumbal: %s\n", why->c_str());
        return 1;
    }
    TMForm form(std::move(platform), config);
    return RunGame(form);
}
