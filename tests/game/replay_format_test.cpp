// The replay file: every kind of event, pace and input survives writing and reading, runs of
// unchanged frames stay small, and a file that is damaged, cut off, too large, of another
// format or with values out of range is refused with its reason.
#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "game/replay.h"
#include "platform/compression.h"

namespace vrumbal {
namespace {

// A game of a few frames with one of everything, and events after its last frame.
Replay Sample() {
    Replay r;
    r.gameVersion = "1.0.0";
    r.content.fill(0xA5);
    r.random = {1, 2, 3, 4};
    r.bike = 3;
    r.startLevel = 2;
    r.keyLevels = {1, 0, 0, 1, 0, 0, 0, 1};
    for (int k = 0; k < 10; ++k) r.tableScores[static_cast<std::size_t>(k)] = 10000 - 1000 * k;
    auto event = [&](ReplayEvent::Type type) {
        ReplayEvent e;
        e.type = type;
        return e;
    };
    ReplayEvent ch = event(ReplayEvent::Type::Char);
    ch.ch = 0xD8;
    ch.fit = ReplayEvent::Fit::TooWide;
    ReplayEvent pointer = event(ReplayEvent::Type::Pointer);
    pointer.x = -3;
    pointer.y = 599;
    ReplayEvent open = event(ReplayEvent::Type::OpenDialog);
    open.kind = 5;
    ReplayEvent activate = event(ReplayEvent::Type::Activate);
    activate.kind = 11;
    r.events = {ch,       pointer,
                open,     event(ReplayEvent::Type::CloseDialog),
                activate, event(ReplayEvent::Type::Activate)};
    // 2 frames with events, 1000 unchanged ones, a change of pace and input, 3 more.
    ReplayFrame f;
    f.input = (std::uint64_t{1} << 35) | 1;
    f.lag = 12;
    f.frameMs = 11;
    f.speedFactor = 1.0;
    f.firstEvent = 0;
    f.eventCount = 2;
    r.frames.push_back(f);
    f.firstEvent = 2;
    f.eventCount = 2;
    r.frames.push_back(f);
    f.firstEvent = 4;
    f.eventCount = 0;
    r.frames.insert(r.frames.end(), 1000, f);
    f.frameMs = 16;
    f.speedFactor = 85.0 / 60.0;
    f.lag = 17;
    f.input = 0;
    r.frames.insert(r.frames.end(), 3, f);
    r.trailingEvents = 2;
    r.finished = true;
    r.score = 4321;
    r.level = 3;
    r.name = "\xC8\xE3\xEE\xF0\xFC";
    return r;
}

std::string Bytes(const Replay& r) {
    const auto bytes = EncodeReplay(r);
    return {bytes.begin(), bytes.end()};
}

// The file with its check sum made right again after a change.
std::string Resealed(std::string bytes) {
    const std::uint32_t crc = Crc32(std::string_view(bytes).substr(0, bytes.size() - 4));
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
    return bytes;
}

TEST(ReplayFormat, EverythingComesBackAndUnchangedFramesTakeNoRoom) {
    const Replay sample = Sample();
    const std::string bytes = Bytes(sample);
    Replay read;
    ASSERT_EQ(DecodeReplay(bytes, read), "");
    EXPECT_TRUE(read == sample);
    EXPECT_EQ(read.frames[1000].firstEvent, 4u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(read.frames.back().speedFactor),
              std::bit_cast<std::uint64_t>(85.0 / 60.0));
    // Frames alike cost a run, not a record each: a hundred thousand more add a few bytes.
    Replay longer = sample;
    longer.frames.insert(longer.frames.begin() + 500, 100000, longer.frames[500]);
    EXPECT_LE(Bytes(longer).size(), bytes.size() + 4);
    // Written again, the same bytes.
    EXPECT_EQ(Bytes(read), bytes);
}

TEST(ReplayFormat, DamagedCutOffOversizedOrForeignFilesAreRefusedWithTheirReason) {
    const std::string good = Bytes(Sample());
    // Offsets into the header: magic 8, format 2, flags 2, version length 1, "1.0.0" 5,
    // content 32, random 16; then bike and start level.
    constexpr std::size_t kFormat = 8, kBike = 8 + 2 + 2 + 1 + 5 + 32 + 16;
    auto patched = [&](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return Resealed(bytes);
    };
    std::string flipped = good;
    flipped[kBike + 30] ^= 1;
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a replay"},
        {"another kind of file", "PNG\r\n" + good.substr(5), "not a replay"},
        {"one byte flipped", flipped, "check sum"},
        {"cut off in the frames", good.substr(0, good.size() - 9), "check sum"},
        {"cut off in the header", good.substr(0, 40), "check sum"},
        {"a format of the future", patched(kFormat, 2), "format 2"},
        {"a bike that does not exist", patched(kBike, 6), "bike"},
        {"a start level of 0", patched(kBike + 1, 0), "start level"},
        {"a key level that is neither", patched(kBike + 2, 2), "key level"},
        {"larger than any game", good + std::string(kReplayMaxFileBytes, '\0'), "larger"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Replay read;
        const std::string reason = DecodeReplay(c.bytes, read);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace vrumbal
