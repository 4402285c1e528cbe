// The picture libraries: items cut into patterns, the collection bound to the drawing surface, and
// the image list component.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/dx_draw_events.h"
#include "engine/geometry.h"
#include "engine/image_surface.h"
#include "engine/library_data.h"
#include "engine/surface.h"

namespace vrumbal {

class TDXDraw;
class TPictureCollection;

// One pattern of a picture item: a rectangle on one of the item's surfaces.
struct TPictureCollectionItemPattern {
    Rect rect;                              // the pattern within its surface
    const ImageSurface* surface = nullptr;  // one of the item's surfaces (not owned)
};

// One picture of a picture library, cut into equal patterns.
class TPictureCollectionItem final {
public:
    // An item of the given collection holding what the file said of it.
    TPictureCollectionItem(TPictureCollection& owner, PictureItemData data);
    // Item name from the file.
    const std::string& Name() const { return data_.name; }
    // Pattern width: PatternWidth when above 0, else the picture's width.
    int Width() const;
    // Pattern height: PatternHeight when above 0, else the picture's height.
    int Height() const;
    // Number of patterns (built ones once surfaces exist, else computed from the picture).
    int PatternCount() const;
    // The rectangle of a pattern on its surface; (0, 0, 0, 0) outside 0 .. count - 1.
    Rect PatternRect(int index) const;
    // The stored item fields.
    const PictureItemData& Data() const { return data_; }
    // Whether patterns are drawn with the colour key.
    bool Transparent() const { return data_.transparent; }
    // Sets a new colour key (0x00BBGGRR or a system colour) and re-keys every surface at once.
    void SetTransparentColor(std::uint32_t color);
    // True while bound to an initialised drawing surface.
    bool Initialized() const { return initialized_; }
    // The surfaces built for the picture.
    const std::vector<std::unique_ptr<ImageSurface>>& Surfaces() const { return surfaces_; }
    // The built patterns.
    const std::vector<TPictureCollectionItemPattern>& Patterns() const { return patterns_; }

    // Takes another picture of the same size and patterns in place (the sprites showing this
    // item keep it), rebuilt at once when bound to a surface.
    void Replace(PictureItemData data);
    // Finalises, then binds to the collection's surface when that is initialised.
    void Initialize();
    // Drops the surfaces and patterns.
    void Finalize();
    // Builds the surfaces and patterns from the picture.
    void Restore();

    // Draws a pattern with its top-left corner at (x, y).
    void Draw(TDXDraw& dest, int x, int y, int pattern) const;
    // Draws a pattern scaled into destRect with opacity alpha.
    void DrawAlpha(TDXDraw& dest, const Rect& destRect, int pattern, int alpha) const;
    // Draws a pattern scaled to width x height and rotated (see TDXDraw::DrawRotate).
    void DrawRotate(TDXDraw& dest, int x, int y, int width, int height, int pattern, double centerX,
                    double centerY, int angle) const;

private:
    TPictureCollection& owner_;                            // the collection holding this item
    PictureItemData data_;                                 // fields and picture from the file
    bool initialized_ = false;                             // bound to an initialised surface
    std::vector<std::unique_ptr<ImageSurface>> surfaces_;  // one, or one per tile
    std::vector<TPictureCollectionItemPattern> patterns_;  // in pattern-index order
};

// The items of one picture library, bound to a drawing surface.
class TPictureCollection final {
public:
    TPictureCollection() = default;
    TPictureCollection(const TPictureCollection&) = delete;
    TPictureCollection& operator=(const TPictureCollection&) = delete;
    // Loads a library file; throws LibraryError, keeping the items read so far.
    void LoadFromFile(const std::string& path);
    // Loads a library from its bytes; throws LibraryError, keeping the items read so far.
    // When bound to an initialised surface the items are initialised and restored.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    // Takes the pictures of another library of the same items (the same count, each the same
    // size and patterns: another language's pictures) in place of these, so that sprites keep
    // their items. Throws LibraryError, changing nothing, when it cannot be read or differs.
    void ReplaceFromFile(const std::string& path);
    // Number of items.
    int Count() const { return static_cast<int>(items_.size()); }
    // Item index; throws LibraryError "List index out of bounds (%d)" outside the range.
    TPictureCollectionItem& Items(int index);
    // Appends an item built from the given fields (initialised and restored when the
    // collection is bound to an initialised surface); returns it.
    TPictureCollectionItem& Add(PictureItemData data);
    // Binds to a surface and initialises the items; throws LibraryError
    // "TPictureCollection cannot be initialized" when the surface is not initialised.
    void Initialize(TDXDraw& surface);
    // Finalises the items and unbinds.
    void Finalize();
    // Restores every item.
    void Restore();
    // The surface bound to, or null.
    TDXDraw* Surface() const { return surface_; }
    // Forgets the surface without telling the items (it is going away).
    void Unbind() { surface_ = nullptr; }
    // The colour table read from the file.
    const std::array<std::uint8_t, 1024>& ColorTable() const { return colorTable_; }

private:
    std::vector<std::unique_ptr<TPictureCollectionItem>> items_;  // in file order
    std::array<std::uint8_t, 1024> colorTable_{};                 // unused by the game
    TDXDraw* surface_ = nullptr;                                  // bound surface (not owned)
};

// The image list component: a picture collection bound to the drawing surface component.
class TDXImageList final : public DrawListener {
public:
    // A list bound to the given surface (may be null).
    explicit TDXImageList(TDXDraw* draw = nullptr);
    ~TDXImageList() override;
    // The collection.
    TPictureCollection& Items() { return items_; }
    // Binds to another drawing surface component.
    void SetDXDraw(TDXDraw* draw);
    // Reacts to the drawing surface's notifications.
    void DrawNotify(TDXDraw& sender, DrawNotification what) override;

private:
    TPictureCollection items_;  // the pictures
    TDXDraw* draw_ = nullptr;   // the bound surface (not owned)
};

}  // namespace vrumbal
