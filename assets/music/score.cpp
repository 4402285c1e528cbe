#include "score.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "instruments.h"

namespace vrumbal::content::music {

namespace {

int PitchClass(std::string_view text, std::size_t& pos) {
    static constexpr int kSemis[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (pos >= text.size() || text[pos] < 'A' || text[pos] > 'G') {
        throw std::invalid_argument("bad chord: " + std::string(text));
    }
    int pc = kSemis[text[pos++] - 'A'];
    if (pos < text.size() && text[pos] == '#') {
        ++pc;
        ++pos;
    } else if (pos < text.size() && text[pos] == 'b') {
        --pc;
        ++pos;
    }
    return (pc + 12) % 12;
}

std::vector<std::string> Tokens(std::string_view text) {
    std::vector<std::string> out;
    std::istringstream in{std::string(text)};
    std::string token;
    while (in >> token) out.push_back(token);
    return out;
}

}  // namespace

std::vector<Chord> ParseChords(std::string_view text) {
    std::vector<Chord> chords;
    for (const std::string& token : Tokens(text)) {
        std::size_t pos = 0;
        Chord c;
        c.root = PitchClass(token, pos);
        if (pos < token.size() && token[pos] == 'm') {
            c.minor = true;
            ++pos;
        }
        if (pos != token.size()) throw std::invalid_argument("bad chord: " + token);
        chords.push_back(c);
    }
    return chords;
}

int NoteAtOrAbove(int root, int lowest) {
    int note = lowest;
    while ((note - 1) % 12 != root) ++note;
    return note;
}

std::string NoteName(int note) {
    static constexpr const char* kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                             "F#", "G",  "G#", "A",  "A#", "B"};
    if (note < 1 || note > kXmLastNote) throw std::invalid_argument("note out of range");
    return std::string(kNames[(note - 1) % 12]) + std::to_string((note - 1) / 12);
}

std::string ChordFigure(std::string_view figure, const Chord& chord, int lowest) {
    const int root = NoteAtOrAbove(chord.root, lowest);
    const int third = chord.minor ? 3 : 4;
    std::string out;
    for (const std::string& token : Tokens(figure)) {
        const std::string rest = token.substr(1);
        int note = 0;
        switch (token[0]) {
            case 'R':
                note = root;
                break;
            case 'O':
                note = root + 12;
                break;
            case 'F':
                note = root + 7;
                break;
            case 'T':
                note = root + third;
                break;
            case 'L':
                note = root - 5;
                break;
            case '-':
            case '~':
            case '|':
                break;
            default:
                throw std::invalid_argument("bad figure token: " + token);
        }
        out += (note ? NoteName(note) + rest : token) + " ";
    }
    return out;
}

std::string Arpeggio(const std::vector<int>& tones, const Chord& chord, int lowest, int step) {
    const int root = NoteAtOrAbove(chord.root, lowest);
    const int third = chord.minor ? 3 : 4;
    const int offsets[] = {0, third, 7, 12, 12 + third, 19};
    std::string out;
    for (int tone : tones) {
        out += NoteName(root + offsets[tone]) + ":" + std::to_string(step) + " ";
    }
    return out;
}

std::string Harmonize(std::string_view line, int steps, int keyRoot, bool minorKey) {
    static constexpr int kMajor[] = {0, 2, 4, 5, 7, 9, 11};
    static constexpr int kMinor[] = {0, 2, 3, 5, 7, 8, 10};
    const int* scale = minorKey ? kMinor : kMajor;
    std::string out;
    for (const std::string& token : Tokens(line)) {
        if (token[0] == '-' || token[0] == '~' || token[0] == '|') {
            out += token + " ";
            continue;
        }
        const auto cut = token.find_first_of(":@");
        const std::string name = token.substr(0, cut);
        const std::string suffix = cut == std::string::npos ? "" : token.substr(cut);
        const int fromKey = NoteValue(name) - 1 - keyRoot;  // semitones above C-0's key note
        const int octave = (fromKey >= 0 ? fromKey : fromKey - 11) / 12;
        const int within = fromKey - octave * 12;
        int degree = 0;
        while (degree < 6 && scale[degree + 1] <= within) ++degree;
        const int moved = octave * 7 + degree + steps;
        const int movedOctave = (moved >= 0 ? moved : moved - 6) / 7;
        const int movedDegree = moved - movedOctave * 7;
        out += NoteName(1 + keyRoot + movedOctave * 12 + scale[movedDegree]) + suffix + " ";
    }
    return out;
}

int PatternWriter::Line(int channel, int row, std::string_view text, int instrument, int volume,
                        int transpose, int step, bool clip) {
    int at = row;
    for (const std::string& token : Tokens(text)) {
        if (token == "|") {
            // A bar line: what came before must fill whole bars.
            if ((at - row) % kRowsPerBar != 0) {
                throw std::invalid_argument("bar of the wrong length before row " +
                                            std::to_string(at) + " in: " + std::string(text));
            }
            continue;
        }
        std::string head = token;
        int rows = step;
        int vol = volume;
        if (const auto v = head.find('@'); v != std::string::npos) {
            vol = std::stoi(head.substr(v + 1));
            head.resize(v);
        }
        if (const auto c = head.find(':'); c != std::string::npos) {
            rows = std::stoi(head.substr(c + 1));
            head.resize(c);
        }
        if (rows < 1) throw std::invalid_argument("bad duration in: " + token);
        const bool inside = at < pattern_.Rows();
        if (!inside && !clip) throw std::invalid_argument("line runs past the pattern: " + token);
        if (inside) {
            if (head == "-") {
                KeyOff(channel, at);
            } else if (head != "~") {
                Note(channel, at, NoteValue(head) + transpose, instrument, vol);
            }
        }
        at += rows;
    }
    if (at > pattern_.Rows() && !clip) {
        throw std::invalid_argument("line runs past the pattern: " + std::string(text));
    }
    return at - row;
}

int PatternWriter::Hits(int channel, int row, std::string_view grid, int instrument, int note,
                        int loud, int soft) {
    int at = row;
    for (char c : grid) {
        if (c == ' ') continue;
        if (c == 'x') Note(channel, at, note, instrument, loud);
        if (c == 'o') Note(channel, at, note, instrument, soft);
        if (c == '^') KeyOff(channel, at);
        if (c != 'x' && c != 'o' && c != '.' && c != '^') {
            throw std::invalid_argument("bad hit grid: " + std::string(grid));
        }
        ++at;
    }
    return at - row;
}

void PatternWriter::Note(int channel, int row, int note, int instrument, int volume) {
    if (note < 1 || note > kXmLastNote) throw std::invalid_argument("note out of range");
    XmCell& cell = pattern_.At(row, channel);
    cell.note = static_cast<std::uint8_t>(note);
    cell.instrument = static_cast<std::uint8_t>(instrument);
    cell.volume = volume < 0 ? 0 : static_cast<std::uint8_t>(0x10 + std::min(volume, 64));
}

void PatternWriter::KeyOff(int channel, int row) {
    XmCell& cell = pattern_.At(row, channel);
    cell = XmCell{};
    cell.note = kXmKeyOff;
}

void PatternWriter::Effect(int channel, int row, std::uint8_t effect, std::uint8_t param) {
    XmCell& cell = pattern_.At(row, channel);
    cell.effect = effect;
    cell.param = param;
}

}  // namespace vrumbal::content::music
