// vrumbal-tool lib-list, lib-extract and lib-build: looking into and making picture and sound
// libraries.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/component_stream.h"
#include "engine/dx_draw.h"
#include "engine/library_error.h"
#include "engine/library_reader.h"
#include "engine/library_writer.h"
#include "engine/picture_collection.h"
#include "engine/wave_file.h"
#include "platform/png_file.h"

namespace vrumbal::tool {

const char* const kManifestHelp =
    "lib-build manifest: a text file, one statement per line; blank lines and lines starting\n"
    "with '#' are ignored; paths are relative to the manifest's folder.\n"
    "  library picture|sound     first statement: the kind of library to build\n"
    "  item NAME                 starts the next item (NAME is the rest of the line)\n"
    "  picture items:\n"
    "    png PATH                the source picture (RGB; alpha is dropped); none = empty\n"
    "    pattern W H             pattern width and height (0 = the whole picture), default 0 0\n"
    "    skip W H                gap between pattern columns and rows, default 0 0\n"
    "    transparent 0|1         draw with the colour key, default 1\n"
    "    key RRGGBB|NAME         the colour key as hex (red first) or a name such as\n"
    "                            clFuchsia, default 000000\n"
    "    sysmem 0|1              keep the picture in one surface, default 0\n"
    "  sound items:\n"
    "    wav PATH                the RIFF WAVE file to store; none = no wave\n"
    "    looped 0|1              repeat until stopped, default 0\n"
    "    maxplaying N            most copies playing at once (0 = no limit), default 0\n";

namespace {

enum class LibraryKind { Picture, Sound };

// The kind of library a file holds: its root class, else its extension.
LibraryKind KindOf(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string root = PeekRootClassName(bytes);
    if (SameName(root, "TPictureCollectionComponent")) return LibraryKind::Picture;
    if (SameName(root, "TWaveCollectionComponent")) return LibraryKind::Sound;
    return SameName(std::filesystem::path(path).extension().string(), ".dxw")
               ? LibraryKind::Sound
               : LibraryKind::Picture;
}

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& b, std::size_t at, int size) {
    if (at + size > b.size()) return 0;
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

void PrintSound(int index, const WaveItemData& item) {
    std::printf(
        "item=%d\tname=%s\tlooped=%d\tmaxplaying=%d\tformat=%u\tchannels=%u\trate=%u\tbits=%u\t"
        "bytes=%zu\n",
        index, item.name.c_str(), item.looped ? 1 : 0, item.maxPlayingCount,
        LittleEndian(item.format, 0, 2), LittleEndian(item.format, 2, 2),
        LittleEndian(item.format, 4, 4), LittleEndian(item.format, 14, 2), item.samples.size());
}

int ListPictures(const std::string& path) {
    TDXDraw draw(nullptr, nullptr);
    draw.Initialize();
    TDXImageList list(&draw);
    std::string error;
    try {
        list.Items().LoadFromFile(path);
    } catch (const LibraryError& e) {
        error = e.what();
    }
    for (int i = 0; i < list.Items().Count(); ++i) {
        TPictureCollectionItem& item = list.Items().Items(i);
        const PictureItemData& d = item.Data();
        const std::uint32_t key = d.transparentColor;
        std::printf(
            "item=%d\tname=%s\tpicture=%dx%d\tpattern=%dx%d\tskip=%dx%d\tcount=%d\t"
            "transparent=%d\tkey=%02x%02x%02x\tsysmem=%d\n",
            i, d.name.c_str(), d.picture.width, d.picture.height, item.Width(), item.Height(),
            d.skipWidth, d.skipHeight, item.PatternCount(), d.transparent ? 1 : 0, key & 0xFF,
            (key >> 8) & 0xFF, (key >> 16) & 0xFF, d.systemMemory ? 1 : 0);
    }
    if (error.empty()) return 0;
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
}

bool WriteBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int Fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// One manifest being turned into a library.
class ManifestBuilder {
public:
    explicit ManifestBuilder(std::filesystem::path manifest)
        : manifest_(std::move(manifest)), folder_(manifest_.parent_path()) {}

    // Reads the manifest; returns "" or "FILE:LINE: what is wrong".
    std::string Read() {
        std::ifstream in(manifest_);
        if (!in) return "cannot open " + manifest_.string();
        std::string line;
        while (std::getline(in, line)) {
            ++lineNumber_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::size_t start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line[start] == '#') continue;
            const std::size_t end = line.find_first_of(" \t", start);
            const std::string keyword = line.substr(start, end - start);
            std::string rest;
            if (end != std::string::npos) {
                const std::size_t restStart = line.find_first_not_of(" \t", end);
                if (restStart != std::string::npos) rest = line.substr(restStart);
                while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
                    rest.pop_back();
                }
            }
            const std::string error = Statement(keyword, rest);
            if (!error.empty()) {
                return manifest_.string() + ":" + std::to_string(lineNumber_) + ": " + error;
            }
        }
        if (!kind_) return manifest_.string() + ": no library statement";
        return "";
    }

    // The library file's bytes.
    std::vector<std::uint8_t> Bytes() const {
        return *kind_ == LibraryKind::Picture ? WritePictureLibrary(pictures_)
                                              : WriteWaveLibrary(sounds_);
    }

private:
    std::string Statement(const std::string& keyword, const std::string& rest) {
        if (keyword == "library") {
            if (kind_) return "library given twice";
            if (rest == "picture") {
                kind_ = LibraryKind::Picture;
            } else if (rest == "sound") {
                kind_ = LibraryKind::Sound;
            } else {
                return "library must be picture or sound";
            }
            return "";
        }
        if (!kind_) return "the first statement must be library picture|sound";
        if (keyword == "item") {
            if (*kind_ == LibraryKind::Picture) {
                pictures_.items.emplace_back().name = rest;
            } else {
                sounds_.items.emplace_back().name = rest;
            }
            return "";
        }
        const bool noItem =
            *kind_ == LibraryKind::Picture ? pictures_.items.empty() : sounds_.items.empty();
        if (noItem) return "'" + keyword + "' before the first item";
        return *kind_ == LibraryKind::Picture ? PictureStatement(keyword, rest)
                                              : SoundStatement(keyword, rest);
    }

    std::string PictureStatement(const std::string& keyword, const std::string& rest) {
        PictureItemData& item = pictures_.items.back();
        if (keyword == "png") {
            const auto path = folder_ / rest;
            if (!ReadPng(path.string(), item.picture.width, item.picture.height,
                         item.picture.pixels)) {
                return "cannot read PNG " + path.string();
            }
        } else if (keyword == "pattern") {
            if (!Numbers(rest, item.patternWidth, item.patternHeight)) return "pattern W H";
        } else if (keyword == "skip") {
            if (!Numbers(rest, item.skipWidth, item.skipHeight)) return "skip W H";
        } else if (keyword == "transparent") {
            if (!Flag(rest, item.transparent)) return "transparent 0|1";
        } else if (keyword == "sysmem") {
            if (!Flag(rest, item.systemMemory)) return "sysmem 0|1";
        } else if (keyword == "key") {
            const auto key = Key(rest);
            if (!key) return "key RRGGBB or a colour name";
            item.transparentColor = *key;
        } else {
            return "unknown picture statement '" + keyword + "'";
        }
        return "";
    }

    std::string SoundStatement(const std::string& keyword, const std::string& rest) {
        WaveItemData& item = sounds_.items.back();
        if (keyword == "wav") {
            const auto path = folder_ / rest;
            std::vector<std::uint8_t> bytes;
            const std::string error = ReadFileBytes(path.string(), bytes);
            if (!error.empty()) return error;
            try {
                WaveParts wave = ReadWave(bytes, true);
                item.format = std::move(wave.format);
                item.samples = std::move(wave.samples);
                item.hasWave = true;
            } catch (const LibraryError& e) {
                return path.string() + ": " + e.what();
            }
        } else if (keyword == "looped") {
            if (!Flag(rest, item.looped)) return "looped 0|1";
        } else if (keyword == "maxplaying") {
            int unused = 0;
            if (!Numbers(rest + " 0", item.maxPlayingCount, unused) || item.maxPlayingCount < 0) {
                return "maxplaying N";
            }
        } else {
            return "unknown sound statement '" + keyword + "'";
        }
        return "";
    }

    // Parses "A B" as two non-negative integers.
    static bool Numbers(const std::string& text, int& a, int& b) {
        const char* p = text.data();
        const char* end = p + text.size();
        auto r = std::from_chars(p, end, a);
        if (r.ec != std::errc{} || r.ptr == end || *r.ptr != ' ') return false;
        p = r.ptr;
        while (p != end && *p == ' ') ++p;
        r = std::from_chars(p, end, b);
        return r.ec == std::errc{} && r.ptr == end && a >= 0 && b >= 0;
    }

    static bool Flag(const std::string& text, bool& flag) {
        if (text != "0" && text != "1") return false;
        flag = text == "1";
        return true;
    }

    static std::optional<std::uint32_t> Key(const std::string& text) {
        if (const auto named = ColorFromIdent(text)) return ResolveSystemColor(*named);
        std::uint32_t rgb = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
        if (text.size() != 6 || r.ec != std::errc{} || r.ptr != text.data() + text.size()) {
            return std::nullopt;
        }
        // The key is given red first; items keep it red in the low byte.
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }

    std::filesystem::path manifest_;
    std::filesystem::path folder_;
    int lineNumber_ = 0;
    std::optional<LibraryKind> kind_;
    PictureLibraryData pictures_;
    WaveLibraryData sounds_;
};

}  // namespace

int LibList(const Args& args) {
    RefuseOptions(args);
    if (args.size() != 1) throw UsageError("needs one file");
    const std::string& path = args[0];
    std::vector<std::uint8_t> bytes;
    const std::string error = ReadFileBytes(path, bytes);
    if (!error.empty()) return Fail(error);
    if (KindOf(path, bytes) == LibraryKind::Picture) return ListPictures(path);
    WaveLibraryData sounds;
    const std::string loadError = ReadWaveLibrary(bytes, sounds);
    for (std::size_t i = 0; i < sounds.items.size(); ++i) {
        PrintSound(static_cast<int>(i), sounds.items[i]);
    }
    return loadError.empty() ? 0 : Fail(loadError);
}

int LibExtract(const Args& args) {
    RefuseOptions(args);
    if (args.size() != 2) throw UsageError("needs a file and a folder");
    const std::string& path = args[0];
    const std::filesystem::path dir = args[1];
    std::vector<std::uint8_t> bytes;
    const std::string error = ReadFileBytes(path, bytes);
    if (!error.empty()) return Fail(error);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return Fail("cannot make " + dir.string() + ": " + ec.message());
    std::string loadError;
    if (KindOf(path, bytes) == LibraryKind::Picture) {
        PictureLibraryData pictures;
        loadError = ReadPictureLibrary(bytes, pictures);
        for (std::size_t i = 0; i < pictures.items.size(); ++i) {
            const Picture& picture = pictures.items[i].picture;
            if (picture.Empty()) continue;
            const auto file = dir / (std::to_string(i) + ".png");
            if (!WritePng(file.string(), picture.width, picture.height, picture.pixels)) {
                return Fail("cannot write " + file.string());
            }
        }
    } else {
        WaveLibraryData sounds;
        loadError = ReadWaveLibrary(bytes, sounds);
        for (std::size_t i = 0; i < sounds.items.size(); ++i) {
            const WaveItemData& item = sounds.items[i];
            if (!item.hasWave) continue;
            const auto file = dir / (std::to_string(i) + ".wav");
            if (!WriteBytes(file, WriteWave(item.format, item.samples))) {
                return Fail("cannot write " + file.string());
            }
        }
    }
    return loadError.empty() ? 0 : Fail(loadError);
}

int LibBuild(const Args& args) {
    RefuseOptions(args);
    if (args.size() != 2) throw UsageError("needs a manifest and an output file");
    ManifestBuilder builder{std::filesystem::path(args[0])};
    const std::string error = builder.Read();
    if (!error.empty()) return Fail(error);
    if (!WriteBytes(args[1], builder.Bytes())) return Fail("cannot write " + args[1]);
    return 0;
}

}  // namespace vrumbal::tool
