// The Linux desktop's shell: documents and addresses handed to the desktop's opener, a raised
// priority, and error messages in a message box and on standard error.
#include <SDL.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/codepage.h"
#include "platform/system_shell.h"
#include "platform/url_shortcut.h"

extern char** environ;

namespace vrumbal {
namespace {

// The nice value that stands for the high priority class; lower is more urgent.
constexpr int kHighPriorityNice = -5;

// True when text is well-formed UTF-8; otherwise it is taken to be the game's code page.
bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t extra = lead < 0x80             ? 0
                                  : (lead & 0xE0) == 0xC0 ? 1
                                  : (lead & 0xF0) == 0xE0 ? 2
                                  : (lead & 0xF8) == 0xF0 ? 3
                                                          : 4;
        if (extra == 4 || i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += 1 + extra;
    }
    return true;
}

std::string AsUtf8(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return IsUtf8(text) ? text : Cp1251ToUtf8(text);
    }
    return text;
}

class DesktopShell final : public SystemShell {
public:
    ~DesktopShell() override { ReapFinished(); }

    void Open(const std::string& target) override {
        ReapFinished();
        if (target.empty()) return;
        if (IsUrlShortcutName(target)) {
            std::ifstream file(target, std::ios::binary);
            if (!file) return;
            const std::string contents{std::istreambuf_iterator<char>(file), {}};
            const auto address = ParseUrlShortcut(contents);
            if (address && IsWebAddress(*address)) Launch(*address);
            return;
        }
        // A name that starts with '-' would be read as an option of the opener.
        Launch(target.front() == '-' ? "./" + target : target);
    }

    void RaisePriority() override {
        errno = 0;
        const int current = getpriority(PRIO_PROCESS, 0);
        if (errno == 0 && current <= kHighPriorityNice) return;
        // Ordinary users may not raise their priority; the game runs as well without it.
        setpriority(PRIO_PROCESS, 0, kHighPriorityNice);
    }

    void ShowError(const std::string& title, const std::string& text) override {
        const std::string utf8Title = AsUtf8(title);
        const std::string utf8Text = AsUtf8(text);
        std::fprintf(stderr, "%s: %s\n", utf8Title.c_str(), utf8Text.c_str());
        std::fflush(stderr);
        // The message box needs a screen; SDL's headless drivers have none, and a box shown
        // behind their back would wait for a click that never comes.
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool headless = driver == nullptr || std::strcmp(driver, "dummy") == 0 ||
                              std::strcmp(driver, "offscreen") == 0;
        if (!headless) {
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, utf8Title.c_str(), utf8Text.c_str(),
                                     nullptr);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

private:
    // Starts the desktop's opener on its own, with the target as a plain argument (no shell
    // reads it, so quotes or ';' in it are only characters of a name).
    void Launch(const std::string& target) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // Its own session, so the terminal's signals to the game do not reach the browser.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        std::string program = "xdg-open";
        std::string argument = target;
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, "xdg-open", &actions, &attributes, argv, environ) == 0) {
            children_.push_back(child);
        }
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }

    // Collects the openers that have ended, without waiting for the others.
    void ReapFinished() {
        std::erase_if(children_, [](pid_t child) {
            return waitpid(child, nullptr, WNOHANG) != 0;  // ended, or not ours any more
        });
    }

    std::vector<pid_t> children_;  // openers started and not yet collected
};

}  // namespace

std::unique_ptr<SystemShell> CreateDesktopShell() {
    return std::make_unique<DesktopShell>();
}

}  // namespace vrumbal
