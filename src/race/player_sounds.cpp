// The bike's engine and its other sounds: which engine sound runs at which speed, the gear
// changes (whose first one also lays a tyre mark), and stopping and restarting them.
#include "game/content_ids.h"
#include "game/game_host.h"
#include "race/player.h"

namespace vrumbal {
namespace {

// The engine's sounds, and the others the bike starts, stopped together.
constexpr SoundId kEngineSounds[] = {kSoundEngineIdle,  kSoundEngineGear1, kSoundEngineGear2,
                                     kSoundEngineGear3, kSoundEngineGear4, kSoundGearShift,
                                     kSoundEngineCoast, kSoundEngineTop,   kSoundSkid};
constexpr SoundId kOtherBikeSounds[] = {kSoundHorn, kSoundPoints, kSoundLife, kSoundBoost,
                                        kSoundBump};

// Engine speed bands under throttle, in units of the top-speed factor.
struct GearBand {
    double low;   // exclusive
    double high;  // inclusive
    EngineSoundState kind;
    SoundId sound;
    bool firstShift;  // the first gear change: a click and a tyre mark
};
constexpr GearBand kGearBands[] = {
    {0, 65, EngineSoundState::Gear, kSoundEngineGear1, false},
    {65, 67, EngineSoundState::Shift, kSoundGearShift, true},
    {67, 90, EngineSoundState::Gear, kSoundEngineGear2, false},
    {95, 97, EngineSoundState::Shift, kSoundGearShift, false},
    {97, 115, EngineSoundState::Gear, kSoundEngineGear3, false},
    {115, 116, EngineSoundState::Shift, kSoundGearShift, false},
    {116, 130, EngineSoundState::Gear, kSoundEngineGear4, false},
    {130, 131, EngineSoundState::Shift, kSoundGearShift, false},
    {131, 142, EngineSoundState::Gear, kSoundEngineGear4, false},
    {142, 143, EngineSoundState::Shift, kSoundGearShift, false},
    {143, 157, EngineSoundState::Gear, kSoundEngineGear4, false},
    {157, 180, EngineSoundState::Top, kSoundEngineTop, false},
};

}  // namespace

void TPlayer::SetEngineSound(SoundId n) {
    StopBikeSounds(false);
    host_.PlaySound(n);
    switch (n) {
        case kSoundEngineTop:
            EngineSound = EngineSoundState::Top;
            break;
        case kSoundEngineIdle:
            EngineSound = EngineSoundState::Idle;
            break;
        case kSoundGearShift:
            EngineSound = EngineSoundState::Shift;
            break;
        case kSoundEngineCoast:
            EngineSound = EngineSoundState::Coast;
            break;
        case kSoundSkid:
            EngineSound = EngineSoundState::Skid;
            break;
        default:
            EngineSound = EngineSoundState::Gear;
            break;
    }
}

void TPlayer::StopBikeSounds(bool all) {
    for (SoundId n : kEngineSounds) host_.StopSound(n);
    if (!all) return;
    for (SoundId n : kOtherBikeSounds) host_.StopSound(n);
}

void TPlayer::RestartEngineSound(bool withHorn) {
    switch (EngineSound) {
        case EngineSoundState::Top:
            host_.PlaySound(kSoundEngineTop);
            break;
        case EngineSoundState::Idle:
            host_.PlaySound(kSoundEngineIdle);
            break;
        // Which gear ran is not kept: the highest gear's sound stands for all.
        case EngineSoundState::Gear:
            host_.PlaySound(kSoundEngineGear4);
            break;
        case EngineSoundState::Shift:
            host_.PlaySound(kSoundGearShift);
            break;
        case EngineSoundState::Coast:
            host_.PlaySound(kSoundEngineCoast);
            break;
        case EngineSoundState::Skid:
            host_.PlaySound(kSoundSkid);
            break;
        case EngineSoundState::None:
            break;
    }
    if (withHorn && HornOn) host_.PlaySound(kSoundHorn);
}

void TPlayer::UpdateEngineSound() {
    GearShiftMark = false;
    if (!OnRoad) {
        if (EngineSound != EngineSoundState::Idle) SetEngineSound(kSoundEngineIdle);
        return;
    }
    const double v = Speed;
    const double m = TopSpeedFactor();
    if (Throttle && !HandBrake && !Brake) {
        for (const GearBand& band : kGearBands) {
            if (!(v > band.low * m && v <= band.high * m)) continue;
            if (EngineSound == band.kind) continue;
            SetEngineSound(band.sound);
            if (band.firstShift) {
                host_.PlaySound(kSoundGearBlip);
                GearShiftMark = true;
            }
        }
    }
    if ((!Throttle && !HandBrake) || (Throttle && Brake)) {
        if (v > 40) {
            if (EngineSound != EngineSoundState::Coast) SetEngineSound(kSoundEngineCoast);
        } else if (EngineSound != EngineSoundState::Idle) {
            SetEngineSound(kSoundEngineIdle);
        }
    }
    if (HandBrake && EngineSound != EngineSoundState::Skid && v != 0) {
        SetEngineSound(kSoundSkid);
    } else if (EngineSound == EngineSoundState::Skid && v == 0) {
        SetEngineSound(kSoundEngineIdle);
    }
}

}  // namespace vrumbal
