// The font search through fontconfig: the best scalable match for a family and style, and the
// files it names checked for being there still.
#include "platform/font_locator.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>
#include <unistd.h>

namespace vrumbal {

struct FontLocator::Config {
    FcConfig* config = nullptr;
    ~Config() {
        if (config != nullptr) FcConfigDestroy(config);
    }
};

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// Fontconfig's best match for a family in a style, or null.
Pattern Match(FcConfig* config, const char* family, bool bold, bool italic) {
    Pattern pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Scalable outlines only: bitmap fonts cannot be drawn at any size.
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return nullptr;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(config, pattern.get(), &result));
    if (!match || result != FcResultMatch) return nullptr;
    return match;
}

bool FamilyIs(const FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) return true;
    }
    return false;
}

std::optional<FontFile> FileOf(const FcPattern* match, bool bold, bool italic) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    FontFile found;
    found.path = reinterpret_cast<const char*>(file);
    // The font cache may still list files that have been removed since.
    if (access(found.path.c_str(), R_OK) != 0) return std::nullopt;
    FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    found.needsBold = bold && weight < FC_WEIGHT_DEMIBOLD;
    found.needsItalic = italic && slant == FC_SLANT_ROMAN;
    return found;
}

}  // namespace

FontLocator::FontLocator() : config_(std::make_unique<Config>()) {
    config_->config = FcInitLoadConfigAndFonts();
}

FontLocator::~FontLocator() = default;

std::optional<FontFile> FontLocator::Find(const std::string& face, bool bold, bool italic) const {
    FcConfig* config = config_->config;
    if (config == nullptr) return std::nullopt;
    if (strcasecmp(face.c_str(), "BancoDi") == 0) {
        const Pattern match = Match(config, "Play", bold, italic);
        return match ? FileOf(match.get(), bold, italic) : std::nullopt;
    }
    if (strcasecmp(face.c_str(), "Courier") == 0) {
        // The one monospace face whose metrics we know; otherwise the system's monospace.
        const Pattern dejaVu = Match(config, "DejaVu Sans Mono", bold, italic);
        if (dejaVu && FamilyIs(dejaVu.get(), "DejaVu Sans Mono")) {
            return FileOf(dejaVu.get(), bold, italic);
        }
        const Pattern mono = Match(config, "monospace", bold, italic);
        return mono ? FileOf(mono.get(), bold, italic) : std::nullopt;
    }
    const Pattern match = Match(config, face.c_str(), bold, italic);
    return match ? FileOf(match.get(), bold, italic) : std::nullopt;
}

}  // namespace vrumbal
