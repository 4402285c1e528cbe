// Image list 1 as the content build makes it: every index the game addresses, the pattern
// counts it relies on, and pictures that fit where the game puts them and what it draws on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "assets/built_content.h"
#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "platform/codepage.h"
#include "platform/pixel_buffer.h"
#include "platform/text.h"

namespace vrumbal::test {
namespace {

class MenuPictures : public BuiltContent {
protected:
    static const PictureItemData& Item(int index) {
        return Library(1).data.items.at(static_cast<std::size_t>(index));
    }
};

// A rectangle on the screen: left, top, right and bottom (exclusive).
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Inside(const Box& o) const {
        return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom;
    }
    bool Overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << ", " << b.top << ") - (" << b.right << ", " << b.bottom << ")";
}

// The box of the drawn (not keyed) pixels of pattern 0 of an item placed at (x, y).
Box DrawnBox(const PictureItemData& item, int x, int y) {
    const PatternSize size = SizeOf(item);
    Box box{size.width, size.height, 0, 0};
    for (int py = 0; py < size.height; ++py) {
        for (int px = 0; px < size.width; ++px) {
            if (!Drawn(item, px, py)) continue;
            box.left = std::min(box.left, px);
            box.top = std::min(box.top, py);
            box.right = std::max(box.right, px + 1);
            box.bottom = std::max(box.bottom, py + 1);
        }
    }
    return {box.left + x, box.top + y, box.right + x, box.bottom + y};
}

// Where the game shows a picture.
struct Placed {
    int index;
    int x;
    int y;
};

TEST_F(MenuPictures, EveryIndexLoadsWithThePatternsTheGameDraws) {
    const BuiltLibrary& library = Library(1);
    ASSERT_EQ(library.error, "");
    ASSERT_EQ(library.data.items.size(), 55u);
    TDXDraw draw(nullptr, nullptr);
    draw.Initialize();
    TDXImageList list(&draw);
    list.Items().LoadFromBytes(library.bytes);
    ASSERT_EQ(list.Items().Count(), 55);
    for (int i = 0; i < 55; ++i) {
        // Buttons 34..43 show pattern 1 normally and pattern 0 highlighted.
        const int expected = i >= 34 && i <= 43 ? 2 : 1;
        TPictureCollectionItem& item = list.Items().Items(i);
        EXPECT_EQ(item.PatternCount(), expected) << "item " << i;
        EXPECT_EQ(static_cast<int>(item.Patterns().size()), expected) << "item " << i;
    }
}

TEST_F(MenuPictures, SizesTheScreensRelyOn) {
    EXPECT_EQ(SizeOf(Item(1)).width, 800);
    EXPECT_EQ(SizeOf(Item(1)).height, 600);
    // The background and the bike pictures cover what lies below them completely.
    for (int index : {1, 28, 29, 30, 31, 32}) {
        const PictureItemData& item = Item(index);
        for (int y = 0; y < item.picture.height; ++y) {
            for (int x = 0; x < item.picture.width; ++x) {
                ASSERT_TRUE(Drawn(item, x, y)) << "item " << index << " at " << x << "," << y;
            }
        }
    }
    // Pictures that replace each other in place have one size.
    const std::vector<std::vector<int>> groups = {{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                                                  {14, 15},
                                                  {16, 17},
                                                  {18, 19},
                                                  {28, 29, 30, 31, 32},
                                                  {34, 35}};
    for (const auto& group : groups) {
        for (int index : group) {
            EXPECT_EQ(SizeOf(Item(index)).width, SizeOf(Item(group[0])).width) << index;
            EXPECT_EQ(SizeOf(Item(index)).height, SizeOf(Item(group[0])).height) << index;
        }
    }
    // The main buttons stand 59 to 61 pixels apart and slide past each other.
    EXPECT_LE(SizeOf(Item(2)).height, 55);
    // Rating pips are drawn 18 pixels apart in rows 28 to 32 pixels apart.
    EXPECT_LE(SizeOf(Item(54)).width, 18);
    EXPECT_LT(SizeOf(Item(54)).height, 28);
}

TEST_F(MenuPictures, HitAreasAndUnusedPlacesDrawNothing) {
    for (int index : {0, 23, 44, 45, 46, 47, 48, 49}) {
        EXPECT_TRUE(DrawnBox(Item(index), 0, 0).Empty()) << "item " << index;
    }
}

TEST_F(MenuPictures, EveryPieceStaysOnTheScreen) {
    const std::vector<Placed> placed = {{1, 0, 0},      {2, 12, 173},   {3, 12, 232},
                                        {4, 12, 291},   {5, 12, 351},   {6, 12, 412},
                                        {7, 12, 473},   {14, 456, 192}, {16, 444, 296},
                                        {18, 590, 296}, {20, 392, 400}, {21, 468, 478},
                                        {24, 439, 42},  {25, 312, 42},  {26, 406, 42},
                                        {27, 323, 42},  {28, 456, 180}, {33, 185, 219},
                                        {34, 249, 306}, {35, 377, 306}, {36, 661, 542},
                                        {37, 378, 180}, {38, 712, 180}, {39, 366, 542},
                                        {40, 365, 532}, {41, 517, 532}, {42, 360, 542},
                                        {43, 513, 542}, {50, 300, 440}, {51, 358, 130},
                                        {52, 358, 130}, {53, 356, 130}, {54, 546 + 18 * 10, 486}};
    const Box screen{0, 0, 800, 600};
    for (const Placed& p : placed) {
        const PatternSize size = SizeOf(Item(p.index));
        const Box box{p.x, p.y, p.x + size.width, p.y + size.height};
        EXPECT_TRUE(box.Inside(screen)) << "item " << p.index << " " << box;
    }
}

TEST_F(MenuPictures, PiecesSitOnTheirPanels) {
    struct Case {
        const char* screen;
        Placed panel;
        std::vector<Placed> pieces;
    };
    const std::vector<Case> cases = {
        {"options",
         {51, 358, 130},
         {{14, 456, 192},
          {16, 444, 296},
          {18, 590, 296},
          {20, 392, 400},
          {21, 468, 478},
          {36, 661, 542}}},
        {"help", {51, 358, 130}, {{42, 360, 542}, {43, 513, 542}, {36, 661, 542}, {50, 300, 440}}},
        {"bike choice",
         {52, 358, 130},
         {{28, 456, 180},
          {37, 378, 180},
          {38, 712, 180},
          {39, 366, 542},
          {36, 661, 542},
          {54, 546, 396},
          {54, 546 + 18 * 10, 486}}},
        {"dialog", {33, 185, 219}, {{34, 249, 306}, {35, 377, 306}}},
    };
    for (const Case& c : cases) {
        const Box panel = DrawnBox(Item(c.panel.index), c.panel.x, c.panel.y);
        for (const Placed& p : c.pieces) {
            const Box piece = DrawnBox(Item(p.index), p.x, p.y);
            EXPECT_TRUE(piece.Inside(panel))
                << c.screen << ": item " << p.index << " " << piece << " outside " << panel;
        }
    }
}

TEST_F(MenuPictures, PiecesOfOneScreenDoNotCoverEachOther) {
    struct Case {
        const char* what;
        Placed a;
        Placed b;
    };
    const std::vector<Case> cases = {
        {"yes and no", {34, 249, 306}, {35, 377, 306}},
        {"help pages", {42, 360, 542}, {43, 513, 542}},
        {"next page and back", {43, 513, 542}, {36, 661, 542}},
        {"clear and world table", {40, 365, 532}, {41, 517, 532}},
        {"world table and back", {41, 517, 532}, {36, 661, 542}},
        // The high-score panel is drawn above the screen's buttons.
        {"records panel and clear", {53, 356, 130}, {40, 365, 532}},
        {"records panel and world table", {53, 356, 130}, {41, 517, 532}},
        {"records panel and back", {53, 356, 130}, {36, 661, 542}},
        {"start and back", {39, 366, 542}, {36, 661, 542}},
        {"left arrow and bike", {37, 378, 180}, {28, 456, 180}},
        {"right arrow and bike", {38, 712, 180}, {28, 456, 180}},
        {"bike and ratings", {28, 456, 180}, {54, 546, 396}},
        {"main buttons 3 and 4", {4, 12, 291}, {5, 12, 351}},
        {"main buttons 1 and 2", {2, 12, 173}, {3, 12, 232}},
        {"main buttons and panels", {2, 12, 173}, {53, 356, 130}},
        {"main buttons and about picture", {6, 12, 412}, {50, 300, 440}},
        {"help title and panel", {24, 439, 42}, {51, 358, 130}},
        {"bike title and panel", {25, 312, 42}, {52, 358, 130}},
        {"options title and panel", {26, 406, 42}, {51, 358, 130}},
        {"records title and panel", {27, 323, 42}, {53, 356, 130}},
    };
    for (const Case& c : cases) {
        const Box a = DrawnBox(Item(c.a.index), c.a.x, c.a.y);
        const Box b = DrawnBox(Item(c.b.index), c.b.x, c.b.y);
        EXPECT_FALSE(a.Overlaps(b)) << c.what << ": " << a << " and " << b;
    }
}

TEST_F(MenuPictures, NoDrawnPixelTurnsIntoTheKeyOnTheScreen) {
    // The screen is RGB565: a colour that packs like fuchsia would vanish when drawn.
    const std::uint16_t key = PackRgb565(0xFF, 0x00, 0xFF);
    for (int list : {1, 3}) {
        const auto& items = Library(list).data.items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const PictureItemData& item = items[i];
            int bad = 0;
            for (int y = 0; y < item.picture.height; ++y) {
                for (int x = 0; x < item.picture.width; ++x) {
                    if (!Drawn(item, x, y)) continue;
                    const std::uint32_t c = item.picture.At(x, y);
                    if (PackRgb565(c >> 16, (c >> 8) & 0xFF, c & 0xFF) == key) ++bad;
                }
            }
            EXPECT_EQ(bad, 0) << "list " << list << " item " << i;
        }
    }
}

// The texts the game draws over panels and fields, in the sizes of their font slots.
TEST_F(MenuPictures, TextsTheGameDrawsLandOnTheirPanels) {
    struct Case {
        std::string text;
        int points;    // the font slot's size
        bool centred;  // centred on x, else starting at x
        int x;
        int y;         // the text is centred vertically on y
        Placed panel;  // the picture it must land on
    };
    const Placed dialog{33, 185, 219}, options{51, 358, 130}, records{53, 356, 130};
    const std::vector<Case> cases = {
        {"Выйти из игры?", 30, true, 382, 269, dialog},
        {"Вы хотите очистить", 24, true, 382, 253, dialog},
        {"таблицу рекордов?", 24, true, 382, 283, dialog},
        {"Набрано очков: 99999", 26, true, 382, 253, dialog},
        {"Введите ваше имя: ", 26, true, 382, 288, dialog},
        {"Отправить результат", 24, true, 382, 245, dialog},
        {"в мировую таблицу?", 24, true, 382, 281, dialog},
        {"Ваше место 6", 24, true, 382, 244, dialog},
        {"Осталось: 100 сек.", 24, false, 307, 304, dialog},
        {"За время: 1000", 24, false, 292, 334, dialog},
        {"Вы закончили гонку!", 26, true, 382, 309, dialog},
        {"Экран:", 24, true, 574, 168, options},
        {"Музыка:", 24, true, 504, 272, options},
        {"Звук:", 24, true, 646, 272, options},
        {"Хот клавиша:", 24, true, 570, 458, options},
        {"Великобритания", 24, true, 580, 417, {20, 392, 400}},
        {"CTRL+F12", 24, true, 575, 494, {21, 468, 478}},
        {"ОПИСАНИЕ ИГРЫ", 28, false, 380, 160, options},
        {"100 очков", 15, false, 430, 410, options},
        {"Vrumbal", 20, false, 550, 285, options},
        {"Чемпион", 18, true, 578, 196, records},
        {"100000", 18, true, 732, 499, records},
        {"100000", 18, true, 732, 196, records},
    };
    auto renderer = CreateTtfTextRenderer();
    for (const Case& c : cases) {
        FontSpec font;
        font.face = "BancoDi";
        font.size = c.points;
        const std::string text = Utf8ToCp1251(c.text);
        const int w = renderer->TextWidth(text, font);
        ASSERT_GT(w, 0) << "no display face to measure with";
        const int left = c.centred ? c.x - w / 2 : c.x;
        // Across, the whole advance; down, the capitals, which sit about 0.36 em either side
        // of the line's middle (the line box adds leading above and below that draws nothing).
        const int half = static_cast<int>(std::ceil(0.36 * c.points * 96 / 72));
        const Box box{left, c.y - half, left + w, c.y + half};
        const Box panel = DrawnBox(Item(c.panel.index), c.panel.x, c.panel.y);
        EXPECT_TRUE(box.Inside(panel)) << c.text << " " << box << " outside " << panel;
    }
}

}  // namespace
}  // namespace vrumbal::test
