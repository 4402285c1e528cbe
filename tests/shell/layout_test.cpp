// With the game's own fonts: every text of a dialog with a panel lies inside the panel and
// clear of the Yes and No buttons, and the notices stay on the road between the HUD panels.
#include <gtest/gtest.h>

#include <string>

#include "dialog_rig.h"
#include "engine/my_image_sprite.h"
#include "ui/menu_cursor.h"

namespace vrumbal::test {
namespace {

struct Box {
    int left, top, right, bottom;
};

bool Inside(const DrawnText& t, const Box& b) {
    return t.x >= b.left && t.y >= b.top && t.x + t.width <= b.right && t.y + t.height <= b.bottom;
}

bool Overlaps(const DrawnText& t, const Box& b) {
    return t.x < b.right && b.left < t.x + t.width && t.y < b.bottom && b.top < t.y + t.height;
}

// Sets up what a dialog shows at its fullest, then opens it over the menu (where nothing else
// draws text) and runs one frame.
void ShowAtItsFullest(DialogRig& rig, DialogKindValue kind) {
    RaceState& race = rig.Race();
    race.Level = 10;
    race.Score = 99999;  // above what ten levels bring
    race.Place = 6;
    race.PlaceBonus = 800;
    race.TallyTimeLeft = 140000;
    race.TimePoints = 700;
    // All four lines of the tally, before its counting starts.
    race.TallyLines = 4;
    race.TallyStepTimer = 900;
    // The widest name the entry takes: wide letters up to the width limit, and the one that
    // may pass it.
    rig.Game().PlayerName.clear();
    rig.Form().OpenDialog(kind);
    if (kind == kDialogNameEntry) rig.Type(std::string(12, '\xD8'));  // Ш
    rig.Frames(1);
}

TEST(Layout, TextsOfPanelDialogsStayInsideThePanelAndOffTheButtons) {
    TextMetrics fonts;
    fonts.realFonts = true;
    const Box panel{185, 219, 185 + 406, 219 + 152};
    const Box buttons{249, 306, 377 + 138, 306 + 44};
    const struct {
        DialogKindValue kind;
        int texts;  // texts the dialog draws
        bool question;
    } cases[] = {{kDialogQuit, 1, true},       {kDialogExit, 1, true},
                 {kDialogClearTable, 2, true}, {kDialogUpload, 2, true},
                 {kDialogNameEntry, 3, false}, {kDialogSending, 1, false},
                 {kDialogTally, 4, false},     {kDialogCongratulation, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        DialogRig rig(85, fonts);
        ShowAtItsFullest(rig, c.kind);
        ASSERT_EQ(rig.Texts().size(), static_cast<std::size_t>(c.texts));
        for (const DrawnText& t : rig.Texts()) {
            SCOPED_TRACE(t.text);
            EXPECT_GT(t.width, 0);
            EXPECT_TRUE(Inside(t, panel)) << t.x << "," << t.y << " " << t.width << "x" << t.height;
            if (c.question) {
                EXPECT_FALSE(Overlaps(t, buttons));
            }
        }
        if (c.kind == kDialogNameEntry) {
            const TMyCursor* cursor = rig.Dialog().NameCursor;
            ASSERT_NE(cursor, nullptr);
            EXPECT_LE(cursor->X + cursor->Width, panel.right);
            EXPECT_GE(cursor->Y, panel.top);
            EXPECT_LE(cursor->Y + cursor->Height, panel.bottom);
        }
    }
}

TEST(Layout, NoticesStayBetweenTheHudPanels) {
    TextMetrics fonts;
    fonts.realFonts = true;
    // The road between the left panel (to x 174) and the right one (from x 626).
    const Box screen{174, 0, 626, 600};
    for (DialogKindValue kind : {kDialogTimeUp, kDialogPause, kDialogLevelStart, kDialogGameOver}) {
        SCOPED_TRACE(kind);
        DialogRig rig(85, fonts);
        ShowAtItsFullest(rig, kind);
        ASSERT_FALSE(rig.Texts().empty());
        for (const DrawnText& t : rig.Texts()) EXPECT_TRUE(Inside(t, screen)) << t.text;
    }
}

}  // namespace
}  // namespace vrumbal::test
