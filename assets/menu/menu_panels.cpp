// The panels the sub-screens and dialogs draw their texts on, the screen titles, the bike
// showcase pictures and the about picture.
#include <algorithm>
#include <cmath>
#include <string>

#include "bike_art.h"
#include "content.h"
#include "menu_art.h"
#include "menu_pieces.h"

namespace vrumbal::content {

namespace {

using namespace palette;

// Where the sub-screen panels stand on the screen; texts and pieces are placed against it.
constexpr int kSubPanelLeft = 358;
constexpr int kSubPanelTop = 130;

// The metal body every panel shares: rim, body, bevel, a yellow accent and four rivets.
void PanelFrame(cairo_t* cr, double w, double h) {
    RoundedRectPath(cr, 0, 0, w, h, 12);
    SetColor(cr, kRim);
    cairo_fill(cr);
    RoundedRectPath(cr, 2, 2, w - 4, h - 4, 10);
    // The body is lighter at the top and flat from 120 pixels down, so that pieces placed
    // lower down can be keyed over one known colour.
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, 120);
    cairo_pattern_add_color_stop_rgb(body, 0, kPanelTop.r, kPanelTop.g, kPanelTop.b);
    cairo_pattern_add_color_stop_rgb(body, 1, kPanelBottom.r, kPanelBottom.g, kPanelBottom.b);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_save(cr);
    cairo_clip(cr);
    PaintGrain(cr, 0, 0, static_cast<int>(w), static_cast<int>(h), 0.035, 7);
    cairo_restore(cr);
    // Bevel.
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 12, 2.5);
    cairo_line_to(cr, w - 12, 2.5);
    SetColor(cr, kBevelLight, 0.9);
    cairo_stroke(cr);
    cairo_move_to(cr, 12, h - 2.5);
    cairo_line_to(cr, w - 12, h - 2.5);
    SetColor(cr, kBevelDark);
    cairo_stroke(cr);
    // A yellow accent bar on the top edge and three mint lamps at the right.
    cairo_move_to(cr, 16, 4);
    cairo_line_to(cr, 128, 4);
    cairo_line_to(cr, 122, 9);
    cairo_line_to(cr, 16, 9);
    cairo_close_path(cr);
    SetColor(cr, kYellow);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, w - 20 - i * 9, 7, 2.2, 0, 2 * M_PI);
        SetColor(cr, i == 0 ? kMint : Mix(kMint, kPanelTop, 0.65));
        cairo_fill(cr);
    }
}

// A rivet head.
void Rivet(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y + 0.6, 2.8, 0, 2 * M_PI);
    SetColor(cr, kBevelDark);
    cairo_fill(cr);
    cairo_arc(cr, x, y, 2.4, 0, 2 * M_PI);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - 1, y - 1, 0.2, x, y, 2.6);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.75, 0.78, 0.82);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.25, 0.28, 0.32);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// The recessed content area of a sub-screen panel (screen 368..780 x 144..522).
void ContentArea(cairo_t* cr) {
    DrawRecess(cr, 10, 14, 412, 378, 8, kPanelInset);
    Rivet(cr, 8, 404);
    Rivet(cr, 424, 404);
}

// Right-aligned text with the middle of its capitals on cy.
void CaptionRight(cairo_t* cr, const std::string& text, double right, double cy, double size,
                  Rgb color) {
    const double width = SelectAndMeasure(cr, text, true, size);
    CaptionCentred(cr, text, right - width / 2, cy, true, size, color);
}

}  // namespace

Picture OptionsPanel() {
    Canvas canvas(432, 465);
    cairo_t* cr = canvas.Cr();
    PanelFrame(cr, 432, 465);
    ContentArea(cr);
    return canvas.ToKeyed(ToHex(kRim));
}

Picture BikeChoicePanel(const Catalogue& t) {
    Canvas canvas(432, 465);
    cairo_t* cr = canvas.Cr();
    PanelFrame(cr, 432, 465);
    ContentArea(cr);
    // The showcase window the bike pictures fill (they stand at 456, 180, 256 x 205).
    const double sx = 456 - kSubPanelLeft, sy = 180 - kSubPanelTop;
    DrawRecess(cr, sx - 4, sy - 4, 264, 213, 6, kRim);
    // Rating rows: captions left of the pips, which the game draws 18 pixels apart from x 546
    // with their tops at these heights.
    // "УПРАВЛЕНИЕ" is also the help's heading for the controls: here it is how a bike handles.
    constexpr const char* kRating = "bike rating";
    static const char* const kCaptions[] = {
        NC_("bike rating", "СКОРОСТЬ"), NC_("bike rating", "УПРАВЛЕНИЕ"),
        NC_("bike rating", "РАЗГОН"), NC_("bike rating", "ТОРМОЗА")};
    constexpr int kRowTops[] = {396, 424, 454, 486};
    constexpr int kPipLeft = 546, kPipPitch = 18, kMaxPips = 11;
    for (int row = 0; row < 4; ++row) {
        const double top = kRowTops[row] - kSubPanelTop;
        const double centre = top + 10;
        CaptionRight(cr, t.Translate(kCaptions[row], kRating), kPipLeft - kSubPanelLeft - 10,
                     centre, 15, kMint);
        DrawRecess(cr, kPipLeft - kSubPanelLeft - 4, top - 3, kMaxPips * kPipPitch + 2, 26, 4,
                   Hex(0x101317));
        // Empty sockets show how far each scale goes.
        for (int i = 0; i < kMaxPips; ++i) {
            const double x = kPipLeft - kSubPanelLeft + i * kPipPitch;
            cairo_move_to(cr, x + 4.5, top + 1.5);
            cairo_line_to(cr, x + 12.5, top + 1.5);
            cairo_line_to(cr, x + 9.5, top + 18.5);
            cairo_line_to(cr, x + 1.5, top + 18.5);
            cairo_close_path(cr);
            SetColor(cr, Hex(0x262B32));
            cairo_fill(cr);
        }
    }
    return canvas.ToKeyed(ToHex(kRim));
}

Picture HighScorePanel(const Catalogue& t) {
    // Drawn above the screen's buttons, so it ends at y 526, clear of them (from y 532).
    constexpr int kLeft = 356, kWidth = 436, kHeight = 396;
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    PanelFrame(cr, kWidth, kHeight);
    // Column heads; the game centres names on x 578 and scores on x 732.
    constexpr double kRankX = 392 - kLeft, kNameX = 578 - kLeft, kScoreX = 732 - kLeft;
    CaptionCentred(cr, t.Translate(N_("МЕСТО")), kRankX, 30, true, 14, kMint);
    CaptionCentred(cr, t.Translate(N_("ИМЯ")), kNameX, 30, true, 14, kMint);
    CaptionCentred(cr, t.Translate(N_("ОЧКИ")), kScoreX, 30, true, 14, kMint);
    DrawRecess(cr, 10, 46, kWidth - 20, 340, 8, kPanelInset);
    for (int k = 1; k <= 10; ++k) {
        const double y = std::nearbyint((k - 1) * 33.7 + 196) - kSubPanelTop;
        if (k % 2 == 0) {
            cairo_rectangle(cr, 12, y - 16, kWidth - 24, 33);
            SetColor(cr, Hex(0xFFFFFF), 0.035);
            cairo_fill(cr);
        }
        // The rank badge: gold, silver and bronze for the first three.
        const Rgb badge = k == 1   ? Hex(0xFFD23A)
                          : k == 2 ? Hex(0xC9D1D9)
                          : k == 3 ? Hex(0xD58C4C)
                                   : Hex(0x2C323A);
        cairo_arc(cr, kRankX, y + 1, 12, 0, 2 * M_PI);
        SetColor(cr, kRim);
        cairo_fill(cr);
        cairo_arc(cr, kRankX, y, 11, 0, 2 * M_PI);
        FillVertical(cr, y - 11, y + 11, Mix(badge, Hex(0xFFFFFF), 0.35), badge,
                     Mix(badge, kRim, 0.35));
        cairo_new_path(cr);
        CaptionCentred(cr, std::to_string(k), kRankX, y, true, k == 10 ? 13 : 15,
                       k <= 3 ? kInk : kCream);
    }
    // Column rules between rank, name and score.
    for (double x : {422.0 - kLeft, 680.0 - kLeft}) {
        cairo_rectangle(cr, x, 52, 1, 328);
        SetColor(cr, kBevelDark);
        cairo_fill(cr);
        cairo_rectangle(cr, x + 1, 52, 1, 328);
        SetColor(cr, kBevelLight, 0.25);
        cairo_fill(cr);
    }
    return canvas.ToKeyed(ToHex(kRim));
}

Picture DialogPanel() {
    // The texts are centred on x 382; the panel reaches a little further right, where the
    // tally's left-aligned lines end.
    constexpr int kWidth = 406, kHeight = 152;
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    RoundedRectPath(cr, 0, 0, kWidth, kHeight, 10);
    SetColor(cr, kRim);
    cairo_fill(cr);
    RoundedRectPath(cr, 2, 2, kWidth - 4, kHeight - 4, 8);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, 60);
    cairo_pattern_add_color_stop_rgb(body, 0, kPanelTop.r, kPanelTop.g, kPanelTop.b);
    cairo_pattern_add_color_stop_rgb(body, 1, kPanelBottom.r, kPanelBottom.g, kPanelBottom.b);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // A yellow stripe along the top and yellow brackets in the corners.
    cairo_rectangle(cr, 10, 3, kWidth - 20, 3);
    SetColor(cr, kYellow);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    SetColor(cr, kYellow, 0.85);
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 == 0 ? 9 : kWidth - 9;
        const double y = corner < 2 ? 13 : kHeight - 9;
        const double dx = corner % 2 == 0 ? 12 : -12;
        const double dy = corner < 2 ? 10 : -10;
        cairo_move_to(cr, x + dx, y);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x, y + dy);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 12, kHeight - 2.5);
    cairo_line_to(cr, kWidth - 12, kHeight - 2.5);
    SetColor(cr, kBevelDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return canvas.ToKeyed(ToHex(kRim));
}

Picture ScreenTitle(const std::string& caption, int left) {
    constexpr int kHeight = 76;
    constexpr double kCentre = 575, kSize = 50, kSlant = -0.2;
    const int width = std::min(2 * (static_cast<int>(kCentre) - left), 800 - left);
    Canvas canvas(width, kHeight);
    cairo_t* cr = canvas.Cr();
    const double textWidth = SelectAndMeasure(cr, caption, true, kSize);
    const double cx = kCentre - left;
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "Н", &cap);
    const double baseline = 32 - cap.y_bearing / 2;
    // An underline bar in mint that runs out in a point on either side.
    const double barHalf = textWidth / 2 + 18;
    cairo_move_to(cr, cx - barHalf, 64);
    cairo_line_to(cr, cx + barHalf - 6, 64);
    cairo_line_to(cr, cx + barHalf, 69);
    cairo_line_to(cr, cx - barHalf + 6, 69);
    cairo_close_path(cr);
    SetColor(cr, kInk);
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    SetColor(cr, kMint);
    cairo_fill(cr);
    // The caption: slanted forward, dark outline and drop shadow, yellow to orange fill.
    cairo_save(cr);
    cairo_matrix_t slant;
    cairo_matrix_init(&slant, 1, 0, kSlant, 1, -kSlant * baseline, 0);
    cairo_transform(cr, &slant);
    SelectDisplayFont(cr, true, kSize);
    cairo_move_to(cr, cx - textWidth / 2 + 3, baseline + 4);
    cairo_text_path(cr, caption.c_str());
    SetColor(cr, kInk);
    cairo_set_line_width(cr, 6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_move_to(cr, cx - textWidth / 2, baseline);
    cairo_text_path(cr, caption.c_str());
    cairo_set_line_width(cr, 6);
    cairo_stroke_preserve(cr);
    FillVertical(cr, baseline + cap.y_bearing, baseline, Hex(0xFFF59A), kYellow, kOrange, 0.5);
    cairo_new_path(cr);
    cairo_restore(cr);
    return canvas.ToKeyed(ToHex(kInk));
}

Picture BikeShowcase(const Catalogue& t, int model) {
    static const char* const kNames[] = {N_("ТАЙФУН"), N_("СТРЕЛА"), N_("ЗУБР"), N_("ГЕПАРД"),
                                         N_("ФАНТОМ")};
    constexpr int kWidth = 256, kHeight = 205;
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    // The floor: dark under a spotlight, with a turntable ring.
    cairo_pattern_t* light = cairo_pattern_create_radial(150, 100, 10, 150, 100, 190);
    cairo_pattern_add_color_stop_rgb(light, 0, 0.29, 0.32, 0.36);
    cairo_pattern_add_color_stop_rgb(light, 0.5, 0.15, 0.17, 0.20);
    cairo_pattern_add_color_stop_rgb(light, 1, 0.06, 0.07, 0.08);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    SetColor(cr, Hex(0xFFFFFF), 0.045);
    cairo_set_line_width(cr, 1);
    for (int x = 8; x < kWidth; x += 16) {
        cairo_move_to(cr, x + 0.5, 0);
        cairo_line_to(cr, x + 0.5, kHeight);
    }
    for (int y = 4; y < kHeight; y += 16) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, kWidth, y + 0.5);
    }
    cairo_stroke(cr);
    cairo_arc(cr, 150, 100, 92, 0, 2 * M_PI);
    SetColor(cr, Hex(0x000000), 0.25);
    cairo_set_line_width(cr, 7);
    cairo_stroke(cr);
    cairo_arc(cr, 150, 100, 92, 0, 2 * M_PI);
    SetColor(cr, kMint, 0.35);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (int tick = 0; tick < 24; ++tick) {
        const double a = tick * M_PI / 12;
        cairo_move_to(cr, 150 + std::cos(a) * 84, 100 + std::sin(a) * 84);
        cairo_line_to(cr, 150 + std::cos(a) * 88, 100 + std::sin(a) * 88);
    }
    SetColor(cr, kMint, 0.3);
    cairo_stroke(cr);
    DrawBike(cr, model, 150, 100, 188, 0.62, true);
    // The model's number and name in the corner.
    const std::string number = "0" + std::to_string(model);
    cairo_save(cr);
    SelectDisplayFont(cr, true, 40);
    cairo_move_to(cr, 10, 42);
    cairo_text_path(cr, number.c_str());
    SetColor(cr, kInk);
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    const BikeColors colors = BikeModelColors(model);
    // The white model shows its violet here.
    const Rgb signature = model == 5 ? colors.stripe : colors.body;
    FillVertical(cr, 12, 42, Mix(signature, Hex(0xFFFFFF), 0.3), signature, signature);
    cairo_new_path(cr);
    cairo_restore(cr);
    const std::string name = t.Translate(kNames[model - 1]);
    const double nameWidth = SelectAndMeasure(cr, name, true, 17);
    CaptionCentred(cr, name, 12 + nameWidth / 2, 190, true, 17, kLightText);
    cairo_rectangle(cr, 12, 174, nameWidth, 2);
    SetColor(cr, signature);
    cairo_fill(cr);
    return canvas.ToOpaque(0);
}

Picture AboutPicture() {
    // At (300, 440): the drawing keeps to x 366..782 of the screen, inside the help panel and
    // clear of the main buttons.
    constexpr int kWidth = 490, kHeight = 90, kFrom = 68, kTo = 480;
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    // A stretch of road with kerbs.
    RoundedRectPath(cr, kFrom, 12, kTo - kFrom, 66, 10);
    SetColor(cr, kRim);
    cairo_fill(cr);
    cairo_save(cr);
    RoundedRectPath(cr, kFrom + 2, 14, kTo - kFrom - 4, 62, 8);
    cairo_clip(cr);
    cairo_rectangle(cr, kFrom, 12, kTo - kFrom, 66);
    SetColor(cr, Hex(0x4B4F55));
    cairo_fill(cr);
    PaintGrain(cr, kFrom, 12, kTo - kFrom, 66, 0.10, 21);
    for (int i = 0; kFrom + i * 16 < kTo; ++i) {
        cairo_rectangle(cr, kFrom + i * 16, 14, 16, 5);
        cairo_rectangle(cr, kFrom + i * 16, 71, 16, 5);
        SetColor(cr, i % 2 == 0 ? Hex(0xE03A2F) : Hex(0xF2F2EE));
        cairo_fill(cr);
    }
    SetColor(cr, Hex(0xF2F2EE), 0.85);
    for (int x = kFrom + 6; x < kTo; x += 40) {
        cairo_rectangle(cr, x, 44, 22, 3);
    }
    cairo_fill(cr);
    // Tyre marks and speed lines trailing the bike.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 5; ++i) {
        const double y = 26 + i * 9.5;
        cairo_move_to(cr, kFrom + 24 + (i % 2) * 30, y);
        cairo_line_to(cr, 292 - (i == 2 ? 0 : 16), y);
        cairo_set_line_width(cr, i == 2 ? 3 : 2);
        SetColor(cr, i % 2 == 0 ? kYellow : kMint, 0.55);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    DrawBike(cr, 1, 372, 45, 150, M_PI / 2, true);
    // A chequered flag band at the finish end.
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 2; ++col) {
            cairo_rectangle(cr, kTo - 22 + col * 8, 14 + row * 10.33, 8, 10.33);
            SetColor(cr, (row + col) % 2 == 0 ? Hex(0xF2F2EE) : Hex(0x15171B));
            cairo_fill(cr);
        }
    }
    return canvas.ToKeyed(ToHex(kPanelInset));
}

}  // namespace vrumbal::content
