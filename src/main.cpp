// The game's entry point: create the main form and run it. Everything else lives in the
// libraries.
#include "shell/game_run.h"
#include "shell/main_form.h"

int main() {
    using namespace vrumbal;
    TMForm form(CreateDesktopPlatform(), FormConfig{});
    return RunGame(form);
}
