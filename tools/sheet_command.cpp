// vrumbal-tool sheet LIB OUT.png: a contact sheet of a picture library. Every item is shown
// with its index, size and pattern count; its patterns are laid out a few pixels apart, each
// outlined, with the keyed parts on a checker so they stand out; items wider than the sheet
// are scaled down and tiny ones blown up.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/dx_draw.h"
#include "engine/library_error.h"
#include "engine/library_reader.h"
#include "engine/picture_collection.h"
#include "platform/png_file.h"

namespace vrumbal::tool {

namespace {

constexpr int kSheetWidth = 1280;
constexpr int kMargin = 10;     // around the sheet and between items
constexpr int kGutter = 3;      // between the patterns of one item
constexpr int kGlyphScale = 2;  // pixels per dot of the label font
constexpr int kLabelHeight = 5 * kGlyphScale + 4;
constexpr std::uint32_t kPage = 0x5E6166;  // neutral grey
constexpr std::uint32_t kCheckLight = 0xC4C4C4;
constexpr std::uint32_t kCheckDark = 0x969696;
constexpr std::array<std::uint32_t, 2> kOutlines = {0x00D8FF, 0xFF8A00};

// A 3 x 5 dot font for the labels: each glyph is five rows of three bits, top row first.
struct Glyph {
    char c;
    std::array<std::uint8_t, 5> rows;
};
constexpr Glyph kFont[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'#', {5, 7, 5, 7, 5}}, {'x', {0, 5, 2, 5, 0}},
    {'p', {0, 7, 5, 7, 4}}, {'-', {0, 0, 7, 0, 0}}, {' ', {0, 0, 0, 0, 0}},
};

const Glyph* FindGlyph(char c) {
    for (const Glyph& g : kFont) {
        if (g.c == c) return &g;
    }
    return nullptr;
}

int LabelWidth(const std::string& text) {
    return static_cast<int>(text.size()) * 4 * kGlyphScale;
}

// The sheet being drawn: 0x00RRGGBB pixels that grow downward as items are placed.
class SheetCanvas {
public:
    explicit SheetCanvas(int width) : width_(width) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

    // Makes sure rows up to y (exclusive) exist.
    void Reach(int y) {
        if (y <= height_) return;
        pixels_.resize(static_cast<std::size_t>(width_) * y, kPage);
        height_ = y;
    }

    void Set(int x, int y, std::uint32_t color) {
        if (x < 0 || x >= width_ || y < 0) return;
        Reach(y + 1);
        pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
    }

    void Frame(int x, int y, int w, int h, std::uint32_t color) {
        for (int i = x; i < x + w; ++i) {
            Set(i, y, color);
            Set(i, y + h - 1, color);
        }
        for (int j = y; j < y + h; ++j) {
            Set(x, j, color);
            Set(x + w - 1, j, color);
        }
    }

    void Text(int x, int y, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const Glyph* glyph = FindGlyph(text[i]);
            if (!glyph) continue;
            const int left = x + static_cast<int>(i) * 4 * kGlyphScale;
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (!(glyph->rows[row] & (4 >> col))) continue;
                    for (int dy = 0; dy < kGlyphScale; ++dy) {
                        for (int dx = 0; dx < kGlyphScale; ++dx) {
                            const int px = left + col * kGlyphScale + dx;
                            const int py = y + row * kGlyphScale + dy;
                            Set(px + 1, py + 1, 0x202225);
                            Set(px, py, 0xFFFFFF);
                        }
                    }
                }
            }
        }
    }

private:
    int width_;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

std::uint32_t Checker(int x, int y) {
    return ((x / 6 + y / 6) % 2 == 0) ? kCheckLight : kCheckDark;
}

// Copies the source rectangle (sx, sy, sw, sh) of a picture into the sheet at (dx, dy),
// scaled by scale with area averaging (each pixel repeated when blown up); keyed pixels show
// the checker.
void Blit(SheetCanvas& sheet, const Picture& picture, bool keyed, std::uint32_t key, int sx, int sy,
          int sw, int sh, int dx, int dy, double scale) {
    const int dw = std::max(1, static_cast<int>(sw * scale));
    const int dh = std::max(1, static_cast<int>(sh * scale));
    for (int y = 0; y < dh; ++y) {
        const int y0 = sy + static_cast<int>(y / scale);
        const int y1 = std::max(y0 + 1, std::min(sy + sh, sy + static_cast<int>((y + 1) / scale)));
        for (int x = 0; x < dw; ++x) {
            const int x0 = sx + static_cast<int>(x / scale);
            const int x1 =
                std::max(x0 + 1, std::min(sx + sw, sx + static_cast<int>((x + 1) / scale)));
            const std::uint32_t check = Checker(dx + x, dy + y);
            std::uint32_t r = 0, g = 0, b = 0, n = 0;
            for (int py = y0; py < y1 && py < picture.height; ++py) {
                for (int px = x0; px < x1 && px < picture.width; ++px) {
                    std::uint32_t c = picture.At(px, py);
                    if (keyed && c == key) c = check;
                    r += (c >> 16) & 0xFF;
                    g += (c >> 8) & 0xFF;
                    b += c & 0xFF;
                    ++n;
                }
            }
            if (n == 0) continue;
            sheet.Set(dx + x, dy + y, ((r / n) << 16) | ((g / n) << 8) | (b / n));
        }
    }
}

// Where one item goes and how big it is drawn.
struct Cell {
    int columns = 0;   // patterns across
    int rows = 0;      // patterns down
    double scale = 1;  // the patterns' scale on the sheet
    int patternW = 0;  // one pattern on the sheet
    int patternH = 0;
    int width = 0;  // the whole cell with label and outlines
    int height = 0;
    std::string label;
};

Cell Measure(TPictureCollectionItem& item, int index) {
    const PictureItemData& d = item.Data();
    Cell cell;
    const int count = d.picture.Empty() ? 0 : item.PatternCount();
    const int pw = item.Width(), ph = item.Height();
    cell.label = "#" + std::to_string(index) + " " + std::to_string(pw) + "x" + std::to_string(ph) +
                 (count == 1 ? "" : " p" + std::to_string(count));
    if (count > 0 && pw > 0 && ph > 0) {
        const int cw = pw + d.skipWidth, ch = ph + d.skipHeight;
        cell.columns = std::max(1, (d.picture.width + d.skipWidth) / cw);
        cell.rows = std::max(1, (d.picture.height + d.skipHeight) / ch);
        const int natural = cell.columns * (pw + kGutter) - kGutter + 2;
        cell.scale = std::min(1.0, static_cast<double>(kSheetWidth - 2 * kMargin) / natural);
        // Tiny pictures are blown up so that their pixels can be seen.
        if (natural <= 48 && cell.rows * ph <= 48) cell.scale = 3;
        cell.patternW = std::max(1, static_cast<int>(pw * cell.scale));
        cell.patternH = std::max(1, static_cast<int>(ph * cell.scale));
    }
    const int blockW = cell.columns * (cell.patternW + kGutter) - kGutter + 2;
    const int blockH = cell.rows * (cell.patternH + kGutter) - kGutter + 2;
    cell.width = std::max({LabelWidth(cell.label), blockW, 24});
    cell.height = kLabelHeight + std::max(blockH, 24);
    return cell;
}

void Draw(SheetCanvas& sheet, TPictureCollectionItem& item, const Cell& cell, int x, int y) {
    sheet.Text(x, y, cell.label);
    const int top = y + kLabelHeight;
    if (cell.columns == 0) {
        // An empty picture: a crossed box.
        sheet.Frame(x, top, 24, 24, 0xFF4040);
        for (int i = 0; i < 24; ++i) {
            sheet.Set(x + i, top + i, 0xFF4040);
            sheet.Set(x + 23 - i, top + i, 0xFF4040);
        }
        return;
    }
    const PictureItemData& d = item.Data();
    const std::uint32_t keyBgr = d.transparentColor;
    const std::uint32_t key = ((keyBgr & 0xFF) << 16) | (keyBgr & 0xFF00) | ((keyBgr >> 16) & 0xFF);
    const int pw = item.Width(), ph = item.Height();
    const int cw = pw + d.skipWidth, ch = ph + d.skipHeight;
    int index = 0;
    for (int row = 0; row < cell.rows; ++row) {
        for (int col = 0; col < cell.columns; ++col, ++index) {
            const int dx = x + 1 + col * (cell.patternW + kGutter);
            const int dy = top + 1 + row * (cell.patternH + kGutter);
            const int sw = std::min(pw, d.picture.width - col * cw);
            const int sh = std::min(ph, d.picture.height - row * ch);
            Blit(sheet, d.picture, d.transparent, key, col * cw, row * ch, sw, sh, dx, dy,
                 cell.scale);
            sheet.Frame(dx - 1, dy - 1, cell.patternW + 2, cell.patternH + 2, kOutlines[index % 2]);
        }
    }
}

int Fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

}  // namespace

int Sheet(const Args& args) {
    RefuseOptions(args);
    if (args.size() != 2) throw UsageError("needs a library and an output picture");
    std::vector<std::uint8_t> bytes;
    std::string error = ReadFileBytes(args[0], bytes);
    if (!error.empty()) return Fail(error);
    TDXDraw draw(nullptr, nullptr);
    draw.Initialize();
    TDXImageList list(&draw);
    try {
        list.Items().LoadFromBytes(bytes);
    } catch (const LibraryError& e) {
        error = e.what();
    }
    SheetCanvas sheet(kSheetWidth);
    sheet.Reach(kMargin);
    int x = kMargin, y = kMargin, rowHeight = 0;
    for (int i = 0; i < list.Items().Count(); ++i) {
        TPictureCollectionItem& item = list.Items().Items(i);
        const Cell cell = Measure(item, i);
        if (x > kMargin && x + cell.width > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + kMargin;
            rowHeight = 0;
        }
        Draw(sheet, item, cell, x, y);
        sheet.Reach(y + cell.height + kMargin);
        x += cell.width + kMargin;
        rowHeight = std::max(rowHeight, cell.height);
    }
    if (!WritePng(args[1], sheet.Width(), sheet.Height(), sheet.Pixels())) {
        return Fail("cannot write " + args[1]);
    }
    return error.empty() ? 0 : Fail(error);
}

}  // namespace vrumbal::tool
