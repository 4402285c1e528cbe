// vrumbal-tool sheet on the built libraries, on a damaged one and on a missing one; and the
// content build giving the same bytes twice.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "assets/built_content.h"
#include "engine/library_reader.h"
#include "platform/png_file.h"

namespace vrumbal::test {
namespace {

namespace fs = std::filesystem;

class Sheet : public BuiltContent {
protected:
    static int Run(const std::string& arguments) {
        return RunCommand(std::string(VRUMBAL_TOOL_PATH) + " sheet " + arguments + " 2>/dev/null");
    }
};

// The sheet lays items out from its top left corner at (10, 10), each under a 14-pixel
// label, its patterns inside a one-pixel outline: the first pattern's pixels start at
// (x + 1, 25). Menu library: item 0 (4 x 4) is blown up three times in a cell as wide as its
// label "#0 4x4" (48), so the opaque 800 x 600 background, item 1, starts at (69, 25) at its
// own size. Minimap library: item 0, a 10 x 15 mark, is blown up three times at (11, 25),
// its keyed pixels on the checker.
TEST_F(Sheet, DrawsEveryBuiltLibraryItemsPixelsInPlace) {
    TempDir out;
    struct Case {
        const char* library;
        int list;       // which built library
        int item;       // the item looked at
        int left;       // where its first pattern starts
        int scale;      // how many times it is blown up
        int minHeight;  // the sheet's height at least: the tallest item and its label
    };
    for (const Case& c : {Case{"Res1.dxg", 1, 1, 69, 1, 600}, Case{"Res3.dxg", 3, 0, 11, 3, 46}}) {
        SCOPED_TRACE(c.library);
        const fs::path png = out.Path() / (std::string(c.library) + ".png");
        ASSERT_EQ(Run((Folder() / "Data/Res" / c.library).string() + " " + png.string()), 0);
        int width = 0, height = 0;
        std::vector<std::uint32_t> sheet;
        ASSERT_TRUE(ReadPng(png.string(), width, height, sheet));
        EXPECT_EQ(width, 1280);
        EXPECT_GT(height, c.minHeight);
        EXPECT_LT(height, 8000);
        const PictureItemData& item = Library(c.list).data.items[c.item];
        const Picture& picture = item.picture;
        ASSERT_GE(height, 25 + picture.height * c.scale + 1);
        // The colour key as the pictures hold their pixels (0x00RRGGBB).
        const std::uint32_t k = item.transparentColor;
        const std::uint32_t key = (k & 0xFF) << 16 | (k & 0xFF00) | (k >> 16 & 0xFF);
        int wrong = 0, keyed = 0;
        for (int y = 0; y < picture.height * c.scale; ++y) {
            for (int x = 0; x < picture.width * c.scale; ++x) {
                const int sx = c.left + x, sy = 25 + y;
                std::uint32_t want = picture.At(x / c.scale, y / c.scale);
                if (item.transparent && want == key) {
                    ++keyed;
                    want = ((sx / 6 + sy / 6) % 2 == 0) ? 0xC4C4C4u : 0x969696u;
                }
                if (sheet[static_cast<std::size_t>(sy) * width + sx] != want) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(keyed > 0, item.transparent);
        // The outline round the first pattern.
        EXPECT_EQ(sheet[24 * static_cast<std::size_t>(width) + c.left - 1], 0x00D8FFu);
    }
}

TEST_F(Sheet, ADamagedLibraryStillGivesASheetButFails) {
    TempDir out;
    const std::vector<std::uint8_t>& bytes = Library(1).bytes;
    const fs::path damaged = out.Path() / "damaged.dxg";
    {
        std::ofstream file(damaged, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size() / 2));
    }
    const fs::path png = out.Path() / "damaged.png";
    EXPECT_NE(Run(damaged.string() + " " + png.string()), 0);
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    EXPECT_TRUE(ReadPng(png.string(), width, height, pixels));
}

TEST_F(Sheet, RefusesAMissingLibraryAndWrongArguments) {
    TempDir out;
    const fs::path png = out.Path() / "none.png";
    EXPECT_NE(Run((out.Path() / "missing.dxg").string() + " " + png.string()), 0);
    EXPECT_FALSE(fs::exists(png));
    EXPECT_NE(Run(png.string()), 0);
}

TEST_F(Sheet, TheContentBuildIsReproducible) {
    TempDir again;
    ASSERT_EQ(BuildContent(again.Path()), 0);
    // Every file the game reads, pictures, sounds and songs alike.
    for (const char* name :
         {"Res/Res1.dxg", "Res/Res2.dxg", "Res/Res3.dxg", "Res/Sounds.dxw", "Res/en/Res1.dxg",
          "Res/en/Res2.dxg", "Res/en/Res3.dxg", "Music/Menu.xm", "Music/Race.xm"}) {
        std::vector<std::uint8_t> first, second;
        ASSERT_EQ(ReadFileBytes((Folder() / "Data" / name).string(), first), "");
        ASSERT_EQ(ReadFileBytes((again.Path() / "Data" / name).string(), second), "");
        EXPECT_TRUE(first == second) << name << " differs between two builds";
    }
}

}  // namespace
}  // namespace vrumbal::test
