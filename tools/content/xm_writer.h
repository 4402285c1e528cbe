#pragma once
// Writes extended tracker modules (XM, format version 1.04): the header with its order table,
// packed patterns and instruments with envelopes and delta-encoded 8- or 16-bit samples.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrumbal::content {

// The note value that releases a playing note.
inline constexpr std::uint8_t kXmKeyOff = 97;
// The highest playable note value (B-7); 1 is C-0.
inline constexpr std::uint8_t kXmLastNote = 96;

// One note slot of a pattern; zero fields are empty.
struct XmCell {
    std::uint8_t note = 0;        // 1..96 (1 = C-0), kXmKeyOff, 0 = none
    std::uint8_t instrument = 0;  // 1-based, 0 = none
    std::uint8_t volume = 0;      // volume column: 0x10..0x50 sets the volume 0..64
    std::uint8_t effect = 0;      // effect command
    std::uint8_t param = 0;       // effect parameter
};

// A pattern: rows x channels cells, row-major.
class XmPattern final {
public:
    // An empty pattern of the given rows (1..256) for the given channels.
    XmPattern(int rows, int channels);
    // Number of rows.
    int Rows() const { return rows_; }
    // Number of channels.
    int Channels() const { return channels_; }
    // The cell at a row and channel; throws std::out_of_range outside the pattern.
    XmCell& At(int row, int channel);
    // The cell at a row and channel; throws std::out_of_range outside the pattern.
    const XmCell& At(int row, int channel) const;

private:
    int rows_;                   // 1..256
    int channels_;               // channels of the module
    std::vector<XmCell> cells_;  // rows_ x channels_
};

// An envelope of up to 12 points (tick, value 0..64); it is on when it has points.
struct XmEnvelope {
    struct Point {
        std::uint16_t tick = 0;   // ticks since the note started; rising from point to point
        std::uint16_t value = 0;  // 0..64 (volume) or 0..64 around 32 (panning)
    };
    std::vector<Point> points;              // at most 12
    std::optional<std::uint8_t> sustain;    // point held until the note is released
    std::optional<std::uint8_t> loopStart;  // loop between these points (both or neither)
    std::optional<std::uint8_t> loopEnd;
};

// How a sample repeats.
enum class XmLoop : std::uint8_t { kNone = 0, kForward = 1, kPingPong = 2 };

// One sample of an instrument. Lengths and loop positions count samples, not bytes.
struct XmSample {
    std::string name;                // up to 22 characters
    std::vector<std::int16_t> data;  // the wave; stored rounded to 8 bits when eightBit
    bool eightBit = false;           // store 8-bit deltas instead of 16-bit ones
    XmLoop loop = XmLoop::kNone;     // repeat mode
    std::uint32_t loopStart = 0;     // first sample of the loop
    std::uint32_t loopLength = 0;    // samples in the loop
    std::uint8_t volume = 64;        // 0..64
    std::int8_t finetune = 0;        // 128ths of a semitone
    std::uint8_t panning = 128;      // 0 left .. 255 right
    std::int8_t relativeNote = 0;    // semitones added to every note played
};

// An instrument: samples mapped over the notes, envelopes, fade-out and auto-vibrato.
struct XmInstrument {
    std::string name;                       // up to 22 characters
    std::vector<XmSample> samples;          // at most 16
    std::array<std::uint8_t, 96> keymap{};  // sample index played for each note C-0..B-7
    XmEnvelope volumeEnvelope;              // shapes the note's loudness
    XmEnvelope panningEnvelope;             // moves the note across the stereo field
    std::uint16_t fadeout = 0;              // volume taken off per tick after release
    std::uint8_t vibratoType = 0;           // 0 sine, 1 square, 2 ramp down, 3 ramp up
    std::uint8_t vibratoSweep = 0;          // ticks until the vibrato reaches its depth
    std::uint8_t vibratoDepth = 0;          // 0..15
    std::uint8_t vibratoRate = 0;           // 0..63
};

// A whole module.
struct XmModule {
    std::string name;                       // up to 20 characters
    int channels = 8;                       // 1..32
    int speed = 6;                          // ticks per row, 1..31
    int bpm = 125;                          // tempo, 32..255
    bool linearFrequencies = true;          // linear table (else the Amiga periods)
    std::vector<std::uint8_t> order;        // pattern numbers in playing order, 1..256
    int restart = 0;                        // order position the song goes on from at its end
    std::vector<XmPattern> patterns;        // at most 256, each with `channels` channels
    std::vector<XmInstrument> instruments;  // at most 128; numbered from 1 in the patterns
};

// The bytes of an XM file for the module. Throws std::invalid_argument for a module that does
// not fit the format (counts, ranges, orders naming missing patterns, loops outside samples).
std::vector<std::uint8_t> WriteXm(const XmModule& module);

// Relative note and finetune that make a sample recorded at sampleRate sound at its own pitch
// when note baseNote (1 = C-0, 49 = C-4) is played with the linear frequency table.
struct XmTuning {
    std::int8_t relativeNote = 0;  // semitones
    std::int8_t finetune = 0;      // 128ths of a semitone
};
XmTuning TuneSample(double sampleRate, int baseNote);

}  // namespace vrumbal::content
