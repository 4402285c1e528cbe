// The race theme. E minor, 150 beats per minute, four rows to the beat, one pattern of four
// bars per section:
//   intro (pulse and riser) - riff - hook - hook' - verse - verse' - chorus - chorus' -
//   breakdown - build - solo - solo' - chorus - chorus',
// then back to the hook. About 90 s before it comes round.
#include <string>
#include <vector>

#include "instruments.h"
#include "score.h"
#include "songs.h"

namespace vrumbal::content::music {

namespace {

enum Instrument : int {
    kKick = 1,
    kSnare,
    kClap,
    kHat,
    kOpenHat,
    kCrash,
    kTom,
    kBass,
    kPower,
    kPadMinor,
    kPadMajor,
    kPluck,
    kLead,
    kChip,
    kRiser,
};

enum Channel : int {
    cKick,
    cSnare,
    cHat,
    cPerc,
    cBass,
    cPower,
    cPadA,
    cPadB,
    cArp,
    cLead,
    cEcho,
    cHarmony,
    kChannels,
};

constexpr int kKeyRoot = 4;  // E
constexpr int kC5 = 61;

std::vector<XmInstrument> Instruments() {
    std::vector<XmInstrument> list;
    list.push_back(MakeInstrument("kick", KickSample(1.0)));
    list.push_back(MakeInstrument("snare", SnareSample()));
    list.push_back(MakeInstrument("clap", ClapSample()));
    list.push_back(MakeInstrument("closed hat", HatSample(0.05)));
    list.push_back(MakeInstrument("open hat", HatSample(0.3)));
    list.push_back(MakeInstrument("crash", CrashSample()));
    list.push_back(MakeInstrument("tom", TomSample()));

    ToneRecipe bass;
    bass.name = "drive bass";
    bass.baseNote = NoteValue("C-2");
    bass.loopLength = 65536;
    bass.cyclesPerLoop = 128;
    bass.oscillators = {
        {Wave::kSaw, 0, 0.8, 0}, {Wave::kSaw, 1, 0.5, 0}, {Wave::kSine, 0, 0.6, -1}};
    bass.cutoff = 1300;
    bass.resonance = 1.4;
    bass.attackCutoff = 5000;
    bass.attackSeconds = 0.05;
    bass.drive = 2.0;
    bass.maxHz = 5000;
    bass.seed = 21;
    list.push_back(MakeInstrument("bass", MakeTone(bass),
                                  Envelope({{0, 64}, {6, 56}, {8, 56}, {12, 0}}, 2), 3000));

    ToneRecipe power;
    power.name = "power chord";
    power.baseNote = NoteValue("C-4");
    power.loopLength = 65536;
    power.cyclesPerLoop = 512;
    power.oscillators = {
        {Wave::kSaw, -2, 0.6, 0}, {Wave::kSaw, 2, 0.6, 0}, {Wave::kSquare, 0, 0.3, -1}};
    power.chord = {0, 7, 12};
    power.cutoff = 2600;
    power.resonance = 1.0;
    power.drive = 4.0;
    power.maxHz = 7000;
    power.seed = 22;
    list.push_back(MakeInstrument("power chord", MakeTone(power),
                                  Envelope({{0, 64}, {10, 54}, {12, 54}, {20, 0}}, 2), 2500));

    for (bool minor : {true, false}) {
        ToneRecipe pad;
        pad.name = minor ? "pad minor" : "pad major";
        pad.baseNote = NoteValue("C-4");
        pad.loopLength = 65536;
        pad.cyclesPerLoop = 512;
        pad.oscillators = {
            {Wave::kSaw, -3, 0.5, 0}, {Wave::kSaw, 0, 0.5, 0}, {Wave::kSaw, 3, 0.5, 0}};
        pad.chord = {0, 7, 12, minor ? 15 : 16};
        pad.cutoff = 1400;
        pad.resonance = 0.7;
        pad.maxHz = 7000;
        pad.seed = minor ? 23 : 24;
        list.push_back(MakeInstrument(pad.name, MakeTone(pad),
                                      Envelope({{0, 0}, {12, 60}, {30, 52}, {56, 0}}, 2), 800));
    }

    ToneRecipe pluck;
    pluck.name = "pluck";
    pluck.oscillators = {{Wave::kSaw, 0, 0.7, 0}, {Wave::kPulse25, 1, 0.4, 0}};
    pluck.cutoff = 2000;
    pluck.resonance = 1.3;
    pluck.attackCutoff = 8000;
    pluck.attackSeconds = 0.05;
    pluck.maxHz = 6000;
    pluck.seed = 25;
    list.push_back(MakeInstrument("pluck", MakeTone(pluck),
                                  Envelope({{0, 64}, {4, 40}, {14, 16}, {36, 4}, {70, 0}}), 1500));

    ToneRecipe lead;
    lead.name = "supersaw lead";
    lead.oscillators = {{Wave::kSaw, -4, 0.5, 0}, {Wave::kSaw, -2, 0.7, 0},
                        {Wave::kSaw, 0, 1.0, 0},  {Wave::kSaw, 2, 0.7, 0},
                        {Wave::kSaw, 4, 0.5, 0},  {Wave::kSaw, 0, 0.35, -1}};
    lead.cutoff = 4200;
    lead.resonance = 1.0;
    lead.attackCutoff = 8000;
    lead.attackSeconds = 0.06;
    lead.drive = 1.5;
    lead.maxHz = 5000;
    lead.seed = 26;
    auto leadIns = MakeInstrument("lead", MakeTone(lead),
                                  Envelope({{0, 0}, {2, 64}, {20, 52}, {32, 0}}, 2), 1400);
    leadIns.vibratoSweep = 40;
    leadIns.vibratoDepth = 4;
    leadIns.vibratoRate = 14;
    list.push_back(std::move(leadIns));

    ToneRecipe chip;
    chip.name = "chip lead";
    chip.oscillators = {{Wave::kSquare, 0, 0.8, 0}, {Wave::kPulse25, 1, 0.5, 0}};
    chip.cutoff = 5000;
    chip.resonance = 0.8;
    chip.maxHz = 7000;
    chip.seed = 27;
    auto chipIns = MakeInstrument("chip lead", MakeTone(chip),
                                  Envelope({{0, 64}, {4, 50}, {6, 50}, {12, 0}}, 2), 2000);
    chipIns.vibratoSweep = 30;
    chipIns.vibratoDepth = 3;
    chipIns.vibratoRate = 16;
    list.push_back(std::move(chipIns));

    list.push_back(MakeInstrument("riser", RiserSample()));
    return list;
}

enum class Groove { kIntro, kRock, kDrive, kVerse, kHalf };

struct Section {
    const char* chords;
    Groove groove = Groove::kRock;
    bool crash = true;
    bool fill = false;
    bool build = false;  // snare roll and riser through the last two bars
    const char* bassFigure = "R:2 R:2 R:2 R:2 R:2 R:2 O:2 R:2";
    const char* powerGrid = nullptr;  // power chord rhythm per bar (nullptr = none)
    int powerVolume = 34;
    int padVolume = 0;
    int arpVolume = 0;
    const char* lead = nullptr;
    int leadInstrument = kLead;
    int leadVolume = 50;
    bool echo = true;
    int harmonySteps = 0;
};

void WriteDrums(PatternWriter& w, const Section& s) {
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * kRowsPerBar;
        const bool rolling = s.build && bar >= 2;
        switch (s.groove) {
            case Groove::kIntro:
                w.Hits(cHat, row, "xoooxoooxoooxooo", kHat, kC5, 22, 10);
                if (bar >= 2) w.Hits(cKick, row, "x...x...x...x...", kKick, kC5, 56, 40);
                break;
            case Groove::kRock:
                w.Hits(cKick, row, "x.....x.x.x.....", kKick, kC5, 54, 40);
                if (!rolling) w.Hits(cSnare, row, "....x.......x...", kSnare, kC5, 46, 28);
                w.Hits(cHat, row, "xoxoxoxoxoxoxoxo", kHat, kC5, 26, 14);
                break;
            case Groove::kDrive:
                w.Hits(cKick, row, "x...x...x...x...", kKick, kC5, 54, 40);
                if (!rolling) w.Hits(cSnare, row, "....x.......x..o", kSnare, kC5, 46, 22);
                w.Hits(cHat, row, "o.x.o.x.o.x.o.x.", kHat, kC5, 26, 14);
                w.Hits(cHat, row + 2, "x...x...x...x...", kOpenHat, kC5, 18, 18);
                break;
            case Groove::kVerse:
                w.Hits(cKick, row, "x.....x.x.......", kKick, kC5, 58, 40);
                if (!rolling) w.Hits(cSnare, row, "....x.......x...", kSnare, kC5, 46, 30);
                w.Hits(cHat, row, "x.o.x.o.x.o.x.o.", kHat, kC5, 24, 14);
                break;
            case Groove::kHalf:
                w.Hits(cKick, row, "x.........x.....", kKick, kC5, 56, 40);
                if (!rolling) w.Hits(cSnare, row, "........x.......", kSnare, kC5, 46, 30);
                w.Hits(cHat, row, "x.o.x.o.x.o.x.o.", kHat, kC5, 20, 12);
                break;
        }
        if (rolling) {
            for (int i = 0; i < kRowsPerBar; ++i) {
                const bool hit = bar == 2 ? i % 2 == 0 : true;
                if (hit) w.Note(cSnare, row + i, kC5, kSnare, 22 + (bar - 2) * 16 + i);
            }
        }
    }
    if (s.crash) w.Note(cPerc, 0, kC5, kCrash, 32);
    if (s.build) w.Note(cPerc, 32, kC5, kRiser, 30);
    if (s.fill) {
        const char* toms[] = {"A5", "F5", "D5", "A4"};
        for (int i = 0; i < 4; ++i) w.Note(cPerc, 60 + i, NoteValue(toms[i]), kTom, 42 + 4 * i);
    }
}

void WriteSection(PatternWriter& w, const Section& s) {
    const auto chords = ParseChords(s.chords);
    WriteDrums(w, s);
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * kRowsPerBar;
        const Chord& chord = chords[bar];
        w.Line(cBass, row, ChordFigure(s.bassFigure, chord, NoteValue("G-1")), kBass, 50);
        if (s.powerGrid) {
            w.Hits(cPower, row, s.powerGrid, kPower, NoteAtOrAbove(chord.root, NoteValue("D-3")),
                   s.powerVolume, s.powerVolume * 2 / 3);
        }
        if (s.padVolume > 0) {
            const int pad = bar % 2 ? cPadB : cPadA;
            w.KeyOff(bar % 2 ? cPadA : cPadB, row);
            w.Note(pad, row, NoteAtOrAbove(chord.root, NoteValue("G-3")),
                   chord.minor ? kPadMinor : kPadMajor, s.padVolume);
        }
        if (s.arpVolume > 0) {
            w.Line(cArp, row,
                   Arpeggio({0, 2, 3, 2, 1, 2, 3, 4, 0, 2, 3, 2, 4, 3, 2, 1}, chord,
                            NoteValue("B-4"), 1),
                   kPluck, s.arpVolume);
        }
    }
    if (s.lead) {
        w.Line(cLead, 0, s.lead, s.leadInstrument, s.leadVolume);
        if (s.echo) w.Line(cEcho, 3, s.lead, s.leadInstrument, s.leadVolume * 2 / 5, 0, 1, true);
        if (s.harmonySteps != 0) {
            w.Line(cHarmony, 0, Harmonize(s.lead, s.harmonySteps, kKeyRoot, true), s.leadInstrument,
                   s.leadVolume * 3 / 5);
        }
    }
}

// Power chord rhythms: a galloping chug, stabs, and held chords.
constexpr const char* kChug = "x.o.xo^.x.o.xo^.";
constexpr const char* kStabs = "x..^..x..^x..^..";
constexpr const char* kHeld = "x.......x.......";

constexpr const char* kHook =
    "B4:2 E5:2 G5:2 B5:4 A5:2 G5:2 F#5:2 | G5:2 E5:2 C5:2 E5:4 G5:2 A5:2 G5:2 | "
    "F#5:2 D5:2 A4:2 D5:4 F#5:2 A5:2 B5:2 | B5:8 A5:2 G5:2 F#5:4";
constexpr const char* kHook2 =
    "B4:2 E5:2 G5:2 B5:4 A5:2 G5:2 B5:2 | C6:4 B5:2 G5:2 E5:4 G5:4 | "
    "A5:4 F#5:2 D5:2 F#5:2 A5:2 D6:4 | D#6:6 B5:2 F#5:4 D#5:2 -:2";
constexpr const char* kVerse =
    "A5:1 -:1 A5:1 -:1 C6:2 A5:2 E5:2 -:2 G5:2 A5:2 | G5:2 E5:2 B4:2 E5:2 G5:4 F#5:4 | "
    "E5:2 G5:2 C6:2 B5:2 A5:2 G5:2 E5:4 | F#5:4 D5:4 A5:4 F#5:2 -:2";
constexpr const char* kVerse2 =
    "A5:1 -:1 A5:1 -:1 C6:2 A5:2 E5:2 -:2 G5:2 A5:2 | B5:2 G5:2 E5:2 G5:2 B5:4 E6:4 | "
    "E6:2 D6:2 C6:2 B5:2 C6:2 B5:2 G5:4 | F#5:4 D#5:4 B4:4 D#5:2 F#5:2";
constexpr const char* kChorus =
    "E6:6 D6:2 C6:4 B5:4 | A5:6 B5:2 C6:4 D6:4 | B5:8 G5:4 E5:4 | G5:2 A5:2 B5:4 E6:8";
constexpr const char* kChorus2 =
    "E6:6 D6:2 C6:4 B5:4 | A5:6 B5:2 C6:4 D6:4 | D#6:8 F#6:4 D#6:4 | B5:12 -:4";
constexpr const char* kBreakMelody = "B4:8 E5:8 | G5:8 E5:4 C5:4 | D5:8 B4:8 | A4:12 -:4";
constexpr const char* kSolo =
    "E5 F#5 G5 B5 E6 B5 G5 F#5 E5 G5 B5 E6 G6:4 | E6 D6 C6 B5 G5 E5 G5 C6 E6:4 D6:2 C6:2 | "
    "F#6:2 E6:2 D6:2 A5:2 F#5:2 A5:2 D6:2 F#6:2 | D#6:4 F#6:4 B6:6 -:2";
constexpr const char* kSolo2 =
    "G6:2 F#6:2 E6:2 B5:2 G5:2 B5:2 E6:4 | C6:2 E6:2 G6:4 F#6:2 E6:2 D6:2 C6:2 | "
    "D6 E6 F#6 A6 F#6 E6 D6 A5 D6:4 E6:4 | F#6:8 D#6:4 B5:4";

}  // namespace

XmModule RaceSong() {
    XmModule m;
    m.name = "Vrumbal race";
    m.channels = kChannels;
    m.speed = 6;
    m.bpm = 150;
    m.instruments = Instruments();

    std::vector<Section> sections;
    Section intro{"Em Em C D", Groove::kIntro, false};
    intro.bassFigure = "R:1 R:1 O:1 R:1 R:1 R:1 O:1 R:1 R:1 R:1 O:1 R:1 F:1 R:1 O:1 R:1";
    intro.build = true;
    sections.push_back(intro);

    Section riff{"Em C D B"};
    riff.powerGrid = kChug;
    sections.push_back(riff);

    Section hook{"Em C D B"};
    hook.powerGrid = kChug;
    hook.powerVolume = 28;
    hook.lead = kHook;
    hook.crash = false;
    sections.push_back(hook);

    Section hook2 = hook;
    hook2.lead = kHook2;
    hook2.fill = true;
    sections.push_back(hook2);

    Section verse{"Am Em C D", Groove::kVerse};
    verse.bassFigure = "R:2 -:1 R:1 R:2 O:2 R:2 -:1 R:1 F:2 O:2";
    verse.powerGrid = kStabs;
    verse.powerVolume = 24;
    verse.padVolume = 20;
    verse.lead = kVerse;
    verse.leadInstrument = kChip;
    verse.leadVolume = 42;
    sections.push_back(verse);

    Section verse2 = verse;
    verse2.chords = "Am Em C B";
    verse2.lead = kVerse2;
    verse2.crash = false;
    verse2.build = true;
    sections.push_back(verse2);

    Section chorus{"C D Em Em", Groove::kDrive};
    chorus.powerGrid = kHeld;
    chorus.powerVolume = 30;
    chorus.padVolume = 18;
    chorus.lead = kChorus;
    chorus.leadVolume = 52;
    chorus.harmonySteps = -2;
    sections.push_back(chorus);

    Section chorus2 = chorus;
    chorus2.chords = "C D B B";
    chorus2.lead = kChorus2;
    chorus2.crash = false;
    chorus2.fill = true;
    sections.push_back(chorus2);

    Section breakdown{"Em C G D", Groove::kHalf};
    breakdown.bassFigure = "R:8 R:4 F:4";
    breakdown.padVolume = 26;
    breakdown.arpVolume = 24;
    breakdown.lead = kBreakMelody;
    breakdown.leadInstrument = kChip;
    breakdown.leadVolume = 30;
    sections.push_back(breakdown);

    Section build{"Am C D B", Groove::kHalf};
    build.bassFigure = "R:2 R:2 R:2 R:2 R:2 R:2 R:2 R:2";
    build.padVolume = 22;
    build.arpVolume = 26;
    build.powerGrid = "x.x.x.x.x.x.x.x.";
    build.powerVolume = 22;
    build.build = true;
    build.crash = false;
    sections.push_back(build);

    Section solo{"Em C D B"};
    solo.powerGrid = kChug;
    solo.powerVolume = 26;
    solo.lead = kSolo;
    solo.leadVolume = 48;
    solo.echo = false;
    sections.push_back(solo);

    Section solo2 = solo;
    solo2.lead = kSolo2;
    solo2.crash = false;
    solo2.fill = true;
    sections.push_back(solo2);

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
    m.restart = 2;  // the intro and the bare riff play once; the song comes round to the hook
    return m;
}

}  // namespace vrumbal::content::music
