#pragma once
// The short effects of the menus and the race, and the horn loop. Each returns samples at the
// given rate, roughly within -1..1; the caller sets the final level.
#include <cstddef>
#include <vector>

namespace vrumbal::content {

// The main menu sliding in: a rising air sweep that lands softly.
std::vector<double> MenuSlideSound(double rate);
// The selection moving to another entry: a light high tick.
std::vector<double> SelectionTickSound(double rate);
// An entry activated: a short, firm button click.
std::vector<double> ClickSound(double rate);
// A bike arrow or a line of the tally: a bright rising bip.
std::vector<double> ArrowSound(double rate);
// The horn, one loop of `length` samples (a power of two).
std::vector<double> HornLoop(double rate, std::size_t length);
// A points pickup: a two-note coin chime.
std::vector<double> PointsSound(double rate);
// A life pickup: a rising bell arpeggio with a sparkle.
std::vector<double> LifeSound(double rate);
// A spare effect: a rising boost sweep.
std::vector<double> BoostSound(double rate);
// The bike bumping into something: a dull thud with a rattle.
std::vector<double> BumpSound(double rate);
// A second of the clock running out: a wooden tock.
std::vector<double> ClockTickSound(double rate);
// The gearbox clicking into the next gear.
std::vector<double> GearBlipSound(double rate);
// A crash: an impact, scraping metal and clattering parts.
std::vector<double> CrashSound(double rate);
// The race won: a short brass fanfare.
std::vector<double> RaceWonSound(double rate);

}  // namespace vrumbal::content
