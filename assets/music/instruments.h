#pragma once
// The instruments of the songs, every sample synthesised here: a drum kit from noise and
// pitched sines, and looped synthesiser tones (basses, leads, plucks, chord pads) built from
// whole-cycle partials so their loops never click.
#include <cstddef>
#include <string>
#include <vector>

#include "xm_writer.h"

namespace vrumbal::content::music {

// The shape of one oscillator's harmonics.
enum class Wave { kSaw, kSquare, kPulse25, kTriangle, kSine };

// One oscillator of a tone.
struct Oscillator {
    Wave wave = Wave::kSaw;
    int detune = 0;      // cycles more or fewer per loop than the fundamental: a slight detune
    double level = 1.0;  // share of the mix
    int octave = 0;      // octaves above (positive) or below (negative) the note
};

// A looped tone: oscillators through a low-pass, optionally opening at the start (pluck), with
// a chord of notes (semitones above the played note) sounding at once.
struct ToneRecipe {
    std::string name;
    int baseNote = 61;                    // XM note the sample sounds at its own pitch (C-5)
    std::size_t loopLength = 16384;       // samples in the loop (a power of two)
    int cyclesPerLoop = 256;              // fundamental cycles in the loop
    std::vector<Oscillator> oscillators;  // summed
    std::vector<int> chord = {0};         // semitones of the notes sounding together
    double cutoff = 4000;                 // low-pass of the sustained tone, Hz at the base note
    double resonance = 0.8;               // its quality
    double attackCutoff = 0;              // cutoff at the very start (0 = no sweep)
    double attackSeconds = 0.0;           // time for the cutoff to settle
    double drive = 0;                     // soft saturation (0 = clean)
    double maxHz = 9000;                  // highest partial at the base note
    unsigned seed = 1;                    // phases of the detuned oscillators
};

// A sample for the recipe: the opening, then a loop that repeats without a seam.
XmSample MakeTone(const ToneRecipe& recipe);

// An instrument of one sample over all notes, with a volume envelope.
XmInstrument MakeInstrument(const std::string& name, XmSample sample,
                            XmEnvelope volumeEnvelope = {}, std::uint16_t fadeout = 0);

// Envelope helpers: points (tick, value) with an optional sustain point.
XmEnvelope Envelope(std::vector<XmEnvelope::Point> points, int sustain = -1);

// Drum and effect samples, each played at C-5 at its own pitch.
XmSample KickSample(double punch);
XmSample SnareSample();
XmSample ClapSample();
XmSample HatSample(double seconds);
XmSample CrashSample();
XmSample TomSample();
XmSample BellSample();
XmSample RiserSample();

// The XM note of a note name such as "C-4", "C4", "F#5" or "Bb3" (1 = C-0).
int NoteValue(const std::string& name);

}  // namespace vrumbal::content::music
