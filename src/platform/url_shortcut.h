// Internet shortcut files: the address they hold, and which addresses the desktop may be given.
#pragma once
#include <optional>
#include <string>

namespace vrumbal {

// The address of an internet shortcut file's text (an INI file whose URL= line holds it);
// nothing when there is no such line or it is empty.
std::optional<std::string> ParseUrlShortcut(const std::string& contents);

// True for a file name that ends in ".url" in any letter case.
bool IsUrlShortcutName(const std::string& name);

// True for a web or mail address that may be handed to the desktop from a shortcut file: a
// shortcut may not make the desktop run a program or open a local file.
bool IsWebAddress(const std::string& address);

}  // namespace vrumbal
