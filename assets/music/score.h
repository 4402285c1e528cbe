#pragma once
// Writing music into patterns from compact text: melodic lines ("E5:4 D5:2 -:2"), drum grids
// ("x...x...x...x...") and chord symbols ("D A Bm G").
#include <string>
#include <string_view>
#include <vector>

#include "xm_writer.h"

namespace vrumbal::content::music {

// Four beats of four rows each.
inline constexpr int kRowsPerBar = 16;

// A chord symbol: its root (0 = C .. 11 = B) and whether it is minor.
struct Chord {
    int root = 0;
    bool minor = false;
};

// Chords separated by spaces: "D A Bm G", "F#m", "Bb".
std::vector<Chord> ParseChords(std::string_view text);

// The XM note of pitch class `root` in the octave range starting at note `lowest`.
int NoteAtOrAbove(int root, int lowest);

// A bass bar for a chord from a figure of tokens R (root), O (octave up), F (fifth), T (third),
// L (the fifth below) or "-" (rest), each with ":rows": "R:2 O:2 F:4".
std::string ChordFigure(std::string_view figure, const Chord& chord, int lowest);

// An arpeggio bar: tone indices (0 root, 1 third, 2 fifth, 3 octave, 4 tenth, 5 twelfth)
// one per `step` rows, over the chord from the octave starting at `lowest`.
std::string Arpeggio(const std::vector<int>& tones, const Chord& chord, int lowest, int step);

// The line moved by `steps` degrees of the major or natural minor scale on `keyRoot`; notes
// outside the scale move from the scale note below them.
std::string Harmonize(std::string_view line, int steps, int keyRoot, bool minorKey);

// The name of an XM note ("C#5").
std::string NoteName(int note);

// Writes notes into one pattern.
class PatternWriter final {
public:
    explicit PatternWriter(XmPattern& pattern) : pattern_(pattern) {}

    // A melodic line from `row`: tokens NOTE[:rows][@volume] ("F#5:3", "A4@40"), "-[:rows]" a
    // rest that releases the note before it, "~[:rows]" that holds it on. Rows default to
    // `step`; "|" marks a bar line, checked to fall on a whole bar. Notes are moved by `transpose`
    // semitones. Returns the rows the line covers; throws std::invalid_argument if it runs past the
    // pattern (unless `clip`, which drops what falls outside, as for an echo).
    int Line(int channel, int row, std::string_view text, int instrument, int volume = 64,
             int transpose = 0, int step = 1, bool clip = false);

    // Hits from a grid, one character per row: 'x' at the loud volume, 'o' at the soft one,
    // '^' a release, '.' nothing; spaces are ignored. Returns the rows covered.
    int Hits(int channel, int row, std::string_view grid, int instrument, int note, int loud,
             int soft);

    // One note (volume < 0 leaves the volume column empty).
    void Note(int channel, int row, int note, int instrument, int volume = -1);
    // Releases the channel's note.
    void KeyOff(int channel, int row);
    // An effect command on a cell.
    void Effect(int channel, int row, std::uint8_t effect, std::uint8_t param);
    // Rows of the pattern.
    int Rows() const { return pattern_.Rows(); }

private:
    XmPattern& pattern_;  // written into
};

}  // namespace vrumbal::content::music
