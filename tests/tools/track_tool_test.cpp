#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/random.h"
#include "game/race_state.h"
#include "platform/png_file.h"
#include "race/track_generator.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t Int32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[at + 3]) << 24));
}

int RunTool(const std::string& arguments, std::string* output = nullptr) {
    return test::RunCommand(std::string(VRUMBAL_TOOL_PATH) + " " + arguments + " 2>&1", output);
}

constexpr std::size_t kRoadXAt = 975000;
constexpr std::size_t kKindsAt = kRoadXAt + 6000;
constexpr std::size_t kViewAt = kKindsAt + 1502;

TEST(TrackTool, DumpHoldsTheGameGeneratorsTrackForTheSeed) {
    struct Case {
        int level;
        std::uint64_t seed;
        int trackRows;
    };
    for (const Case c : {Case{6, 7, 1300}, Case{2, 12345678901234ull, 500}}) {
        test::TempDir dir;
        const auto dump = dir.Path() / "t.bin";
        ASSERT_EQ(RunTool("track --level " + std::to_string(c.level) + " --seed " +
                          std::to_string(c.seed) + " --dump " + dump.string()),
                  0);
        const std::vector<std::uint8_t> bytes = ReadAll(dump);
        ASSERT_EQ(bytes.size(), 975000u + 6000u + 1502u + 8u);
        EXPECT_EQ(Int32At(bytes, kViewAt), 1478);
        EXPECT_EQ(Int32At(bytes, kViewAt + 4), 318);

        RaceState race;
        race.TrackRows = c.trackRows;
        Random rng(c.seed);
        GenerateTrack(race, rng);
        EXPECT_TRUE(std::equal(race.TrackMap.begin(), race.TrackMap.end(), bytes.begin()));
        for (std::size_t r = 0; r < 1500; ++r) {
            ASSERT_EQ(Int32At(bytes, kRoadXAt + 4 * r), race.RowRoadX[r]) << "row " << r;
        }
        EXPECT_TRUE(std::equal(race.RowSectionKind.begin(), race.RowSectionKind.end(),
                               bytes.begin() + kKindsAt));
    }
}

TEST(TrackTool, SameArgumentsSameBytes) {
    test::TempDir dir;
    const auto a = dir.Path() / "a.bin", b = dir.Path() / "b.bin", c = dir.Path() / "c.bin";
    ASSERT_EQ(RunTool("track --level 3 --seed 99 --dump " + a.string()), 0);
    ASSERT_EQ(RunTool("track --dump " + b.string() + " --seed 99 --level 3"), 0);
    ASSERT_EQ(RunTool("track --level 3 --seed 100 --dump " + c.string()), 0);
    EXPECT_EQ(ReadAll(a), ReadAll(b));
    EXPECT_NE(ReadAll(a), ReadAll(c));
}

TEST(TrackTool, DrawsACroppedPictureEvenWithoutTheTileLibrary) {
    test::TempDir dir;
    const auto png = dir.Path() / "t.png";
    std::string output;
    ASSERT_EQ(RunTool("track --level 1 --seed 3 --png " + png.string() + " --scale 8 --data " +
                          (dir.Path() / "nothing").string(),
                      &output),
              0)
        << output;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(ReadPng(png.string(), width, height, pixels));
    // A level-1 track grows 300 rows (and the start block's 40); the crop keeps it and a margin,
    // far less than the whole map.
    EXPECT_GE(height, 300 * 9);
    EXPECT_LE(height, 320 * 9);
    EXPECT_GE(width, 8 * 9);
    EXPECT_LT(width, 650 * 9 / 4);
}

TEST(TrackTool, RefusesBadArguments) {
    for (const char* args :
         {"track --seed 1", "track --level 1", "track --level 0 --seed 1",
          "track --level 11 --seed 1", "track --level 1 --seed x", "track --level 1 --seed -4",
          "track --level 1 --seed 1 --scale 0", "track --level 1 --seed 1 --bogus"}) {
        EXPECT_NE(RunTool(args), 0) << args;
    }
}

}  // namespace
}  // namespace vrumbal
