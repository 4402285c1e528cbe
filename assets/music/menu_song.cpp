// The menu theme. D major, 124 beats per minute, four rows to the beat, one pattern of four
// bars per section:
//   intro (pads, arpeggio and a bell hint) - groove - verse A - verse A' - build -
//   chorus - chorus' - breakdown - verse A on the chip lead - verse A' - chorus - chorus',
// then back to the groove. About 93 s before it comes round.
#include <string>
#include <vector>

#include "instruments.h"
#include "score.h"
#include "songs.h"

namespace vrumbal::content::music {

namespace {

// Instruments, numbered as the patterns use them.
enum Instrument : int {
    kKick = 1,
    kSnare,
    kClap,
    kHat,
    kOpenHat,
    kCrash,
    kTom,
    kBass,
    kPadMajor,
    kPadMinor,
    kPluck,
    kLead,
    kChip,
    kBell,
};

// Channels.
enum Channel : int {
    cKick,
    cSnare,
    cHat,
    cPerc,
    cBass,
    cPadA,
    cPadB,
    cArp,
    cLead,
    cEcho,
    cHarmony,
    cBell,
    kChannels,
};

constexpr int kKeyRoot = 2;  // D
constexpr int kC5 = 61;      // drums sound at their own pitch here

std::vector<XmInstrument> Instruments() {
    std::vector<XmInstrument> list;
    list.push_back(MakeInstrument("kick", KickSample(0.4)));
    list.push_back(MakeInstrument("snare", SnareSample()));
    list.push_back(MakeInstrument("clap", ClapSample()));
    list.push_back(MakeInstrument("closed hat", HatSample(0.06)));
    list.push_back(MakeInstrument("open hat", HatSample(0.35)));
    list.push_back(MakeInstrument("crash", CrashSample()));
    list.push_back(MakeInstrument("tom", TomSample()));

    ToneRecipe bass;
    bass.name = "bouncy bass";
    bass.baseNote = NoteValue("C-2");
    bass.loopLength = 32768;
    bass.cyclesPerLoop = 64;
    bass.oscillators = {
        {Wave::kSaw, 0, 0.7, 0}, {Wave::kSquare, 0, 0.35, 0}, {Wave::kSine, 0, 0.6, -1}};
    bass.cutoff = 850;
    bass.resonance = 1.1;
    bass.attackCutoff = 3500;
    bass.attackSeconds = 0.09;
    bass.maxHz = 4000;
    list.push_back(MakeInstrument("bass", MakeTone(bass),
                                  Envelope({{0, 64}, {12, 50}, {14, 50}, {20, 0}}, 2), 2048));

    for (bool minor : {false, true}) {
        ToneRecipe pad;
        pad.name = minor ? "pad minor" : "pad major";
        pad.baseNote = NoteValue("C-4");
        pad.loopLength = 65536;
        pad.cyclesPerLoop = 512;
        pad.oscillators = {
            {Wave::kSaw, -3, 0.5, 0}, {Wave::kSaw, 0, 0.5, 0}, {Wave::kSaw, 3, 0.5, 0}};
        pad.chord = {0, 7, 12, minor ? 15 : 16};
        pad.cutoff = 1700;
        pad.resonance = 0.7;
        pad.maxHz = 7000;
        pad.seed = minor ? 12 : 11;
        list.push_back(MakeInstrument(pad.name, MakeTone(pad),
                                      Envelope({{0, 0}, {14, 60}, {30, 52}, {60, 0}}, 2), 800));
    }

    ToneRecipe pluck;
    pluck.name = "pluck";
    pluck.oscillators = {{Wave::kSaw, 0, 0.6, 0}, {Wave::kSquare, 1, 0.4, 0}};
    pluck.cutoff = 1800;
    pluck.resonance = 1.2;
    pluck.attackCutoff = 7000;
    pluck.attackSeconds = 0.06;
    pluck.maxHz = 6000;
    pluck.seed = 13;
    list.push_back(MakeInstrument("pluck", MakeTone(pluck),
                                  Envelope({{0, 64}, {4, 44}, {16, 20}, {40, 6}, {80, 0}}), 1500));

    ToneRecipe lead;
    lead.name = "supersaw lead";
    lead.oscillators = {{Wave::kSaw, -4, 0.5, 0}, {Wave::kSaw, -2, 0.7, 0},
                        {Wave::kSaw, 0, 1.0, 0},  {Wave::kSaw, 2, 0.7, 0},
                        {Wave::kSaw, 4, 0.5, 0},  {Wave::kSquare, 0, 0.3, -1}};
    lead.cutoff = 3800;
    lead.resonance = 0.9;
    lead.attackCutoff = 7000;
    lead.attackSeconds = 0.08;
    lead.maxHz = 6000;
    lead.seed = 14;
    auto leadIns = MakeInstrument("lead", MakeTone(lead),
                                  Envelope({{0, 0}, {2, 64}, {24, 50}, {40, 0}}, 2), 1200);
    leadIns.vibratoSweep = 48;
    leadIns.vibratoDepth = 3;
    leadIns.vibratoRate = 12;
    list.push_back(std::move(leadIns));

    ToneRecipe chip;
    chip.name = "chip lead";
    chip.oscillators = {{Wave::kPulse25, 0, 0.8, 0}, {Wave::kSquare, 1, 0.45, 0}};
    chip.cutoff = 6000;
    chip.resonance = 0.7;
    chip.maxHz = 7000;
    chip.seed = 15;
    auto chipIns = MakeInstrument("chip lead", MakeTone(chip),
                                  Envelope({{0, 64}, {6, 52}, {8, 52}, {16, 0}}, 2), 1500);
    chipIns.vibratoSweep = 30;
    chipIns.vibratoDepth = 3;
    chipIns.vibratoRate = 14;
    list.push_back(std::move(chipIns));

    list.push_back(MakeInstrument("bell", BellSample(), Envelope({{0, 64}, {1, 64}}), 600));
    return list;
}

// What the drums play in a section.
enum class Groove { kNone, kFull, kHalf, kBreak };

struct Section {
    const char* chords;  // one chord per bar
    Groove groove = Groove::kFull;
    bool crash = true;   // crash on the first beat
    bool fill = false;   // a tom fill closes the section
    bool build = false;  // a snare roll builds through the last two bars
    const char* bassFigure = "R:2 R:2 O:2 R:2 R:2 O:2 F:2 O:2";
    int padVolume = 24;
    int arpVolume = 18;
    const char* lead = nullptr;  // melody on the lead channel
    int leadInstrument = kLead;
    int leadVolume = 50;
    int harmonySteps = 0;        // a harmony this many scale steps away (0 = none)
    const char* bell = nullptr;  // bell line
    int bellVolume = 30;
};

void WriteDrums(PatternWriter& w, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * kRowsPerBar;
        const bool rolling = s.build && bar >= 2;
        switch (s.groove) {
            case Groove::kFull:
                w.Hits(cKick, row, "x...x...x...x...", kKick, kC5, 60, 40);
                w.Hits(cSnare, row, "....x.......x...", kClap, kC5, 44, 30);
                w.Hits(cHat, row, "o.x.o.x.o.x.o.xo", kHat, kC5, 28, 16);
                w.Hits(cHat, row + 14, "x", kOpenHat, kC5, 20, 20);
                break;
            case Groove::kHalf:
                w.Hits(cKick, row, "x.......x..x....", kKick, kC5, 58, 40);
                if (!rolling) w.Hits(cSnare, row, "........x.......", kSnare, kC5, 44, 30);
                w.Hits(cHat, row, "x.o.x.o.x.o.x.o.", kHat, kC5, 24, 14);
                break;
            case Groove::kBreak:
                w.Hits(cHat, row, "..o...o...o...o.", kHat, kC5, 18, 12);
                break;
            case Groove::kNone:
                break;
        }
        if (rolling) {
            // Eighths, then sixteenths, getting louder into the next section.
            for (int i = 0; i < kRowsPerBar; ++i) {
                const bool hit = bar == 2 ? i % 4 == 0 : (i < 8 ? i % 2 == 0 : true);
                if (hit) w.Note(cSnare, row + i, kC5, kSnare, 20 + (bar - 2) * 16 + i);
            }
        }
    }
    if (s.crash) w.Note(cPerc, 0, kC5, kCrash, 30);
    if (s.fill) {
        const char* toms[] = {"G5", "E5", "C5", "A4"};
        for (int i = 0; i < 4; ++i) w.Note(cPerc, 60 + i, NoteValue(toms[i]), kTom, 40 + 4 * i);
    }
}

void WriteSection(PatternWriter& w, const Section& s) {
    const auto chords = ParseChords(s.chords);
    WriteDrums(w, s);
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * kRowsPerBar;
        const Chord& chord = chords[bar];
        // Bass in the octave from G1, so the line stays low and close.
        w.Line(cBass, row, ChordFigure(s.bassFigure, chord, NoteValue("G-1")), kBass, 48);
        // Pads alternate between two channels so each chord fades while the next swells.
        const int pad = bar % 2 ? cPadB : cPadA;
        w.KeyOff(bar % 2 ? cPadA : cPadB, row);
        w.Note(pad, row, NoteAtOrAbove(chord.root, NoteValue("G-3")),
               chord.minor ? kPadMinor : kPadMajor, s.padVolume);
        if (s.arpVolume > 0) {
            w.Line(cArp, row,
                   Arpeggio({0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 2, 3, 4, 5}, chord,
                            NoteValue("A-4"), 1),
                   kPluck, s.arpVolume);
        }
    }
    if (s.lead) {
        w.Line(cLead, 0, s.lead, s.leadInstrument, s.leadVolume);
        // A dotted-eighth echo, quieter, on its own channel.
        w.Line(cEcho, 3, s.lead, s.leadInstrument, s.leadVolume * 2 / 5, 0, 1, true);
        if (s.harmonySteps != 0) {
            w.Line(cHarmony, 0, Harmonize(s.lead, s.harmonySteps, kKeyRoot, false),
                   s.leadInstrument, s.leadVolume * 3 / 5);
        }
    }
    if (s.bell) w.Line(cBell, 0, s.bell, kBell, s.bellVolume);
}

// The melodies, a bar between bar lines.
constexpr const char* kVerseA =
    "A4:2 D5:2 F#5:3 E5:3 D5:2 E5:4 | C#5:2 E5:2 A5:3 G5:3 F#5:2 E5:4 | "
    "D5:2 F#5:2 B5:3 A5:3 F#5:2 D5:4 | E5:3 F#5:3 G5:2 F#5:4 E5:2 -:2";
constexpr const char* kVerseA2 =
    "A4:2 D5:2 F#5:3 E5:3 D5:2 E5:4 | C#5:2 E5:2 A5:3 B5:3 A5:2 E5:4 | "
    "F#5:2 A5:2 D6:3 C#6:3 B5:2 A5:4 | G5:3 F#5:3 E5:4 -:2 B4:2 D5:2";
constexpr const char* kBuild =
    "G5:6 F#5:2 E5:4 B4:4 | D5:6 E5:2 G5:4 B5:4 | A5:8 G5:4 F#5:4 | "
    "E5:6 F#5:2 G5:2 A5:2 B5:2 C#6:2";
constexpr const char* kChorus =
    "D6:3 B5:3 G5:2 B5:4 D6:4 | C#6:3 A5:3 E5:2 A5:4 C#6:4 | "
    "A5:3 F#5:3 C#5:2 F#5:2 A5:2 C#6:4 | B5:6 A5:2 F#5:4 D5:4";
constexpr const char* kChorus2 =
    "D6:3 B5:3 G5:2 B5:4 D6:4 | E6:3 C#6:3 A5:2 C#6:4 E6:4 | "
    "F#6:6 E6:2 D6:4 A5:4 | D6:12 -:4";
// Bell lines: a hint of the tune in the intro, a slow melody in the breakdown, a counter-line
// under the chip lead.
constexpr const char* kIntroBell =
    "F#5:3 E5:3 D5:2 E5:8 | C#5:3 D5:3 E5:2 A4:8 | B4:3 C#5:3 D5:2 F#5:8 | G5:3 F#5:3 E5:2 ~:8";
constexpr const char* kBreakBell = "F#5:8 D5:8 | B4:8 D5:4 E5:4 | F#5:8 A5:6 G5:2 | E5:12 ~:4";
constexpr const char* kCounterBell = "F#5:8 E5:8 | E5:8 C#5:8 | D5:8 F#5:8 | G5:8 B5:8";

}  // namespace

XmModule MenuSong() {
    XmModule m;
    m.name = "Vrumbal menu";
    m.channels = kChannels;
    m.speed = 6;
    m.bpm = 124;
    m.instruments = Instruments();

    std::vector<Section> sections;
    Section intro{"D A Bm G", Groove::kNone, false};
    intro.bassFigure = "-:16";
    intro.arpVolume = 14;
    intro.padVolume = 26;
    intro.bell = kIntroBell;
    intro.build = true;
    sections.push_back(intro);

    Section groove{"D A Bm G"};
    groove.arpVolume = 22;
    groove.bell = kCounterBell;
    groove.bellVolume = 18;
    sections.push_back(groove);

    Section verse{"D A Bm G"};
    verse.lead = kVerseA;
    verse.crash = false;
    sections.push_back(verse);

    Section verse2{"D A Bm G"};
    verse2.lead = kVerseA2;
    verse2.crash = false;
    verse2.fill = true;
    sections.push_back(verse2);

    Section build{"Em G A A", Groove::kHalf};
    build.lead = kBuild;
    build.bassFigure = "R:4 R:4 R:4 R:2 O:2";
    build.build = true;
    build.arpVolume = 22;
    sections.push_back(build);

    Section chorus{"G A F#m Bm"};
    chorus.lead = kChorus;
    chorus.harmonySteps = -2;
    chorus.leadVolume = 52;
    sections.push_back(chorus);

    Section chorus2{"G A D D"};
    chorus2.lead = kChorus2;
    chorus2.harmonySteps = -2;
    chorus2.leadVolume = 52;
    chorus2.crash = false;
    chorus2.fill = true;
    sections.push_back(chorus2);

    Section breakdown{"Bm G D A", Groove::kBreak};
    breakdown.bassFigure = "R:12 F:4";
    breakdown.bell = kBreakBell;
    breakdown.bellVolume = 36;
    breakdown.arpVolume = 22;
    breakdown.padVolume = 30;
    breakdown.build = true;
    sections.push_back(breakdown);

    Section chipVerse{"D A Bm G"};
    chipVerse.lead = kVerseA;
    chipVerse.leadInstrument = kChip;
    chipVerse.leadVolume = 42;
    chipVerse.bell = kCounterBell;
    chipVerse.bellVolume = 22;
    sections.push_back(chipVerse);

    Section chipVerse2 = chipVerse;
    chipVerse2.lead = kVerseA2;
    chipVerse2.crash = false;
    chipVerse2.fill = true;
    sections.push_back(chipVerse2);

    Section lastChorus = chorus;
    lastChorus.harmonySteps = 2;
    sections.push_back(lastChorus);
    Section lastChorus2 = chorus2;
    lastChorus2.harmonySteps = 2;
    sections.push_back(lastChorus2);

    for (const Section& s : sections) {
        XmPattern pattern(4 * kRowsPerBar, kChannels);
        PatternWriter w(pattern);
        WriteSection(w, s);
        m.order.push_back(static_cast<std::uint8_t>(m.patterns.size()));
        m.patterns.push_back(std::move(pattern));
    }
    m.restart = 1;  // after the intro, the song comes round to the groove
    return m;
}

}  // namespace vrumbal::content::music
