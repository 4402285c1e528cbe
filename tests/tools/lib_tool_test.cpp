// The developer tool's library commands, run as a program: lib-build, lib-list, lib-extract.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/stream_builders.h"
#include "engine/wave_file.h"
#include "platform/png_file.h"
#include "support/test_support.h"

namespace vrumbal::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ReadFileBytes(path.string(), bytes), "") << path;
    return bytes;
}

std::string Tool(const std::string& arguments, std::string* out, const fs::path& errFile) {
    return std::to_string(RunCommand(
        std::string(VRUMBAL_TOOL_PATH) + " " + arguments + " 2>" + errFile.string(), out));
}

std::string Text(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LibTool, PictureLibraryBuildListExtract) {
    TempDir dir;
    const fs::path d = dir.Path();
    const Picture car = Pattern(8, 6, 3), road = Pattern(5, 3, 8);
    ASSERT_TRUE(WritePng((d / "car.png").string(), car.width, car.height, car.pixels));
    ASSERT_TRUE(WritePng((d / "road.png").string(), road.width, road.height, road.pixels));
    WriteText(d / "pictures.txt",
              "# three pictures\n"
              "library picture\n"
              "item car\n"
              "png car.png\n"
              "pattern 4 3\n"
              "key clFuchsia\n"
              "\n"
              "item road tiles\n"
              "  png road.png\n"
              "pattern 2 3\r\n"
              "skip 1 0\n"
              "transparent 0\n"
              "key 102030\n"
              "sysmem 1\n"
              "item empty\n");
    const fs::path lib = d / "res.dxg", err = d / "err.txt";
    ASSERT_EQ(Tool("lib-build " + (d / "pictures.txt").string() + " " + lib.string(), nullptr, err),
              "0")
        << Text(err);

    std::string listing;
    ASSERT_EQ(Tool("lib-list " + lib.string(), &listing, err), "0") << Text(err);
    EXPECT_EQ(listing,
              "item=0\tname=car\tpicture=8x6\tpattern=4x3\tskip=0x0\tcount=4\ttransparent=1\t"
              "key=ff00ff\tsysmem=0\n"
              "item=1\tname=road tiles\tpicture=5x3\tpattern=2x3\tskip=1x0\tcount=2\t"
              "transparent=0\tkey=102030\tsysmem=1\n"
              "item=2\tname=empty\tpicture=0x0\tpattern=0x0\tskip=0x0\tcount=0\ttransparent=1\t"
              "key=000000\tsysmem=0\n");

    PictureLibraryData data;
    ASSERT_EQ(ReadPictureLibrary(FileBytes(lib), data), "");
    ASSERT_EQ(data.items.size(), 3u);
    EXPECT_EQ(data.items[1].transparentColor, 0x302010u);  // red in the low byte

    ASSERT_EQ(Tool("lib-extract " + lib.string() + " " + (d / "out").string(), nullptr, err), "0")
        << Text(err);
    for (const auto& [index, picture] : {std::pair{0, car}, std::pair{1, road}}) {
        int w = 0, h = 0;
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(ReadPng((d / "out" / (std::to_string(index) + ".png")).string(), w, h, pixels));
        EXPECT_EQ(w, picture.width);
        EXPECT_EQ(h, picture.height);
        EXPECT_EQ(pixels, picture.pixels);
    }
    EXPECT_FALSE(fs::exists(d / "out" / "2.png"));

    // Building again gives the same bytes.
    const fs::path again = d / "again.dxg";
    ASSERT_EQ(
        Tool("lib-build " + (d / "pictures.txt").string() + " " + again.string(), nullptr, err),
        "0");
    EXPECT_EQ(FileBytes(again), FileBytes(lib));

    // A damaged library lists what was read, then fails with the load error.
    auto bytes = FileBytes(lib);
    bytes.pop_back();
    WriteFile(d / "cut.dxg", bytes);
    listing.clear();
    EXPECT_EQ(Tool("lib-list " + (d / "cut.dxg").string(), &listing, err), "1");
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3);
    EXPECT_EQ(Text(err), "Stream read error\n");
}

TEST(LibTool, SoundLibraryBuildListExtract) {
    TempDir dir;
    const fs::path d = dir.Path();
    const auto crash = WriteWave(PcmFormat(22050), std::vector<std::uint8_t>(10, 7));
    const auto loop =
        WriteWave(PcmFormat(44100, 2, 8), std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6});
    WriteFile(d / "crash.wav", crash);
    WriteFile(d / "loop.wav", loop);
    WriteText(d / "sounds.txt",
              "library sound\n"
              "item crash\n"
              "wav crash.wav\n"
              "maxplaying 2\n"
              "item loop\n"
              "wav loop.wav\n"
              "looped 1\n"
              "item none\n");
    // The extension does not decide: the root class does.
    const fs::path lib = d / "sounds.bin", err = d / "err.txt";
    ASSERT_EQ(Tool("lib-build " + (d / "sounds.txt").string() + " " + lib.string(), nullptr, err),
              "0")
        << Text(err);
    std::string listing;
    ASSERT_EQ(Tool("lib-list " + lib.string(), &listing, err), "0") << Text(err);
    EXPECT_EQ(listing,
              "item=0\tname=crash\tlooped=0\tmaxplaying=2\tformat=1\tchannels=1\trate=22050\t"
              "bits=16\tbytes=10\n"
              "item=1\tname=loop\tlooped=1\tmaxplaying=0\tformat=1\tchannels=2\trate=44100\t"
              "bits=8\tbytes=6\n"
              "item=2\tname=none\tlooped=0\tmaxplaying=0\tformat=0\tchannels=0\trate=0\tbits=0\t"
              "bytes=0\n");
    ASSERT_EQ(Tool("lib-extract " + lib.string() + " " + (d / "out").string(), nullptr, err), "0")
        << Text(err);
    EXPECT_EQ(FileBytes(d / "out" / "0.wav"), crash);
    EXPECT_EQ(FileBytes(d / "out" / "1.wav"), loop);
    EXPECT_FALSE(fs::exists(d / "out" / "2.wav"));
}

TEST(LibTool, Failures) {
    TempDir dir;
    const fs::path d = dir.Path(), err = d / "err.txt";
    struct Case {
        const char* label;
        std::string manifest;
        std::string error;  // start of the message after "MANIFEST:"
    };
    const std::vector<Case> cases = {
        {"no library", "item a\n", "1: the first statement must be library picture|sound"},
        {"bad kind", "library music\n", "1: library must be picture or sound"},
        {"property before item", "library picture\npattern 1 1\n",
         "2: 'pattern' before the first item"},
        {"bad numbers", "library picture\nitem a\npattern 1\n", "3: pattern W H"},
        {"bad key", "library picture\nitem a\nkey 12345\n", "3: key RRGGBB or a colour name"},
        {"sound statement in pictures", "library picture\nitem a\nlooped 1\n",
         "3: unknown picture statement 'looped'"},
        {"missing png", "library picture\nitem a\npng nothing.png\n", "3: cannot read PNG"},
        {"missing wav", "library sound\nitem a\nwav nothing.wav\n", "3: Cannot open file"},
    };
    for (const auto& c : cases) {
        WriteText(d / "m.txt", c.manifest);
        EXPECT_EQ(
            Tool("lib-build " + (d / "m.txt").string() + " " + (d / "x").string(), nullptr, err),
            "1")
            << c.label;
        EXPECT_EQ(Text(err).rfind((d / "m.txt").string() + ":" + c.error, 0), 0u)
            << c.label << ": " << Text(err);
    }
    // An unreadable file, and garbage whose kind falls back on the extension.
    EXPECT_EQ(Tool("lib-list " + (d / "missing.dxg").string(), nullptr, err), "1");
    EXPECT_EQ(Text(err), "Cannot open file \"" + (d / "missing.dxg").string() +
                             "\". No such file or directory\n");
    WriteText(d / "junk.dxw", "junk");
    std::string listing;
    EXPECT_EQ(Tool("lib-list " + (d / "junk.dxw").string(), &listing, err), "1");
    EXPECT_EQ(listing, "");
    EXPECT_EQ(Text(err), "Invalid stream format\n");
    // The manifest format is part of the help.
    std::string help;
    RunCommand(std::string(VRUMBAL_TOOL_PATH) + " --help 2>&1", &help);
    EXPECT_NE(help.find("library picture|sound"), std::string::npos);
}

}  // namespace
}  // namespace vrumbal::test
