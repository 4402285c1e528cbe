// The picture libraries at work: items cut into patterns on one surface or on tiles, their
// drawing and loading, and following the drawing surface through its life.
#include "engine/picture_collection.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "engine/dx_draw.h"
#include "engine/library_error.h"
#include "engine/library_reader.h"

namespace vrumbal {

namespace {

// Tiles are kept to about this size so that no surface is much larger than the hardware liked.
constexpr int kTileLimit = 512;

// Pattern cells along one side of a picture: whole cells, plus a last pattern that needs no
// trailing gap.
int CellsAlong(int size, int pattern, std::int64_t cell) {
    if (cell <= 0) return size > 0 ? 1 : 0;
    const std::int64_t n = size / cell;
    return static_cast<int>(size - n * cell == pattern ? n + 1 : n);
}

}  // namespace

// ---- TPictureCollectionItem ----

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection& owner, PictureItemData data)
    : owner_(owner), data_(std::move(data)) {}

int TPictureCollectionItem::Width() const {
    return data_.patternWidth > 0 ? data_.patternWidth : data_.picture.width;
}

int TPictureCollectionItem::Height() const {
    return data_.patternHeight > 0 ? data_.patternHeight : data_.picture.height;
}

int TPictureCollectionItem::PatternCount() const {
    if (!surfaces_.empty()) return static_cast<int>(patterns_.size());
    if (data_.picture.Empty()) return 0;
    // Before surfaces exist the count follows from the stored pattern and gap sizes.
    // Sizes and gaps come from the file and may be anything: sum them in 64 bits.
    const int columns = CellsAlong(data_.picture.width, data_.patternWidth,
                                   std::int64_t{data_.patternWidth} + data_.skipWidth);
    const int rows = CellsAlong(data_.picture.height, data_.patternHeight,
                                std::int64_t{data_.patternHeight} + data_.skipHeight);
    return columns * rows;
}

Rect TPictureCollectionItem::PatternRect(int index) const {
    if (index < 0 || index >= static_cast<int>(patterns_.size())) return {};
    return patterns_[index].rect;
}

void TPictureCollectionItem::SetTransparentColor(std::uint32_t color) {
    const std::uint32_t resolved = ResolveSystemColor(color);
    if (resolved == data_.transparentColor) return;
    data_.transparentColor = resolved;
    for (auto& surface : surfaces_) surface->SetColorKey(resolved);
}

void TPictureCollectionItem::Replace(PictureItemData data) {
    data_ = std::move(data);
    if (initialized_) Restore();
}

void TPictureCollectionItem::Initialize() {
    Finalize();
    const TDXDraw* surface = owner_.Surface();
    initialized_ = surface != nullptr && surface->Initialized();
}

void TPictureCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    patterns_.clear();
    surfaces_.clear();
}

void TPictureCollectionItem::Restore() {
    const Picture& picture = data_.picture;
    if (picture.Empty()) return;
    if (!initialized_) {
        Initialize();
        if (!initialized_) return;
    }
    patterns_.clear();
    surfaces_.clear();

    // Sizes and gaps come from the file and may be anything, so the cell arithmetic runs in 64
    // bits; every rectangle that comes out of it lies inside the picture and fits an int.
    const std::int64_t pw = Width(), ph = Height();
    const std::int64_t sw = data_.skipWidth, sh = data_.skipHeight;
    const std::int64_t w = picture.width, h = picture.height;
    const std::int64_t cw = pw + sw, ch = ph + sh;
    const std::uint32_t key = data_.transparentColor;
    auto rect = [](std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
        return Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                    static_cast<int>(bottom)};
    };
    auto makeSurface = [&](const Rect& area) {
        surfaces_.push_back(std::make_unique<ImageSurface>(picture, area, key));
        return surfaces_.back().get();
    };

    if (pw == w && ph == h) {
        const ImageSurface* whole = makeSurface(rect(0, 0, w, h));
        patterns_.push_back({rect(0, 0, w, h), whole});
        return;
    }
    if (cw <= 0 || ch <= 0) return;  // gaps that swallow the pattern leave nothing to cut
    const std::int64_t columns = (w + sw) / cw;
    const std::int64_t rows = (h + sh) / ch;

    if (data_.systemMemory) {
        const ImageSurface* whole = makeSurface(rect(0, 0, w, h));
        for (std::int64_t row = 0; row < rows; ++row) {
            for (std::int64_t column = 0; column < columns; ++column) {
                const std::int64_t left = cw * column, top = ch * row;
                patterns_.push_back({rect(left, top, left + pw, top + ph), whole});
            }
        }
        return;
    }

    // Video memory: tiles of whole pattern cells, about kTileLimit pixels each way, so that a
    // pattern never straddles two tiles.
    const std::int64_t tileW = std::min(cw * columns, cw * ((cw + kTileLimit - 1) / cw));
    const std::int64_t tileH = std::min(ch * rows, ch * ((ch + kTileLimit - 1) / ch));
    if (tileW <= 0 || tileH <= 0) return;
    const std::int64_t tilesAcross = (w + tileW - 1) / tileW;
    const std::int64_t tilesDown = (h + tileH - 1) / tileH;
    for (std::int64_t ty = 0; ty < tilesDown; ++ty) {
        for (std::int64_t tx = 0; tx < tilesAcross; ++tx) {
            std::int64_t tw = std::min(tileW, std::max<std::int64_t>(w - tileW * tx, 0));
            std::int64_t th = std::min(tileH, std::max<std::int64_t>(h - tileH * ty, 0));
            if (tw == 0) tw = tileW;
            if (th == 0) th = tileH;
            const std::int64_t left = tileW * tx, top = tileH * ty;
            makeSurface(rect(left, top, left + tw, top + th));
        }
    }
    for (std::int64_t row = 0; row < rows; ++row) {
        for (std::int64_t column = 0; column < columns; ++column) {
            const std::int64_t gx = cw * column, gy = ch * row;
            const std::size_t tile =
                static_cast<std::size_t>(gx / tileW + tilesAcross * (gy / tileH));
            const ImageSurface* surface = tile < surfaces_.size() ? surfaces_[tile].get() : nullptr;
            const std::int64_t left = gx % tileW, top = gy % tileH;
            patterns_.push_back({rect(left, top, left + pw, top + ph), surface});
        }
    }
}

void TPictureCollectionItem::Draw(TDXDraw& dest, int x, int y, int pattern) const {
    if (!initialized_ || pattern < 0 || pattern >= static_cast<int>(patterns_.size())) return;
    const auto& p = patterns_[pattern];
    if (p.surface == nullptr) return;
    dest.Draw(x, y, p.rect, *p.surface, data_.transparent);
}

void TPictureCollectionItem::DrawAlpha(TDXDraw& dest, const Rect& destRect, int pattern,
                                       int alpha) const {
    if (!initialized_ || pattern < 0 || pattern >= static_cast<int>(patterns_.size())) return;
    const auto& p = patterns_[pattern];
    if (p.surface == nullptr) return;
    dest.DrawAlpha(destRect, p.rect, *p.surface, data_.transparent, alpha);
}

void TPictureCollectionItem::DrawRotate(TDXDraw& dest, int x, int y, int width, int height,
                                        int pattern, double centerX, double centerY,
                                        int angle) const {
    if (!initialized_ || pattern < 0 || pattern >= static_cast<int>(patterns_.size())) return;
    const auto& p = patterns_[pattern];
    if (p.surface == nullptr) return;
    dest.DrawRotate(x, y, width, height, p.rect, *p.surface, centerX, centerY, data_.transparent,
                    angle);
}

// ---- TPictureCollection ----

void TPictureCollection::LoadFromFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const std::string error = ReadFileBytes(path, bytes);
    if (!error.empty()) throw LibraryError(error);
    LoadFromBytes(bytes);
}

void TPictureCollection::ReplaceFromFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const std::string error = ReadFileBytes(path, bytes);
    if (!error.empty()) throw LibraryError(error);
    PictureLibraryData data;
    const std::string readError = ReadPictureLibrary(bytes, data);
    if (!readError.empty()) throw LibraryError(readError);
    if (data.items.size() != items_.size()) {
        throw LibraryError(path + " holds other pictures than the library it replaces");
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const PictureItemData& now = items_[i]->Data();
        const PictureItemData& other = data.items[i];
        if (other.picture.width != now.picture.width ||
            other.picture.height != now.picture.height || other.patternWidth != now.patternWidth ||
            other.patternHeight != now.patternHeight) {
            throw LibraryError(path + ": item " + std::to_string(i) + " differs in size");
        }
    }
    for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->Replace(std::move(data.items[i]));
}

void TPictureCollection::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    items_.clear();
    PictureLibraryData data;
    const std::string error = ReadPictureLibrary(bytes, data);
    colorTable_ = data.colorTable;
    for (auto& item : data.items) {
        items_.push_back(std::make_unique<TPictureCollectionItem>(*this, std::move(item)));
    }
    if (!error.empty()) throw LibraryError(error);
    if (surface_ != nullptr && surface_->Initialized()) {
        Initialize(*surface_);
        Restore();
    }
}

TPictureCollectionItem& TPictureCollection::Items(int index) {
    if (index < 0 || index >= Count()) {
        throw LibraryError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return *items_[index];
}

TPictureCollectionItem& TPictureCollection::Add(PictureItemData data) {
    items_.push_back(std::make_unique<TPictureCollectionItem>(*this, std::move(data)));
    TPictureCollectionItem& item = *items_.back();
    if (surface_ != nullptr && surface_->Initialized()) {
        item.Initialize();
        item.Restore();
    }
    return item;
}

void TPictureCollection::Initialize(TDXDraw& surface) {
    Finalize();
    surface_ = &surface;
    if (!surface.Initialized()) throw LibraryError("TPictureCollection cannot be initialized");
    for (auto& item : items_) item->Initialize();
}

void TPictureCollection::Finalize() {
    for (auto& item : items_) item->Finalize();
    surface_ = nullptr;
}

void TPictureCollection::Restore() {
    for (auto& item : items_) item->Restore();
}

// ---- TDXImageList ----

TDXImageList::TDXImageList(TDXDraw* draw) {
    SetDXDraw(draw);
}

TDXImageList::~TDXImageList() {
    if (draw_ != nullptr) draw_->RemoveListener(this);
}

void TDXImageList::SetDXDraw(TDXDraw* draw) {
    if (draw == draw_) return;
    if (draw_ != nullptr) {
        draw_->RemoveListener(this);
        items_.Finalize();
    }
    draw_ = draw;
    if (draw_ != nullptr) draw_->AddListener(this);  // an initialised surface tells us at once
}

void TDXImageList::DrawNotify(TDXDraw& sender, DrawNotification what) {
    switch (what) {
        case DrawNotification::Destroying:
            items_.Finalize();
            draw_ = nullptr;
            break;
        case DrawNotification::Initialized:
            items_.Initialize(sender);
            break;
        case DrawNotification::Finalized:
            items_.Finalize();
            break;
        case DrawNotification::Restored:
            items_.Restore();
            break;
    }
}

}  // namespace vrumbal
