// A recorded game: how it started, what every frame was given (its input, its lag and pace,
// the player's typing and pointing), and the result it claims; and its file format.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/digest.h"

namespace vrumbal {

// The replay file's format version this game writes and reads.
inline constexpr std::uint16_t kReplayFormat = 1;
// The largest replay file read: a ten-minute game takes a few KiB.
inline constexpr std::size_t kReplayMaxFileBytes = 256 * 1024;
// The most frames a replay may hold: six hours at 85 frames a second.
inline constexpr std::uint32_t kReplayMaxFrames = 2'000'000;
// The longest game version and name a replay carries, in bytes.
inline constexpr std::size_t kReplayMaxVersionBytes = 32;
inline constexpr std::size_t kReplayMaxNameBytes = 32;

// What reached the game between two frames, or at the start of one, and acts on it.
struct ReplayEvent {
    enum class Type : std::uint8_t {
        Char = 0x10,         // a typed character (code page 1251), as the key press gives it
        Pointer = 0x11,      // the pointer moved to (x, y) of the frame
        Activate = 0x12,     // a click or Enter activated an entry (kind: its number; 0: the one
                             // selected)
        OpenDialog = 0x13,   // a dialog opened from outside the frame (pause, exit question)
        CloseDialog = 0x14,  // the open dialog closed from outside the frame
    };
    // Whether a typed character fitted the width of the name it was typed into: the width is
    // the font's, which a re-run without fonts cannot measure, so the answer is kept.
    enum class Fit : std::uint8_t { NotAsked = 0, Fits = 1, TooWide = 2 };

    Type type = Type::Char;     // what happened
    std::uint8_t ch = 0;        // Char: the character
    Fit fit = Fit::NotAsked;    // Char: the width answer the name entry got
    std::int32_t x = 0, y = 0;  // Pointer: where
    std::uint8_t kind = 0;      // OpenDialog: the dialog kind; Activate: the entry (0: selected)

    bool operator==(const ReplayEvent&) const = default;
};

// What one frame was given.
struct ReplayFrame {
    std::uint64_t input = 0;       // the input states as the frame read them, bit n = state n
    std::int32_t lag = 1;          // milliseconds since the previous frame (LagCount)
    std::int32_t frameMs = 15;     // FrameMs the frame ran with
    double speedFactor = 1.0;      // SpeedFactor the frame ran with
    std::uint32_t firstEvent = 0;  // its events (before it runs): Replay::events from here
    std::uint32_t eventCount = 0;  // and how many

    bool operator==(const ReplayFrame&) const = default;
};

// A whole recorded game.
struct Replay {
    // How the game started.
    std::string gameVersion;                     // the game's version that recorded it
    Digest content{};                            // the digest of the content it ran on
    std::array<std::uint32_t, 4> random{};       // the random generator's state at the start
    std::uint8_t bike = 1;                       // SelectedBike, 1..5
    std::uint8_t startLevel = 1;                 // the level the race started at, 1..10
    std::array<std::uint8_t, 8> keyLevels{};     // the key levels before the first frame
    std::array<std::int32_t, 10> tableScores{};  // the local table's scores, best first

    // What happened.
    std::vector<ReplayFrame> frames;   // every frame of the game, in order
    std::vector<ReplayEvent> events;   // the frames' events, in order, then the trailing ones
    std::uint32_t trailingEvents = 0;  // events after the last frame (an answer that ended it)

    // The result it claims.
    bool finished = false;   // the game reached its end (not cut off by quitting)
    std::int32_t score = 0;  // the final score
    std::int32_t level = 1;  // the level reached
    std::string name;        // the name typed into the table (code page 1251), or empty

    bool operator==(const Replay&) const = default;
};

// The replay's file bytes: a header, the frames packed (runs of unchanged frames, then
// deflated), and a CRC-32 of everything before it. The layout is in the README.
std::vector<std::uint8_t> EncodeReplay(const Replay& replay);
// Reads a replay file's bytes into out; returns "" or why it cannot be read (damaged,
// truncated, oversized, an unknown format version, values out of range).
std::string DecodeReplay(std::string_view bytes, Replay& out);

}  // namespace vrumbal
