// vrumbal-tool sheet on the built libraries, on a damaged one and on a missing one; and the
// content build giving the same bytes twice.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/library_reader.h"
#include "menu_art/built_content.h"
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

TEST_F(Sheet, DrawsEveryBuiltLibrary) {
    TempDir out;
    struct Case {
        const char* library;
        int minHeight;  // the tallest item and its label at least
    };
    for (const Case& c : {Case{"Res1.dxg", 600}, Case{"Res3.dxg", 46}}) {
        const fs::path png = out.Path() / (std::string(c.library) + ".png");
        ASSERT_EQ(Run((Folder() / "Data/Res" / c.library).string() + " " + png.string()), 0)
            << c.library;
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(ReadPng(png.string(), width, height, pixels)) << c.library;
        EXPECT_EQ(width, 1280);
        EXPECT_GT(height, c.minHeight);
        EXPECT_LT(height, 8000);
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
    for (const char* name : {"Res/Res1.dxg", "Res/Res2.dxg", "Res/Res3.dxg", "Res/Sounds.dxw",
                             "Music/Menu.xm", "Music/Race.xm"}) {
        std::vector<std::uint8_t> first, second;
        ASSERT_EQ(ReadFileBytes((Folder() / "Data" / name).string(), first), "");
        ASSERT_EQ(ReadFileBytes((again.Path() / "Data" / name).string(), second), "");
        EXPECT_TRUE(first == second) << name << " differs between two builds";
    }
}

}  // namespace
}  // namespace vrumbal::test
