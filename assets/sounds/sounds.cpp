// The sound library: the game plays every effect by its position here, so the order is fixed.
#include <cmath>

#include "content.h"
#include "effect_sounds.h"
#include "engine_sounds.h"
#include "synth.h"

namespace vrumbal::content {

namespace {

constexpr int kRate = 22050;
// Every engine loop is this long (about 1.5 s): long enough that its unevenness never sounds
// like a short repeating figure.
constexpr std::size_t kEngineLoop = 32768;
// The horn repeats sooner; it is a steady tone.
constexpr std::size_t kHornLoop = 16384;

double Db(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

// Effects peak near -3 dBFS; the engine sits lower so music and effects stay on top of it.
constexpr double kEffectPeakDb = -3.0;
constexpr double kEnginePeakDb = -8.0;

// A gear of the engine: firing rate and load rise with the gear.
EngineSetting Gear(double firingHz, double load, std::uint64_t seed) {
    EngineSetting s;
    s.firingHz = firingHz;
    s.load = load;
    s.roughness = 0.07;
    s.seed = seed;
    return s;
}

std::vector<double> Engine(const EngineSetting& setting, double peakDb) {
    auto loop = EngineLoop(setting, kRate, kEngineLoop);
    synth::NormalizePeak(loop, Db(peakDb));
    return loop;
}

std::vector<double> Effect(std::vector<double> samples, double peakDb = kEffectPeakDb) {
    synth::NormalizePeak(samples, Db(peakDb));
    return samples;
}

}  // namespace

WaveLibraryData BuildSounds() {
    WaveLibraryData library;
    auto add = [&](const char* name, const std::vector<double>& samples, bool looped,
                   int maxPlaying) {
        library.items.push_back(
            MakeSoundItem(name, synth::ToFloat(samples), kRate, looped, maxPlaying));
    };

    EngineSetting idle;
    idle.firingHz = 21;
    idle.load = 0.15;
    idle.roughness = 0.16;
    idle.seed = 4;
    EngineSetting coast;
    coast.firingHz = 50;
    coast.load = 0.05;
    coast.roughness = 0.12;
    coast.crackle = 3.0;
    coast.seed = 6;
    EngineSetting skid;
    skid.firingHz = 40;
    skid.load = 0.2;
    skid.roughness = 0.1;
    skid.squeal = 1.0;
    skid.seed = 7;

    add("MenuSlide", Effect(MenuSlideSound(kRate)), false, 1);                          // 0
    add("Select", Effect(SelectionTickSound(kRate), -5.0), false, 2);                   // 1
    add("Click", Effect(ClickSound(kRate)), false, 2);                                  // 2
    add("Arrow", Effect(ArrowSound(kRate), -4.0), false, 3);                            // 3
    add("EngineIdle", Engine(idle, kEnginePeakDb - 1.5), true, 1);                      // 4
    add("GearShift", Effect(EngineShift(kRate, 66.0, 52.0), kEnginePeakDb), false, 1);  // 5
    add("EngineCoast", Engine(coast, kEnginePeakDb - 1.0), true, 1);                    // 6
    add("Skid", Engine(skid, kEnginePeakDb + 1.0), true, 1);                            // 7
    {
        auto horn = HornLoop(kRate, kHornLoop);
        synth::NormalizePeak(horn, Db(-6.0));
        add("Horn", horn, true, 1);  // 8
    }
    add("EngineGear1", Engine(Gear(48, 0.75, 9), kEnginePeakDb), true, 1);   // 9
    add("EngineGear2", Engine(Gear(60, 0.8, 10), kEnginePeakDb), true, 1);   // 10
    add("EngineGear3", Engine(Gear(72, 0.85, 11), kEnginePeakDb), true, 1);  // 11
    add("EngineGear4", Engine(Gear(84, 0.9, 12), kEnginePeakDb), true, 1);   // 12
    add("EngineTop", Engine(Gear(98, 1.0, 13), kEnginePeakDb), true, 1);     // 13
    add("Points", Effect(PointsSound(kRate)), false, 3);                     // 14
    add("Life", Effect(LifeSound(kRate)), false, 1);                         // 15
    add("Boost", Effect(BoostSound(kRate)), false, 1);                       // 16
    add("Bump", Effect(BumpSound(kRate)), false, 2);                         // 17
    add("ClockTick", Effect(ClockTickSound(kRate), -4.0), false, 2);         // 18
    add("GearBlip", Effect(GearBlipSound(kRate), -6.0), false, 2);           // 19
    add("Crash", Effect(CrashSound(kRate)), false, 2);                       // 20
    add("RaceWon", Effect(RaceWonSound(kRate)), false, 1);                   // 21
    return library;
}

}  // namespace vrumbal::content
