// Finding the font files for the game's face names, and the style a file must be given by hand.
#pragma once
#include <memory>
#include <optional>
#include <string>

namespace vrumbal {

// A font file found for a face, with what the file itself lacks of the asked-for style.
struct FontFile {
    std::string path;          // the font file
    int index = 0;             // face index inside the file
    bool needsBold = false;    // bold was asked for but the face is not bold: embolden it
    bool needsItalic = false;  // italic was asked for but the face is upright: slant it
    bool operator==(const FontFile&) const = default;
};

// Finds font files for the game's face names through fontconfig. The display face "BancoDi"
// is the Play family, "Courier" a monospace face, any other name fontconfig's best match.
class FontLocator final {
public:
    // Loads the fontconfig configuration (FONTCONFIG_FILE is honoured).
    FontLocator();
    ~FontLocator();
    FontLocator(const FontLocator&) = delete;
    FontLocator& operator=(const FontLocator&) = delete;

    // The file for a face in a style; nothing when no readable font file can be found.
    std::optional<FontFile> Find(const std::string& face, bool bold, bool italic) const;

private:
    struct Config;
    std::unique_ptr<Config> config_;  // fontconfig's configuration with its font list
};

}  // namespace vrumbal
