// Runs the built game and developer tool as programs: start-up failures, scripted runs with
// traces and shots.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "engine/library_writer.h"
#include "platform/png_file.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A Data folder whose first picture library holds a 60 x 40 picture of one colour.
void WriteData(const std::filesystem::path& root) {
    PictureLibraryData pictures;
    PictureItemData item;
    item.picture.width = 60;
    item.picture.height = 40;
    item.picture.pixels.assign(60 * 40, 0x0000FF00u);
    pictures.items.push_back(item);
    const auto res = root / "Data" / "Res";
    WriteFile(res / "Res1.dxg", WritePictureLibrary(pictures));
    WriteFile(res / "Res2.dxg", WritePictureLibrary(pictures));
    WriteFile(res / "Res3.dxg", WritePictureLibrary(pictures));
    WriteFile(res / "Sounds.dxw", WriteWaveLibrary(WaveLibraryData{}));
}

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value of a field of a one-line JSON object, as written ("" when it is missing).
std::string Field(const std::string& line, const std::string& key) {
    const std::string name = "\"" + key + "\":";
    const auto at = line.find(name);
    if (at == std::string::npos) return "";
    const auto start = at + name.size();
    const auto end = line.find_first_of(",}", start);
    return line.substr(start, end - start);
}

std::string Quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

TEST(GameProgramTest, WithoutDataItReportsTheMissingLibraryAndFails) {
    test::TempDir dir;
    // A copy of the game with no Data beside it and none in the working directory.
    std::filesystem::copy_file(VRUMBAL_GAME_PATH, dir.Path() / "vrumbal");
    std::string output;
    const int status =
        test::RunCommand("cd " + Quote(dir.Path()) +
                             " && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + "./vrumbal 2>&1",
                         &output);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("Cannot open file \""), std::string::npos) << output;
    EXPECT_NE(output.find("Res1.dxg"), std::string::npos) << output;
}

TEST(PlayToolTest, ScriptedRunWritesTraceAndShots) {
    test::TempDir dir;
    WriteData(dir.Path());
    std::ofstream(dir.Path() / "script.txt") << "# walk the menu, then look\n"
                                                "5 key tap Down\n"
                                                "8 key tap Down\n"
                                                "9 shot menu\n"
                                                "200 key tap Up\n";
    std::string output;
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data " +
                                Quote(dir.Path()) + " --fps 60 --refresh 60 --frames 150" +
                                " --script " + Quote(dir.Path() / "script.txt") + " --trace " +
                                Quote(dir.Path() / "trace.jsonl") + " --shots " +
                                Quote(dir.Path() / "shots") + " 2>&1";
    ASSERT_EQ(test::RunCommand(command, &output), 0) << output;
    const auto lines = Lines(dir.Path() / "trace.jsonl");
    ASSERT_EQ(lines.size(), 150u);
    // Each line is one object of its frame's values, whatever the order of its fields.
    for (std::size_t f = 0; f < lines.size(); ++f) {
        ASSERT_EQ(Field(lines[f], "frame"), std::to_string(f)) << lines[f];
    }
    EXPECT_EQ(Field(lines[0], "ScreenKind"), "1");
    EXPECT_EQ(Field(lines[4], "MenuSelection"), "1");
    EXPECT_EQ(Field(lines[5], "MenuSelection"), "2");
    EXPECT_EQ(Field(lines[8], "MenuSelection"), "3");
    // Sixty frames a second on a sixty-hertz display: the pace of 85 / 60.
    EXPECT_DOUBLE_EQ(std::stod(Field(lines[149], "SpeedFactor")), 85.0 / 60.0);
    EXPECT_EQ(Field(lines[149], "FrameMs"), "16");
    EXPECT_EQ(Field(lines[149], "MeasuredFrameRate"), "60");
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(ReadPng((dir.Path() / "shots" / "menu.png").string(), width, height, pixels));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
}

TEST(PlayToolTest, AShotIsTheFrameItWasTakenAfter) {
    // On the built content: the menu's pictures, its selection moved between two shots.
    test::TempDir dir;
    test::LinkBuiltData(dir.Path());
    std::ofstream(dir.Path() / "script.txt") << "300 shot first\n301 key tap Down\n"
                                                "340 shot second\n";
    std::string output;
    ASSERT_EQ(
        test::RunCommand(std::string(VRUMBAL_TOOL_PATH) + " play --data " + Quote(dir.Path()) +
                             " --frames 341 --script " + Quote(dir.Path() / "script.txt") +
                             " --shots " + Quote(dir.Path() / "shots") + " 2>&1",
                         &output),
        0)
        << output;
    std::vector<std::vector<std::uint32_t>> shots;
    for (const char* name : {"first", "second"}) {
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(ReadPng((dir.Path() / "shots" / (std::string(name) + ".png")).string(), width,
                            height, pixels));
        ASSERT_EQ(pixels.size(), 800u * 600u);
        // A frame of the game's art, not an empty or a one-colour picture.
        const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_GT(colours.size(), 500u) << name;
        shots.push_back(std::move(pixels));
    }
    // The highlight moved from the first button to the second (it takes a few frames to): the
    // frames differ there, and only in the menu's column, left of x 300.
    std::size_t changed = 0, changedRight = 0;
    for (std::size_t i = 0; i < shots[0].size(); ++i) {
        if (shots[0][i] == shots[1][i]) continue;
        ++changed;
        if (i % 800 >= 300) ++changedRight;
    }
    EXPECT_GT(changed, 1000u);
    EXPECT_EQ(changedRight, 0u);
}

TEST(PlayToolTest, QuittingEndsTheRunEarly) {
    test::TempDir dir;
    WriteData(dir.Path());
    std::ofstream(dir.Path() / "script.txt") << "10 close\n12 key tap Y\n";
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data " +
                                Quote(dir.Path()) + " --frames 500 --script " +
                                Quote(dir.Path() / "script.txt") + " --trace " +
                                Quote(dir.Path() / "trace.jsonl") + " 2>&1";
    std::string output;
    ASSERT_EQ(test::RunCommand(command, &output), 0) << output;
    const auto lines = Lines(dir.Path() / "trace.jsonl");
    ASSERT_EQ(lines.size(), 13u);  // frame 12 answered the question and the game quit
    EXPECT_NE(lines[10].find("\"DialogKind\":1,"), std::string::npos) << lines[10];
}

// A long run stopped from outside (a CI time-out, a desktop session ending, a terminal
// closed) ends at once and in order: the save files are written, as the game writes them.
TEST(PlayToolTest, TerminationSignalsEndALongRunInOrder) {
    std::string table;
    for (int score = 10000; score >= 1000; score -= 1000) {
        table += "\xC7\xF3\xEC\xEE\r\n" + std::to_string(score) + "\r\n";
    }
    for (const char* signal : {"TERM", "INT", "HUP"}) {
        SCOPED_TRACE(signal);
        test::TempDir dir;
        WriteData(dir.Path());
        std::filesystem::create_directories(dir.Path() / "Data" / "Save");
        // The signal comes once the run is under way; killed outright should it be ignored.
        const std::string polls =
            std::to_string(test::Patience(std::chrono::seconds(20)).count() / 50);
        const std::string grace =
            std::to_string(test::Patience(std::chrono::seconds(10)).count() / 1000);
        const std::string command =
            "cd " + Quote(dir.Path()) + " && (" + VRUMBAL_TOOL_PATH +
            " play --data . --frames 1000000000 --trace trace.jsonl 2>&1 & pid=$!; n=0;" +
            " while [ ! -s trace.jsonl ] && [ $n -lt " + polls +
            " ]; do sleep 0.05; n=$((n+1)); done;" + " kill -" + signal + " $pid; (sleep " + grace +
            "; kill -KILL $pid) >/dev/null 2>&1 & w=$!;" +
            " wait $pid; s=$?; kill $w 2>/dev/null; exit $s)";
        std::string output;
        EXPECT_EQ(test::RunCommand(command, &output), 0) << output;
        const auto save = dir.Path() / "Data" / "Save";
        EXPECT_EQ(ReadBytes(save / "options"),
                  "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n4\xDE\x98\xAC\r\n");
        EXPECT_EQ(ReadBytes(save / "hs"), table);
        // Nothing else (but the table's replay index) is left in the folder, and nothing was
        // opened on the way out.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(save),
                                std::filesystem::directory_iterator()),
                  3);
        EXPECT_EQ(output.find("open:"), std::string::npos) << output;
    }
}

// Events of one frame all come before it: a key pressed and let go there is still a press.
TEST(PlayToolTest, AKeyDownAndUpOnOneFrameIsAPress) {
    test::TempDir dir;
    WriteData(dir.Path());
    std::ofstream(dir.Path() / "script.txt") << "150 key down Down\n150 key up Down\n";
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data " +
                                Quote(dir.Path()) + " --frames 152 --script " +
                                Quote(dir.Path() / "script.txt") + " --trace " +
                                Quote(dir.Path() / "trace.jsonl") + " 2>&1";
    std::string output;
    ASSERT_EQ(test::RunCommand(command, &output), 0) << output;
    const auto lines = Lines(dir.Path() / "trace.jsonl");
    ASSERT_EQ(lines.size(), 152u);
    EXPECT_NE(lines[149].find("\"MenuSelection\":1,"), std::string::npos) << lines[149];
    EXPECT_NE(lines[150].find("\"MenuSelection\":2,"), std::string::npos) << lines[150];
    EXPECT_NE(lines[151].find("\"MenuSelection\":2,"), std::string::npos) << lines[151];
    // The menu shows the pointer.
    EXPECT_NE(lines[151].find("\"SystemCursor\":1"), std::string::npos) << lines[151];
}

TEST(PlayToolTest, AScriptedControllerComesThroughSdlAsAPluggedInOneWould) {
    test::TempDir dir;
    WriteData(dir.Path());
    std::ofstream(dir.Path() / "script.txt")
        << "10 pad connect\n150 pad tap dpdown\n160 pad axis lefty 32767\n161 pad axis lefty 0\n"
           "170 pad disconnect\n";
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data " +
                                Quote(dir.Path()) + " --frames 175 --script " +
                                Quote(dir.Path() / "script.txt") + " --trace " +
                                Quote(dir.Path() / "trace.jsonl") + " 2>&1";
    std::string output;
    ASSERT_EQ(test::RunCommand(command, &output), 0) << output;
    const auto lines = Lines(dir.Path() / "trace.jsonl");
    ASSERT_EQ(lines.size(), 175u);
    EXPECT_NE(lines[9].find("\"Pads\":0,"), std::string::npos) << lines[9];
    EXPECT_NE(lines[10].find("\"Pads\":1,"), std::string::npos) << lines[10];
    EXPECT_NE(lines[149].find("\"MenuSelection\":1,"), std::string::npos) << lines[149];
    EXPECT_NE(lines[150].find("\"MenuSelection\":2,"), std::string::npos) << lines[150];
    EXPECT_NE(lines[160].find("\"MenuSelection\":3,"), std::string::npos) << lines[160];
    EXPECT_NE(lines[170].find("\"Pads\":0,"), std::string::npos) << lines[170];
    // No race, no rumble.
    EXPECT_NE(lines[174].find("\"Rumble\":0,\"RumbleFrame\":0"), std::string::npos) << lines[174];
}

TEST(PlayToolTest, BadArgumentsAndStartUpFailuresFail) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "bad.txt") << "1 key tap Nope\n";
    std::ofstream(dir.Path() / "button.txt") << "1 pad tap nope\n";
    std::ofstream(dir.Path() / "axis.txt") << "1 pad axis lefty 40000\n";
    std::ofstream(dir.Path() / "verb.txt") << "1 pad wiggle\n";
    const struct {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"--data " + Quote(dir.Path()), 1, "Cannot open file"},
        {"--fps 0", 1, "--fps needs a number"},
        {"--level 11", 1, "--level needs a number"},
        {"--frames", 1, "--frames needs a value"},
        {"--script " + Quote(dir.Path() / "bad.txt"), 1, "line 1: unknown key"},
        {"--script " + Quote(dir.Path() / "button.txt"), 1, "unknown controller button 'nope'"},
        {"--script " + Quote(dir.Path() / "axis.txt"), 1, "VALUE in -32768..32767"},
        {"--script " + Quote(dir.Path() / "verb.txt"), 1, "pad needs connect"},
        {"--script " + Quote(dir.Path() / "missing.txt"), 1, "cannot read"},
        {"--wat", 1, "unknown option"},
    };
    for (const auto& c : cases) {
        std::string output;
        const int status =
            test::RunCommand(std::string(VRUMBAL_TOOL_PATH) + " play " + c.args + " 2>&1", &output);
        EXPECT_EQ(status, c.status) << c.args;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.args << ": " << output;
    }
}

// Every verb's --help is its usage on standard output; an option it does not know is refused
// with the usage on standard error.
TEST(PlayToolTest, EveryVerbTellsItsUsage) {
    const std::string tool = VRUMBAL_TOOL_PATH;
    for (const std::string verb :
         {"lib-list", "lib-extract", "lib-build", "sheet", "play", "track", "submit"}) {
        std::string out;
        EXPECT_EQ(test::RunCommand(tool + " " + verb + " --help 2>/dev/null", &out), 0) << verb;
        EXPECT_EQ(out.rfind("usage: vrumbal-tool " + verb + " ", 0), 0u) << verb << ": " << out;
        std::string err;
        EXPECT_EQ(test::RunCommand(tool + " " + verb + " --wat 2>&1 >/dev/null", &err), 1) << verb;
        EXPECT_NE(err.find("unknown option --wat\nusage: vrumbal-tool " + verb + " "),
                  std::string::npos)
            << verb << ": " << err;
    }
}

}  // namespace
}  // namespace vrumbal
