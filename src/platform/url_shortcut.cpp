// Reading the address out of an internet shortcut file, and the checks on what may be opened.
#include "platform/url_shortcut.h"

#include <strings.h>

#include <cstring>
#include <sstream>

namespace vrumbal {
namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::size_t length = std::char_traits<char>::length(prefix);
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

}  // namespace

std::optional<std::string> ParseUrlShortcut(const std::string& contents) {
    std::istringstream lines(contents);
    std::string line;
    // The address belongs to the [InternetShortcut] section; a file without sections is read
    // as if it were all that section.
    bool inShortcut = true;
    while (std::getline(lines, line)) {
        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inShortcut = strcasecmp(trimmed.c_str(), "[InternetShortcut]") == 0;
            continue;
        }
        if (!inShortcut) continue;
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos ||
            strcasecmp(Trim(trimmed.substr(0, equals)).c_str(), "URL") != 0) {
            continue;
        }
        std::string address = Trim(trimmed.substr(equals + 1));
        if (!address.empty()) return address;
    }
    return std::nullopt;
}

bool IsUrlShortcutName(const std::string& name) {
    return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".url") == 0;
}

bool IsWebAddress(const std::string& address) {
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"}) {
        if (StartsWithNoCase(address, scheme) && address.size() > std::strlen(scheme)) return true;
    }
    return false;
}

}  // namespace vrumbal
