// What the game asks of the desktop around it: opening documents and addresses, a higher
// priority, and error messages.
#pragma once
#include <memory>
#include <string>

namespace vrumbal {

// What the game asks of the desktop around it.
class SystemShell {
public:
    virtual ~SystemShell() = default;
    // Hands a file or web address to the desktop to open, in the background. An internet
    // shortcut file (*.url) is opened through its URL= line.
    virtual void Open(const std::string& target) = 0;
    // Raises the process priority where the system allows it; a refusal is ignored.
    virtual void RaisePriority() = 0;
    // Shows an error message to the player (a message box where there is a desktop) and on
    // the standard error stream.
    virtual void ShowError(const std::string& title, const std::string& text) = 0;
};

// The shell of a Linux desktop (xdg-open, setpriority, SDL message boxes).
std::unique_ptr<SystemShell> CreateDesktopShell();

}  // namespace vrumbal
