#include "engine/picture_collection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "engine/dx_draw.h"
#include "engine/library_error.h"
#include "engine/picture_helpers.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

using test::CountOtherThan;
using test::IndexPicture;
using test::IndexPixel;

constexpr std::uint16_t kBackground = 0x1234;

PictureItemData ItemData(Picture picture, int pw, int ph, int sw = 0, int sh = 0,
                         bool systemMemory = false) {
    PictureItemData d;
    d.name = "item";
    d.patternWidth = pw;
    d.patternHeight = ph;
    d.skipWidth = sw;
    d.skipHeight = sh;
    d.systemMemory = systemMemory;
    d.transparent = false;
    d.picture = std::move(picture);
    return d;
}

// A drawing surface without a display, initialised, with an image list on it.
struct Fixture {
    TDXDraw draw{nullptr, nullptr};
    TDXImageList list{&draw};
    Fixture() { draw.Initialize(); }
    TPictureCollection& Items() { return list.Items(); }
};

// ---- cutting ----

struct CutCase {
    const char* what;
    int w, h, pw, ph, sw, sh;
    bool systemMemory;
    int patterns;
    std::vector<int> tileWidths;   // surface widths in order
    std::vector<int> tileHeights;  // surface heights in order
};

// Names the case in failure messages.
void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.what;
}

class PatternCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(PatternCutting, CountsTilesAndPlacement) {
    const CutCase& c = GetParam();
    Fixture f;
    PictureItemData data = ItemData(IndexPicture(c.w, c.h), c.pw, c.ph, c.sw, c.sh, c.systemMemory);

    // The count before any surface exists comes from the sizes alone.
    TPictureCollection unbound;
    TPictureCollectionItem& loose = unbound.Add(data);
    EXPECT_FALSE(loose.Initialized());
    EXPECT_EQ(loose.PatternCount(), c.patterns) << c.what;

    TPictureCollectionItem& item = f.Items().Add(std::move(data));
    ASSERT_TRUE(item.Initialized());
    ASSERT_EQ(item.PatternCount(), c.patterns) << c.what;
    ASSERT_EQ(item.Surfaces().size(), c.tileWidths.size()) << c.what;
    for (std::size_t i = 0; i < c.tileWidths.size(); ++i) {
        EXPECT_EQ(item.Surfaces()[i]->Width(), c.tileWidths[i]) << c.what << " tile " << i;
        EXPECT_EQ(item.Surfaces()[i]->Height(), c.tileHeights[i]) << c.what << " tile " << i;
    }

    // Every pattern, drawn at (0, 0), shows its own cell of the picture: row-major, with the
    // gaps skipped, whatever tile it lives on.
    const int pw = c.pw > 0 ? c.pw : c.w, ph = c.ph > 0 ? c.ph : c.h;
    const int columns = (c.w + c.sw) / (pw + c.sw);
    for (int i = 0; i < c.patterns; ++i) {
        EXPECT_EQ(item.PatternRect(i).Width(), pw);
        EXPECT_EQ(item.PatternRect(i).Height(), ph);
        f.draw.Fill(kBackground);
        item.Draw(f.draw, 0, 0, i);
        const int left = (i % columns) * (pw + c.sw), top = (i / columns) * (ph + c.sh);
        const Surface& back = f.draw.BackSurface();
        for (int y = 0; y < std::min(ph, back.Height()); ++y) {
            for (int x = 0; x < std::min(pw, back.Width()); ++x) {
                ASSERT_EQ(back.Row(y)[x], IndexPixel(c.w, left + x, top + y))
                    << c.what << " pattern " << i << " at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PatternCutting,
    ::testing::Values(
        CutCase{"whole picture", 30, 20, 0, 0, 0, 0, false, 1, {30}, {20}},
        CutCase{"pattern as large as the picture", 30, 20, 30, 20, 4, 4, false, 1, {30}, {20}},
        CutCase{"100x40 in 20x20", 100, 40, 20, 20, 0, 0, false, 10, {100}, {40}},
        CutCase{"100x40 in 20x20, one surface", 100, 40, 20, 20, 0, 0, true, 10, {100}, {40}},
        CutCase{"95 wide, 20 + gap 5", 95, 20, 20, 20, 5, 0, true, 4, {95}, {20}},
        CutCase{"95 wide, 20 + gap 5, tiled", 95, 20, 20, 20, 5, 0, false, 4, {95}, {20}},
        CutCase{"row and column gaps", 62, 50, 10, 12, 3, 7, true, 15, {62}, {50}},
        CutCase{"row and column gaps, tiled", 62, 50, 10, 12, 3, 7, false, 15, {62}, {50}},
        CutCase{"2000x32 in 100x32 tiles",
                2000,
                32,
                100,
                32,
                0,
                0,
                false,
                20,
                {600, 600, 600, 200},
                {32, 32, 32, 32}},
        CutCase{"tiled downwards", 40, 700, 40, 100, 0, 0, false, 7, {40, 40}, {600, 100}},
        CutCase{"tiled both ways",
                1300,
                700,
                100,
                100,
                0,
                0,
                false,
                91,
                {600, 600, 100, 600, 600, 100},
                {600, 600, 600, 100, 100, 100}}));

TEST(PatternCutting, PatternSevenLiesOnTileOneAtHundred) {
    Fixture f;
    auto& item = f.Items().Add(ItemData(IndexPicture(2000, 32), 100, 32));
    ASSERT_EQ(item.Patterns().size(), 20u);
    EXPECT_EQ(item.Patterns()[7].surface, item.Surfaces()[1].get());
    EXPECT_EQ(item.PatternRect(7), (Rect{100, 0, 200, 32}));
    EXPECT_EQ(item.Patterns()[19].surface, item.Surfaces()[3].get());
    EXPECT_EQ(item.PatternRect(19), (Rect{100, 0, 200, 32}));
    EXPECT_EQ(item.PatternRect(20), Rect{});
    EXPECT_EQ(item.PatternRect(-1), Rect{});
}

TEST(PatternCutting, EmptyPictureHasNoPatternsAndDrawsNothing) {
    Fixture f;
    auto& item = f.Items().Add(ItemData(Picture{}, 10, 10));
    EXPECT_EQ(item.PatternCount(), 0);
    EXPECT_TRUE(item.Surfaces().empty());
    f.draw.Fill(kBackground);
    item.Draw(f.draw, 0, 0, 0);
    EXPECT_EQ(CountOtherThan(f.draw.BackSurface(), kBackground), 0);
}

// ---- drawing through the item ----

TEST(PictureItem, DrawsOnlyExistingPatternsOfAnInitialisedItem) {
    Fixture f;
    auto& item = f.Items().Add(ItemData(IndexPicture(40, 10), 10, 10));
    ASSERT_EQ(item.PatternCount(), 4);
    struct Case {
        int pattern;
        bool draws;
    };
    for (const Case c :
         {Case{-1, false}, Case{0, true}, Case{3, true}, Case{4, false}, Case{1000, false}}) {
        f.draw.Fill(kBackground);
        item.Draw(f.draw, 5, 5, c.pattern);
        EXPECT_EQ(CountOtherThan(f.draw.BackSurface(), kBackground), c.draws ? 100 : 0)
            << "plain " << c.pattern;
        f.draw.Fill(kBackground);
        item.DrawAlpha(f.draw, {20, 20, 40, 40}, c.pattern, 128);
        EXPECT_EQ(CountOtherThan(f.draw.BackSurface(), kBackground) > 0, c.draws)
            << "alpha " << c.pattern;
        f.draw.Fill(kBackground);
        item.DrawRotate(f.draw, 100, 100, 10, 10, c.pattern, 0.5, 0.5, 30);
        EXPECT_EQ(CountOtherThan(f.draw.BackSurface(), kBackground) > 0, c.draws)
            << "rotated " << c.pattern;
    }
    // Alpha and rotation hand the pattern's own rectangle on.
    f.draw.Fill(kBackground);
    item.DrawAlpha(f.draw, {0, 0, 10, 10}, 2, 255);
    item.DrawRotate(f.draw, 50, 50, 10, 10, 3, 0.0, 0.0, 0);
    EXPECT_EQ(f.draw.BackSurface().Row(3)[4], IndexPixel(40, 24, 3));
    EXPECT_EQ(f.draw.BackSurface().Row(53)[54], IndexPixel(40, 34, 3));
}

TEST(PictureItem, TransparentFlagAndNewKeyReachEveryTile) {
    Fixture f;
    // Four tiles of 600 x 32; pixel (x, y) carries the key colour where x % 600 == 7.
    Picture picture = IndexPicture(2000, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 7; x < 2000; x += 600) picture.pixels[y * 2000 + x] = 0x00FF00;
    }
    PictureItemData data = ItemData(std::move(picture), 100, 32);
    data.transparent = true;
    data.transparentColor = 0x0000FF;  // red: nothing of the picture is red
    auto& item = f.Items().Add(std::move(data));
    ASSERT_EQ(item.Surfaces().size(), 4u);

    item.SetTransparentColor(0x00FF00);  // green, 0x00BBGGRR
    for (const auto& s : item.Surfaces()) EXPECT_EQ(s->ColorKey(), 0x07E0);
    for (const int pattern : {0, 6, 12, 18}) {  // the first pattern of each tile
        f.draw.Fill(kBackground);
        item.Draw(f.draw, 0, 0, pattern);
        EXPECT_EQ(f.draw.BackSurface().Row(4)[7], kBackground) << pattern;
        EXPECT_NE(f.draw.BackSurface().Row(4)[8], kBackground) << pattern;
    }
}

TEST(PictureItem, SurvivesADisplayModeSwitch) {
    Fixture f;
    auto& item = f.Items().Add(ItemData(IndexPicture(40, 10), 10, 10));
    ASSERT_EQ(item.Patterns().size(), 4u);

    f.draw.Finalize();
    EXPECT_FALSE(item.Initialized());
    EXPECT_TRUE(item.Patterns().empty());
    EXPECT_TRUE(item.Surfaces().empty());
    EXPECT_EQ(f.Items().Surface(), nullptr);
    item.Draw(f.draw, 0, 0, 1);
    EXPECT_EQ(CountOtherThan(f.draw.BackSurface(), 0), 0) << "nothing drawn while finalised";

    f.draw.SetOptions(f.draw.Options() ^ doFullScreen);
    f.draw.Initialize();
    ASSERT_TRUE(item.Initialized());
    ASSERT_EQ(item.Patterns().size(), 4u);
    f.draw.Fill(kBackground);
    item.Draw(f.draw, 0, 0, 1);
    EXPECT_EQ(f.draw.BackSurface().Row(9)[9], IndexPixel(40, 19, 9));

    // A lost surface is restored through the listeners as well.
    f.draw.MarkLost();
    ASSERT_TRUE(f.draw.CanDraw());
    EXPECT_EQ(item.Patterns().size(), 4u);
}

TEST(PictureItem, ListBoundToAnInitialisedSurfaceIsToldAtOnce) {
    TDXDraw draw(nullptr, nullptr);
    draw.Initialize();
    TDXImageList list;
    list.Items().Add(ItemData(IndexPicture(20, 10), 10, 10));
    EXPECT_FALSE(list.Items().Items(0).Initialized());
    list.SetDXDraw(&draw);
    EXPECT_TRUE(list.Items().Items(0).Initialized());
    EXPECT_EQ(list.Items().Items(0).Patterns().size(), 2u);
    list.SetDXDraw(nullptr);
    EXPECT_FALSE(list.Items().Items(0).Initialized());
}

TEST(PictureItem, SurfaceDestroyedFirstUnbindsTheList) {
    TDXImageList list;
    {
        TDXDraw draw(nullptr, nullptr);
        draw.Initialize();
        list.SetDXDraw(&draw);
        list.Items().Add(ItemData(IndexPicture(20, 10), 10, 10));
    }
    EXPECT_EQ(list.Items().Surface(), nullptr);
    EXPECT_FALSE(list.Items().Items(0).Initialized());
}

// ---- the collection ----

TEST(PictureCollection, IndexOutsideTheListFails) {
    TPictureCollection c;
    c.Add(ItemData(IndexPicture(4, 4), 0, 0));
    c.Add(ItemData(IndexPicture(4, 4), 0, 0));
    EXPECT_NO_THROW(c.Items(1));
    for (const int index : {-1, 2, 100}) {
        try {
            c.Items(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const LibraryError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(PictureCollection, CannotBindToASurfaceThatIsNotInitialised) {
    TDXDraw draw(nullptr, nullptr);
    TPictureCollection c;
    c.Add(ItemData(IndexPicture(4, 4), 0, 0));
    try {
        c.Initialize(draw);
        ADD_FAILURE() << "no error";
    } catch (const LibraryError& e) {
        EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
    }
    EXPECT_FALSE(c.Items(0).Initialized());
    draw.Initialize();
    c.Initialize(draw);
    c.Restore();
    EXPECT_EQ(c.Items(0).Patterns().size(), 1u);
}

// ---- library files ----

// Writes the parts of a picture library file.
class DxgWriter {
public:
    DxgWriter() {
        Byte(0xFF);
        U16(10);
        Text("LIB");
        Byte(0);
        U16(0x1030);
        U32(0);
        Text("TPF0");
        Short("TPictureCollectionComponent");
        Short("");
    }
    void Byte(std::uint8_t b) { out.push_back(b); }
    void U16(std::uint16_t v) { Byte(v & 0xFF), Byte(v >> 8); }
    void U32(std::uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void Text(const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }
    void Short(const std::string& s) { Byte(static_cast<std::uint8_t>(s.size())), Text(s); }
    void Int(const std::string& name, std::int32_t v) { Short(name), Byte(0x04), U32(v); }
    void Bool(const std::string& name, bool v) { Short(name), Byte(v ? 0x09 : 0x08); }
    void Ident(const std::string& name, const std::string& v) { Short(name), Byte(0x07), Short(v); }
    // A 24-bit bottom-up bitmap of the picture as Picture.Data.
    void Dib(const Picture& p) {
        std::vector<std::uint8_t> d;
        auto put32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i) d.push_back((v >> (8 * i)) & 0xFF);
        };
        d.push_back(4);
        for (char ch : std::string("TDIB")) d.push_back(ch);
        put32(40), put32(p.width), put32(p.height);
        d.push_back(1), d.push_back(0), d.push_back(24), d.push_back(0);
        for (int i = 0; i < 6; ++i) put32(0);
        const int rowBytes = (p.width * 3 + 3) / 4 * 4;
        for (int y = p.height - 1; y >= 0; --y) {
            for (int x = 0; x < p.width; ++x) {
                const std::uint32_t c = p.At(x, y);
                d.push_back(c & 0xFF), d.push_back((c >> 8) & 0xFF), d.push_back(c >> 16);
            }
            for (int i = p.width * 3; i < rowBytes; ++i) d.push_back(0);
        }
        Short("Picture.Data");
        Byte(0x0A);
        U32(static_cast<std::uint32_t>(d.size()));
        out.insert(out.end(), d.begin(), d.end());
    }
    std::vector<std::uint8_t> out;
};

std::vector<std::uint8_t> TwoItemLibrary() {
    DxgWriter w;
    w.Short("List");
    w.Byte(0x0E);
    w.Byte(0x01);
    w.Int("PatternWidth", 10);
    w.Int("PatternHeight", 10);
    w.Ident("TransparentColor", "clFuchsia");
    w.Dib(IndexPicture(30, 10));
    w.Byte(0x00);
    w.Byte(0x01);
    w.Bool("Transparent", false);
    w.Bool("SystemMemory", true);
    w.Dib(IndexPicture(7, 5));
    w.Byte(0x00);
    w.Byte(0x00);  // end of the collection
    w.Byte(0x00);  // end of the root's properties
    w.Byte(0x00);  // no children
    return w.out;
}

TEST(PictureCollection, LoadsALibraryAndRestoresOnABoundSurface) {
    Fixture f;
    f.Items().Add(ItemData(IndexPicture(4, 4), 0, 0));  // replaced by the load
    f.Items().LoadFromBytes(TwoItemLibrary());
    ASSERT_EQ(f.Items().Count(), 2);
    auto& first = f.Items().Items(0);
    EXPECT_EQ(first.Data().transparentColor, 0xFF00FFu);
    EXPECT_TRUE(first.Transparent());
    EXPECT_EQ(first.PatternCount(), 3);
    auto& second = f.Items().Items(1);
    EXPECT_FALSE(second.Transparent());
    EXPECT_EQ(second.Width(), 7);
    EXPECT_EQ(second.PatternCount(), 1);
    f.draw.Fill(kBackground);
    first.Draw(f.draw, 0, 0, 2);
    EXPECT_EQ(f.draw.BackSurface().Row(9)[9], IndexPixel(30, 29, 9));
}

TEST(PictureCollection, LoadErrorsKeepTheItemsReadSoFar) {
    const std::vector<std::uint8_t> whole = TwoItemLibrary();
    const std::vector<std::uint8_t> bytes(whole.begin(), whole.end() - 40);  // into item 2's pixels
    TPictureCollection c;
    try {
        c.LoadFromBytes(bytes);
        ADD_FAILURE() << "no error";
    } catch (const LibraryError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    ASSERT_GE(c.Count(), 1);
    EXPECT_EQ(c.Items(0).PatternCount(), 3) << "the first item is whole";

    const std::vector<std::uint8_t> junk = {0xFE, 0x0A, 0x00};
    EXPECT_THROW(c.LoadFromBytes(junk), LibraryError);
    EXPECT_EQ(c.Count(), 0);
}

TEST(PictureCollection, LoadFromFileReadsTheFileOrSaysWhyNot) {
    test::TempDir dir;
    const auto path = dir.Path() / "Res1.dxg";
    const auto bytes = TwoItemLibrary();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    TPictureCollection c;
    c.LoadFromFile(path.string());
    EXPECT_EQ(c.Count(), 2);
    try {
        c.LoadFromFile((dir.Path() / "missing.dxg").string());
        ADD_FAILURE() << "no error";
    } catch (const LibraryError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"", 0), 0u) << e.what();
    }
}

}  // namespace
}  // namespace vrumbal
