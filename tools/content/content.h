#pragma once
// The content build: every picture, sound and song of the game, made from the sources in
// assets/. Each Build function below lives with its sources there.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "engine/picture.h"
#include "game/texts.h"
#include "platform/catalogue.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace vrumbal::content {

// The colour transparent picture parts are stored in (fuchsia; 0x00BBGGRR and 0x00RRGGBB alike).
inline constexpr std::uint32_t kKeyColor = 0xFF00FF;

// Image list 1: the menus.
PictureLibraryData BuildMenuPictures(const Catalogue& t = Catalogue{});
// Image list 2: the race.
PictureLibraryData BuildRacePictures(const Catalogue& t = Catalogue{});
// Image list 3: the minimap.
PictureLibraryData BuildMinimapPictures(const Catalogue& t = Catalogue{});
// The sound effects.
WaveLibraryData BuildSounds();
// One song as the bytes of an XM module.
struct Song {
    std::string fileName;             // "Menu.xm" or "Race.xm"
    std::vector<std::uint8_t> bytes;  // the module
};
// The menu and race songs.
std::vector<Song> BuildSongs();

// A cairo drawing of a given size, starting fully transparent.
class Canvas final {
public:
    // A transparent canvas of width x height pixels.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // The cairo context to draw with.
    cairo_t* Cr() const { return cr_; }
    // Width in pixels.
    int Width() const { return width_; }
    // Height in pixels.
    int Height() const { return height_; }
    // The drawing as a picture for a colour-keyed item: pixels less than half covered become
    // the key colour; the others are flattened over matte (0x00RRGGBB), the colour of what the
    // picture is usually drawn on, so antialiased edges blend into it instead of into fuchsia.
    Picture ToKeyed(std::uint32_t matte) const;
    // The drawing flattened over an opaque background colour (0x00RRGGBB).
    Picture ToOpaque(std::uint32_t background) const;
    // The covered fraction (0..255) of pixel (x, y).
    std::uint8_t CoverageAt(int x, int y) const;
    // Writes the drawing, with its transparency, as a PNG file. Returns false when it cannot.
    bool WritePng(const std::string& path) const;

private:
    int width_;                 // pixels
    int height_;                // pixels
    cairo_surface_t* surface_;  // ARGB32 image surface (owned)
    cairo_t* cr_;               // drawing context (owned)
};

// The sizes the game's icon is made at, in pixels.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
// Draws the game's icon over the whole of a square canvas.
void DrawIcon(Canvas& canvas);

// Chooses the game's display face (Play, bold or regular) at a pixel size for text drawing.
void SelectDisplayFont(cairo_t* cr, bool bold, double pixelSize);

// An item of a picture library: a picture cut into patterns of the given size (0 = whole),
// colour-keyed with fuchsia when transparent.
PictureItemData MakePictureItem(const std::string& name, Picture picture, int patternWidth = 0,
                                int patternHeight = 0, bool transparent = true);

// Checks that the next item of a library goes to the place the game's id gives it; throws a
// std::logic_error naming the item otherwise.
void ExpectPlace(const PictureLibraryData& library, int id, const char* what);

// Lays pictures of equal size side by side into one picture of patterns, left to right.
Picture JoinPatterns(const std::vector<Picture>& patterns);

// An item of a sound library holding 16-bit mono PCM samples (-1..1) at the given rate.
WaveItemData MakeSoundItem(const std::string& name, const std::vector<float>& samples, int rate,
                           bool looped = false, int maxPlayingCount = 0);

}  // namespace vrumbal::content
