#pragma once
// The five bike models seen from straight above, with their riders: the large pictures of the
// bike choice screen, the bikes of the menu background and the about picture.
#include <cairo.h>

#include "menu_art.h"

namespace vrumbal::content {

// The colours of a bike model: the race pictures use the same ones.
struct BikeColors {
    Rgb body;    // fairing, tank and tail
    Rgb light;   // highlights of the body
    Rgb dark;    // shaded parts of the body
    Rgb stripe;  // racing stripes and the helmet's band
};

// The colours of model 1..5 (red, blue, yellow, green, white with violet).
BikeColors BikeModelColors(int model);

// Draws bike model 1..5 centred on (cx, cy), length pixels from front to rear tyre, turned
// clockwise by angle radians from pointing up; with a soft shadow below right when asked.
void DrawBike(cairo_t* cr, int model, double cx, double cy, double length, double angle,
              bool shadow);

}  // namespace vrumbal::content
