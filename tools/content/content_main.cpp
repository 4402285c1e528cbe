// vrumbal-content OUTDIR [LOCALEDIR]: builds OUTDIR/Data/Res/Res1.dxg, Res2.dxg, Res3.dxg,
// Sounds.dxw, the picture libraries of every other language with their texts drawn into the
// pictures (OUTDIR/Data/Res/LANG/Res1.dxg ..., from the catalogues under LOCALEDIR, else
// OUTDIR/locale), OUTDIR/Data/Music/Menu.xm, Race.xm and the icons
// OUTDIR/icons/hicolor/NxN/apps/APPID.png from the sources in assets/. The same sources always give
// the same bytes.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "content.h"
#include "engine/library_writer.h"
#include "game/build_info.h"

namespace {

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    const auto temp = path.string() + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + temp);
    }
    std::filesystem::rename(temp, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fputs("usage: vrumbal-content OUTDIR [LOCALEDIR]\n", stderr);
        return 2;
    }
    using namespace vrumbal;
    const std::filesystem::path out = argv[1];
    const std::filesystem::path locales = argc == 3 ? argv[2] : out / "locale";
    try {
        for (const std::string& language : ShippedLanguages()) {
            const bool own = language == kOwnLanguage;
            const Catalogue texts = own ? Catalogue() : Catalogue(locales, language);
            if (!own && !texts.Loaded()) {
                throw std::runtime_error("no catalogue for " + language + " under " +
                                         locales.string());
            }
            const auto folder = own ? out / "Data/Res" : out / "Data/Res" / language;
            Write(folder / "Res1.dxg", WritePictureLibrary(content::BuildMenuPictures(texts)));
            Write(folder / "Res2.dxg", WritePictureLibrary(content::BuildRacePictures(texts)));
            Write(folder / "Res3.dxg", WritePictureLibrary(content::BuildMinimapPictures(texts)));
        }
        Write(out / "Data/Res/Sounds.dxw", WriteWaveLibrary(content::BuildSounds()));
        for (const auto& song : content::BuildSongs()) {
            Write(out / "Data/Music" / song.fileName, song.bytes);
        }
        // The icon the desktop shows, in the sizes of its icon theme.
        for (int size : content::kIconSizes) {
            const std::string side = std::to_string(size);
            const auto folder = out / "icons/hicolor" / (side + "x" + side) / "apps";
            std::filesystem::create_directories(folder);
            content::Canvas canvas(size, size);
            content::DrawIcon(canvas);
            const auto path = folder / (std::string(kAppId) + ".png");
            if (!canvas.WritePng(path.string()))
                throw std::runtime_error("cannot write " + path.string());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrumbal-content: %s\n", e.what());
        return 1;
    }
    return 0;
}
