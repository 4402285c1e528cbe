// The options file's seven lines written and read, with the defaults of a first start and the
// boss key's codes both ways.
#include "save/options_file.h"

#include "game/high_scores.h"
#include "save/high_score_check.h"
#include "save/save_file_reader.h"
#include "save/save_paths.h"

namespace vrumbal {

namespace {

constexpr std::uint8_t kShiftBit = 1;
constexpr std::uint8_t kAltBit = 2;
constexpr std::uint8_t kCtrlBit = 4;
constexpr std::int32_t kKeyF1 = 0x70;
constexpr std::int32_t kKeyF9 = 0x78;
constexpr std::int32_t kKeyF12 = 0x7B;

// Flags are stored as "0" or "1"; any other number reads as on.
std::uint8_t Flag(std::int32_t value) {
    return value != 0 ? 1 : 0;
}

void AddLine(std::string& out, const std::string& line) {
    out += line;
    out += "\r\n";
}

}  // namespace

void DefaultOptions(GameState& state) {
    state.FullScreen = 0;
    state.MusicOn = 1;
    state.SoundOn = 1;
    state.Country = kDefaultCountry;
    state.HotKeyShift = kAltBit;
    state.HotKeyCode = kKeyF9;
}

int ModifierFileCode(std::uint8_t hotKeyShift) {
    if (hotKeyShift & kAltBit) return 1;
    if (hotKeyShift & kCtrlBit) return 2;
    if (hotKeyShift & kShiftBit) return 3;
    return 0;
}

std::uint8_t ModifierFromFileCode(std::int32_t code) {
    switch (code) {
        case 1:
            return kAltBit;
        case 2:
            return kCtrlBit;
        case 3:
            return kShiftBit;
        default:
            return 0;
    }
}

int FunctionKeyFileCode(std::int32_t hotKeyCode) {
    if (hotKeyCode >= kKeyF1 && hotKeyCode <= kKeyF12) return hotKeyCode - kKeyF1 + 1;
    return 0;
}

std::int32_t FunctionKeyFromFileCode(std::int32_t code) {
    if (code >= 1 && code <= 12) return kKeyF1 + code - 1;
    return 0;
}

std::string FormatOptionsFile(const GameState& state) {
    std::string out;
    AddLine(out, state.FullScreen ? "1" : "0");
    AddLine(out, state.MusicOn ? "1" : "0");
    AddLine(out, state.SoundOn ? "1" : "0");
    AddLine(out, state.Country);
    AddLine(out, std::to_string(ModifierFileCode(state.HotKeyShift)));
    AddLine(out, std::to_string(FunctionKeyFileCode(state.HotKeyCode)));
    AddLine(out, ComputeHighScoreCheck(state));
    return out;
}

std::string ParseOptionsFile(GameState& state, const std::string& bytes) {
    SaveFileReader reader(bytes);
    // A line that is no number counts as a missing one (0) instead of stopping the start.
    state.FullScreen = Flag(reader.ReadNumber().value);
    state.MusicOn = Flag(reader.ReadNumber().value);
    state.SoundOn = Flag(reader.ReadNumber().value);
    state.Country = reader.ReadLine();
    // Unknown codes leave the hot key empty, as it is before the file is read at start-up.
    state.HotKeyShift = ModifierFromFileCode(reader.ReadNumber().value);
    state.HotKeyCode = FunctionKeyFromFileCode(reader.ReadNumber().value);
    return reader.ReadLine();
}

std::string LoadOptions(GameState& state, const std::filesystem::path& dataRoot) {
    const auto bytes = ReadSaveFile(OptionsFilePath(dataRoot));
    if (!bytes) {
        DefaultOptions(state);
        return {};
    }
    return ParseOptionsFile(state, *bytes);
}

SaveWriteResult SaveOptions(const GameState& state, const std::filesystem::path& dataRoot) {
    return WriteFileAtomically(OptionsFilePath(dataRoot), FormatOptionsFile(state));
}

}  // namespace vrumbal
