// The sound library: the game plays every effect by its position here, so the order is fixed.
#include <cmath>
#include <stdexcept>
#include <string>

#include "content.h"
#include "effect_sounds.h"
#include "engine_sounds.h"
#include "game/content_ids.h"
#include "synth.h"

namespace vrumbal::content {

// The ids run from 0 without a gap, so the library's places are exactly the game's ids.
static_assert(kSoundMenuSlide == 0 && kSoundRaceWon + 1 == kSoundCount);

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
    // Each sound goes to the place the game's id gives it.
    auto add = [&](SoundId id, const char* name, const std::vector<double>& samples, bool looped,
                   int maxPlaying) {
        if (library.items.size() != static_cast<std::size_t>(id)) {
            throw std::logic_error(std::string("the sound ") + name + " is out of its place");
        }
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

    add(kSoundMenuSlide, "MenuSlide", Effect(MenuSlideSound(kRate)), false, 1);
    add(kSoundSelect, "Select", Effect(SelectionTickSound(kRate), -5.0), false, 2);
    add(kSoundClick, "Click", Effect(ClickSound(kRate)), false, 2);
    add(kSoundArrow, "Arrow", Effect(ArrowSound(kRate), -4.0), false, 3);
    add(kSoundEngineIdle, "EngineIdle", Engine(idle, kEnginePeakDb - 1.5), true, 1);
    add(kSoundGearShift, "GearShift", Effect(EngineShift(kRate, 66.0, 52.0), kEnginePeakDb), false,
        1);
    add(kSoundEngineCoast, "EngineCoast", Engine(coast, kEnginePeakDb - 1.0), true, 1);
    add(kSoundSkid, "Skid", Engine(skid, kEnginePeakDb + 1.0), true, 1);
    {
        auto horn = HornLoop(kRate, kHornLoop);
        synth::NormalizePeak(horn, Db(-6.0));
        add(kSoundHorn, "Horn", horn, true, 1);
    }
    add(kSoundEngineGear1, "EngineGear1", Engine(Gear(48, 0.75, 9), kEnginePeakDb), true, 1);
    add(kSoundEngineGear2, "EngineGear2", Engine(Gear(60, 0.8, 10), kEnginePeakDb), true, 1);
    add(kSoundEngineGear3, "EngineGear3", Engine(Gear(72, 0.85, 11), kEnginePeakDb), true, 1);
    add(kSoundEngineGear4, "EngineGear4", Engine(Gear(84, 0.9, 12), kEnginePeakDb), true, 1);
    add(kSoundEngineTop, "EngineTop", Engine(Gear(98, 1.0, 13), kEnginePeakDb), true, 1);
    add(kSoundPoints, "Points", Effect(PointsSound(kRate)), false, 3);
    add(kSoundLife, "Life", Effect(LifeSound(kRate)), false, 1);
    add(kSoundBoost, "Boost", Effect(BoostSound(kRate)), false, 1);
    add(kSoundBump, "Bump", Effect(BumpSound(kRate)), false, 2);
    add(kSoundClockTick, "ClockTick", Effect(ClockTickSound(kRate), -4.0), false, 2);
    add(kSoundGearBlip, "GearBlip", Effect(GearBlipSound(kRate), -6.0), false, 2);
    add(kSoundCrash, "Crash", Effect(CrashSound(kRate)), false, 2);
    add(kSoundRaceWon, "RaceWon", Effect(RaceWonSound(kRate)), false, 1);
    if (library.items.size() != kSoundCount) throw std::logic_error("sounds are missing");
    return library;
}

}  // namespace vrumbal::content
