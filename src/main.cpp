// The game's entry point: create the main form, run it until it quits, then start the
// launcher. Everything else lives in the libraries.
#include <exception>

#include "shell/main_form.h"

int main() {
    using namespace vrumbal;
    TMForm form(CreateDesktopPlatform(), FormConfig{});
    try {
        form.FormCreate();
        form.RunMessageLoop();
    } catch (const std::exception& e) {
        form.Platform().shell->ShowError("Vrumbal", e.what());
        return 1;
    }
    form.CloseWindow();
    form.RunLauncher();
    return 0;
}
