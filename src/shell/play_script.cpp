// The script parser: key names, and the key, text, mouse, window, focus, controller and shot
// lines, each filed under its frame.
#include "shell/play_script.h"

#include <sstream>

#include "platform/codepage.h"
#include "platform/gamepads.h"

namespace vrumbal {

std::optional<int> ScriptKeyCode(const std::string& name) {
    static constexpr struct {
        const char* name;
        int code;
    } kNamed[] = {{"Up", 0x26},    {"Down", 0x28},  {"Left", 0x25},   {"Right", 0x27},
                  {"Space", 0x20}, {"Enter", 0x0D}, {"Escape", 0x1B}, {"Backspace", 0x08},
                  {"Alt", 0x12},   {"Ctrl", 0x11},  {"Shift", 0x10}};
    for (const auto& k : kNamed) {
        if (name == k.name) return k.code;
    }
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'A' && c <= 'Z') return c;
        if (c >= '0' && c <= '9') return c;
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int n = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return std::nullopt;
            n = n * 10 + (name[i] - '0');
        }
        if (n >= 1 && n <= 12) return 0x70 + n - 1;
    }
    return std::nullopt;
}

namespace {

std::uint8_t ModifierBit(int code) {
    switch (code) {
        case 0x10:
            return kShift;
        case 0x12:
            return kAlt;
        case 0x11:
            return kCtrl;
        default:
            return 0;
    }
}

bool ParseInt(std::istringstream& in, int& out) {
    return static_cast<bool>(in >> out);
}

}  // namespace

void PlayScript::Add(long frame, const WindowEvent& e) {
    events_[frame].push_back(e);
}

std::string PlayScript::Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto hash = line.find('#');
        // A typed text may hold '#': only cut comments outside "text" lines.
        std::istringstream in(line);
        long frame = 0;
        std::string word;
        if (!(in >> word)) continue;
        if (word[0] == '#') continue;
        try {
            std::size_t used = 0;
            frame = std::stol(word, &used);
            if (used != word.size() || frame < 0) throw std::invalid_argument("frame");
        } catch (const std::exception&) {
            return "line " + std::to_string(number) + ": a frame number must come first";
        }
        std::string rest;
        std::getline(in, rest);
        const auto start = rest.find_first_not_of(" \t");
        rest = start == std::string::npos ? "" : rest.substr(start);
        if (rest.rfind("text ", 0) != 0 && hash != std::string::npos) {
            const auto cut = rest.find('#');
            if (cut != std::string::npos) rest.erase(cut);
        }
        const std::string error = ParseLine(frame, rest);
        if (!error.empty()) return "line " + std::to_string(number) + ": " + error;
    }
    return "";
}

std::string PlayScript::ParseLine(long frame, const std::string& rest) {
    using Type = WindowEvent::Type;
    std::istringstream in(rest);
    std::string verb;
    in >> verb;
    WindowEvent e;
    if (verb == "key") {
        std::string action, name;
        in >> action >> name;
        const auto code = ScriptKeyCode(name);
        if (!code) return "unknown key '" + name + "'";
        auto down = [&](long f) {
            shift_ |= ModifierBit(*code);
            WindowEvent k{Type::KeyDown, *code, shift_};
            Add(f, k);
            // Backspace and Enter also arrive as typed characters, as on the desktop.
            if (*code == 0x08 || *code == 0x0D) {
                WindowEvent c{Type::Char};
                c.ch = static_cast<std::uint8_t>(*code);
                Add(f, c);
            }
        };
        auto up = [&](long f) {
            shift_ &= static_cast<std::uint8_t>(~ModifierBit(*code));
            Add(f, WindowEvent{Type::KeyUp, *code, shift_});
        };
        if (action == "down") {
            down(frame);
        } else if (action == "up") {
            up(frame);
        } else if (action == "tap") {
            down(frame);
            up(frame + 1);
        } else {
            return "key needs down, up or tap";
        }
        return "";
    }
    if (verb == "text") {
        const std::string typed = Utf8ToCp1251(rest.size() > 5 ? rest.substr(5) : "");
        for (char ch : typed) {
            WindowEvent c{Type::Char};
            c.ch = static_cast<std::uint8_t>(ch);
            Add(frame, c);
        }
        return "";
    }
    if (verb == "mouse" || verb == "click" || verb == "dblclick") {
        int x = 0, y = 0;
        if (!ParseInt(in, x) || !ParseInt(in, y)) return verb + " needs X Y";
        e.x = x;
        e.y = y;
        e.type = Type::MouseMove;
        Add(frame, e);
        if (verb == "mouse") return "";
        for (int press = 0; press < (verb == "dblclick" ? 2 : 1); ++press) {
            e.type = Type::MouseDown;
            Add(frame, e);
            e.type = Type::MouseUp;
            Add(frame, e);
            e.type = press == 0 ? Type::Click : Type::DoubleClick;
            Add(frame, e);
        }
        return "";
    }
    if (verb == "close" || verb == "minimize" || verb == "restore") {
        e.type = verb == "close"      ? Type::Close
                 : verb == "minimize" ? Type::Minimize
                                      : Type::Restore;
        Add(frame, e);
        return "";
    }
    if (verb == "quit") {
        // The desktop session ending around the game, not its close button.
        e.type = Type::Quit;
        Add(frame, e);
        return "";
    }
    if (verb == "focus") {
        std::string state;
        in >> state;
        if (state != "on" && state != "off") return "focus needs on or off";
        e.type = state == "on" ? Type::FocusGained : Type::FocusLost;
        Add(frame, e);
        return "";
    }
    if (verb == "pad") {
        std::string action, name;
        in >> action >> name;
        using P = PadAction::Type;
        if (action == "connect" || action == "disconnect") {
            pads_[frame].push_back({action == "connect" ? P::Connect : P::Disconnect, 0, 0});
            return "";
        }
        if (action == "down" || action == "up" || action == "tap") {
            const auto button = PadButtonNamed(name);
            if (!button) return "unknown controller button '" + name + "'";
            const int b = static_cast<int>(*button);
            pads_[frame].push_back({P::Button, b, action == "up" ? 0 : 1});
            if (action == "tap") pads_[frame + 1].push_back({P::Button, b, 0});
            return "";
        }
        if (action == "axis") {
            const auto axis = PadAxisNamed(name);
            if (!axis) return "unknown controller axis '" + name + "'";
            int value = 0;
            if (!ParseInt(in, value) || value < -32768 || value > 32767) {
                return "pad axis needs a VALUE in -32768..32767";
            }
            pads_[frame].push_back({P::Axis, static_cast<int>(*axis), value});
            return "";
        }
        return "pad needs connect, disconnect, down, up, tap or axis";
    }
    if (verb == "shot") {
        std::string name;
        in >> name;
        if (name.empty() || name.find('/') != std::string::npos ||
            name.find("..") != std::string::npos) {
            return "shot needs a plain NAME";
        }
        shots_[frame].push_back(name);
        return "";
    }
    return "unknown event '" + verb + "'";
}

const std::vector<WindowEvent>& PlayScript::EventsBefore(long frame) const {
    const auto it = events_.find(frame);
    return it == events_.end() ? none_ : it->second;
}

const std::vector<PadAction>& PlayScript::PadActionsBefore(long frame) const {
    const auto it = pads_.find(frame);
    return it == pads_.end() ? noPads_ : it->second;
}

std::vector<std::string> PlayScript::ShotsAfter(long frame) const {
    const auto it = shots_.find(frame);
    return it == shots_.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace vrumbal
