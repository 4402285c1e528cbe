// Buttons, switches, fields and the small pieces of the menu screens.
#include <cmath>

#include "content.h"
#include "menu_art.h"
#include "menu_pieces.h"

namespace vrumbal::content {

namespace {

using namespace palette;

// The emblems in the medallions of the main buttons, drawn centred on (0, 0), about 20 pixels
// across.
void Emblem(cairo_t* cr, int index) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (index) {
        case 0:  // play: a chequered flag on a pole
            cairo_set_line_width(cr, 2);
            cairo_move_to(cr, -7, 10);
            cairo_line_to(cr, -7, -10);
            cairo_stroke(cr);
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 4; ++col) {
                    if ((row + col) % 2 == 0)
                        cairo_rectangle(cr, -6 + col * 3.5, -10 + row * 3.5, 3.5, 3.5);
                }
            }
            cairo_fill(cr);
            cairo_set_line_width(cr, 1);
            cairo_rectangle(cr, -6, -10, 14, 10.5);
            cairo_stroke(cr);
            break;
        case 1: {  // help: a question mark
            SelectDisplayFont(cr, true, 24);
            cairo_text_extents_t e;
            cairo_text_extents(cr, "?", &e);
            cairo_move_to(cr, -e.x_advance / 2, -e.y_bearing / 2);
            cairo_show_text(cr, "?");
            break;
        }
        case 2:  // options: a gear wheel
            for (int tooth = 0; tooth < 8; ++tooth) {
                cairo_save(cr);
                cairo_rotate(cr, tooth * M_PI / 4);
                cairo_rectangle(cr, -2.2, -10, 4.4, 5);
                cairo_restore(cr);
            }
            cairo_fill(cr);
            cairo_set_line_width(cr, 3.5);
            cairo_arc(cr, 0, 0, 5.8, 0, 2 * M_PI);
            cairo_stroke(cr);
            break;
        case 3:  // high scores: a cup
            cairo_move_to(cr, -7, -9);
            cairo_line_to(cr, 7, -9);
            cairo_curve_to(cr, 7, -1, 4, 2, 0, 2);
            cairo_curve_to(cr, -4, 2, -7, -1, -7, -9);
            cairo_fill(cr);
            cairo_set_line_width(cr, 1.6);
            cairo_arc(cr, -7, -5, 3.2, M_PI / 2, 3 * M_PI / 2);
            cairo_stroke(cr);
            cairo_arc_negative(cr, 7, -5, 3.2, M_PI / 2, -M_PI / 2);
            cairo_stroke(cr);
            cairo_rectangle(cr, -1.3, 2, 2.6, 5);
            cairo_rectangle(cr, -5, 7, 10, 3);
            cairo_fill(cr);
            break;
        case 4:  // more games: four tiles
            for (int i = 0; i < 4; ++i) {
                RoundedRectPath(cr, -9 + (i % 2) * 10, -9 + (i / 2) * 10, 8, 8, 2);
            }
            cairo_fill(cr);
            break;
        default:  // quit: the power sign
            cairo_set_line_width(cr, 2.6);
            cairo_arc(cr, 0, 1, 8, -M_PI / 2 + 0.7, 3 * M_PI / 2 - 0.7);
            cairo_stroke(cr);
            cairo_move_to(cr, 0, -10);
            cairo_line_to(cr, 0, 0);
            cairo_stroke(cr);
            break;
    }
    cairo_new_path(cr);
}

// A chevron pointing left (-1) or right (1), centred on (x, y), h pixels high.
void Chevron(cairo_t* cr, double x, double y, double h, int direction, Rgb color) {
    const double w = h * 0.5;
    cairo_move_to(cr, x - direction * w / 2, y - h / 2);
    cairo_line_to(cr, x + direction * w / 2, y);
    cairo_line_to(cr, x - direction * w / 2, y + h / 2);
    cairo_set_line_width(cr, h * 0.28);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    SetColor(cr, color);
    cairo_stroke(cr);
}

Picture OneLook(const TwoStateButton& b, bool lit) {
    Canvas canvas(b.width, b.height);
    cairo_t* cr = canvas.Cr();
    const double plateWidth = b.width - 2 * b.inset;
    DrawPlate(cr, b.inset, 0, plateWidth, b.height, lit ? PlateLook::kLit : PlateLook::kNormal);
    const Rgb text = lit ? kInk : (b.accent ? kYellow : kLightText);
    const Rgb shadow = lit ? Hex(0xFFF6B0) : kRim;
    const double size = b.line2.empty() ? 21 : 17;
    const double chevronRoom = b.chevron != 0 ? 18 : 0;
    const double width = SelectAndMeasure(cr, b.line1, true, size);
    const double total = width + chevronRoom;
    const double left = b.inset + (plateWidth - total) / 2;
    double textCentre = b.width / 2.0;
    if (b.chevron < 0) {
        Chevron(cr, left + 6, b.height / 2.0, 14, -1, lit ? kInk : kYellow);
        textCentre = left + chevronRoom + width / 2;
    } else if (b.chevron > 0) {
        Chevron(cr, left + width + chevronRoom - 6, b.height / 2.0, 14, 1, lit ? kInk : kYellow);
        textCentre = left + width / 2;
    }
    if (b.line2.empty()) {
        CaptionEmbossed(cr, b.line1, textCentre, b.height / 2.0, true, size, text, shadow);
    } else {
        CaptionEmbossed(cr, b.line1, textCentre, b.height / 2.0 - 9.5, true, size, text, shadow);
        CaptionEmbossed(cr, b.line2, textCentre, b.height / 2.0 + 10.5, true, size, text, shadow);
    }
    return canvas.ToKeyed(b.matte);
}

}  // namespace

Picture MainButton(const Catalogue& t, int index, bool lit) {
    static const char* const kCaptions[] = {N_("ИГРАТЬ"),  N_("ПОМОЩЬ"),   N_("НАСТРОЙКИ"),
                                            N_("РЕКОРДЫ"), N_("ЕЩЁ ИГРЫ"), N_("ВЫХОД")};
    const std::string caption = t.Translate(kCaptions[index]);
    Canvas canvas(kMainButtonWidth, kMainButtonHeight);
    cairo_t* cr = canvas.Cr();
    DrawPlate(cr, 0, 0, kMainButtonWidth, kMainButtonHeight,
              lit ? PlateLook::kLit : PlateLook::kNormal);
    // The medallion with the entry's emblem.
    const double mx = 34, my = kMainButtonHeight / 2.0;
    cairo_arc(cr, mx, my + 1, 17, 0, 2 * M_PI);
    SetColor(cr, lit ? Hex(0xFFF3A0) : kBevelLight, 0.7);
    cairo_fill(cr);
    cairo_arc(cr, mx, my, 17, 0, 2 * M_PI);
    SetColor(cr, lit ? kInk : Hex(0x16191D));
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, mx, my);
    SetColor(cr, lit ? kYellow : kYellow);
    Emblem(cr, index);
    cairo_restore(cr);
    // A thin divider between the medallion and the caption.
    cairo_rectangle(cr, 60, 10, 1, kMainButtonHeight - 20);
    SetColor(cr, lit ? Hex(0xB36A00) : kBevelDark, 0.8);
    cairo_fill(cr);
    cairo_rectangle(cr, 61, 10, 1, kMainButtonHeight - 20);
    SetColor(cr, lit ? Hex(0xFFF6B0) : kBevelLight, 0.5);
    cairo_fill(cr);
    const double captionCentre = (62 + kMainButtonWidth - 8) / 2.0;
    if (lit) {
        CaptionEmbossed(cr, caption, captionCentre, my, true, 25, kInk, Hex(0xFFF6B0));
    } else {
        CaptionEmbossed(cr, caption, captionCentre, my, true, 25, kLightText, kRim);
    }
    return canvas.ToKeyed(ToHex(kColumn));
}

Picture MakeTwoStateButton(const TwoStateButton& button) {
    return JoinPatterns({OneLook(button, true), OneLook(button, false)});
}

Picture BikeArrowButton(int direction) {
    constexpr int kWidth = 64, kHeight = 205, kInset = 6;
    auto look = [&](bool lit) {
        Canvas canvas(kWidth, kHeight);
        cairo_t* cr = canvas.Cr();
        DrawPlate(cr, kInset, 0, kWidth - 2 * kInset, kHeight,
                  lit ? PlateLook::kLit : PlateLook::kNormal);
        Chevron(cr, kWidth / 2.0, kHeight / 2.0, 30, direction, lit ? kInk : kYellow);
        // Two smaller chevrons trailing it give a sense of motion.
        Chevron(cr, kWidth / 2.0, kHeight / 2.0 - 38, 14, direction,
                lit ? Mix(kInk, kOrange, 0.4) : Mix(kYellow, kPlateMid, 0.55));
        Chevron(cr, kWidth / 2.0, kHeight / 2.0 + 38, 14, direction,
                lit ? Mix(kInk, kOrange, 0.4) : Mix(kYellow, kPlateMid, 0.55));
        return canvas.ToKeyed(ToHex(kPanelInset));
    };
    return JoinPatterns({look(true), look(false)});
}

Picture OptionSwitch(int width, const std::string& left, const std::string& right, int lit,
                     bool litIsOff) {
    constexpr int kHeight = 30;
    Canvas canvas(width, kHeight);
    cairo_t* cr = canvas.Cr();
    DrawRecess(cr, 0, 0, width, kHeight, 8, Hex(0x0F1215));
    const double half = width / 2.0;
    // The lit half is a raised key; the other half stays sunken with a dim caption.
    const double x = lit == 0 ? 3 : half + 1;
    const Rgb glowTop = litIsOff ? Hex(0xFF8A6A) : Hex(0x9CFFE6);
    const Rgb glow = litIsOff ? Hex(0xE5483A) : kMint;
    const Rgb glowBottom = litIsOff ? Hex(0x9E2418) : Hex(0x14A884);
    RoundedRectPath(cr, x, 3, half - 4, kHeight - 6, 6);
    FillVertical(cr, 3, kHeight - 3, glowTop, glow, glowBottom, 0.45);
    SetColor(cr, kRim, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const std::string& litText = lit == 0 ? left : right;
    const std::string& dimText = lit == 0 ? right : left;
    const double dimX = lit == 0 ? half + half / 2 : half / 2;
    CaptionCentred(cr, litText, x + (half - 4) / 2, kHeight / 2.0, true, 15, kInk);
    CaptionCentred(cr, dimText, dimX, kHeight / 2.0, true, 15, kDimText);
    return canvas.ToKeyed(ToHex(kPanelInset));
}

Picture ValueFrame(int width, int height) {
    Canvas canvas(width, height);
    cairo_t* cr = canvas.Cr();
    DrawRecess(cr, 0, 0, width, height, 7, Hex(0x0C0E11));
    // A mint hairline inside the field marks it as a place to type.
    RoundedRectPath(cr, 3.5, 4.5, width - 7, height - 8, 5);
    SetColor(cr, kMint, 0.28);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return canvas.ToKeyed(ToHex(kPanelInset));
}

Picture TextCursor() {
    Canvas canvas(4, 23);
    cairo_t* cr = canvas.Cr();
    cairo_rectangle(cr, 0, 0, 3, 23);
    SetColor(cr, kMintBright);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, 1, 23);
    SetColor(cr, Hex(0xB0FFE8));
    cairo_fill(cr);
    return canvas.ToKeyed(0x0C0E11);
}

Picture InvisiblePicture(int width, int height) {
    Canvas canvas(width, height);
    return canvas.ToKeyed(0);
}

Picture RatingPip() {
    constexpr int kWidth = 14, kHeight = 20;
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    // A slanted segment, like one bar of a rev counter.
    auto segment = [&](double inset) {
        cairo_move_to(cr, 4 + inset, inset);
        cairo_line_to(cr, kWidth - inset, inset);
        cairo_line_to(cr, kWidth - 4 - inset, kHeight - inset);
        cairo_line_to(cr, inset, kHeight - inset);
        cairo_close_path(cr);
    };
    segment(0);
    SetColor(cr, kRim);
    cairo_fill(cr);
    segment(1.5);
    FillVertical(cr, 1, kHeight - 1, Hex(0xFFF38A), kYellow, kOrange, 0.4);
    cairo_new_path(cr);
    cairo_move_to(cr, 6, 3);
    cairo_line_to(cr, kWidth - 2.5, 3);
    SetColor(cr, Hex(0xFFFDE0), 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return canvas.ToKeyed(0x101317);
}

}  // namespace vrumbal::content
