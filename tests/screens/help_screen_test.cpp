// The help screen through the real frame loop: turning pages, the pictures of each page, and
// texts that stay on the panel.
#include "screens/help_screen.h"

#include <gtest/gtest.h>

#include "engine/my_image_sprite.h"
#include "screens/menu_rig.h"
#include "ui/font_slots.h"

namespace vrumbal::test {
namespace {

// A game on the help screen, holding the screen's handler.
struct OnHelp {
    explicit OnHelp(bool realText = false) : rig(realText) {
        rig.PassIntro();
        auto owned = std::make_unique<HelpScreen>(rig.Form());
        screen = owned.get();
        rig.Form().SetScreen(kScreenHelp, std::move(owned));
        rig.Form().EnterHelp();
        rig.Frames(1);
    }
    MenuRig rig;
    HelpScreen* screen = nullptr;
};

TEST(Help, PagesWrapBothWays) {
    OnHelp on;
    GameState& s = on.rig.State();
    EXPECT_EQ(s.MenuSelection, 9);
    EXPECT_EQ(on.screen->Page(), 1);
    const struct {
        int selection;
        bool enter;  // Enter instead of the key
        int key;
        int expectSelection;
        int expectPage;
    } steps[] = {
        {9, false, kKeyLeft, 8, 1},  // back -> next
        {8, false, kKeyLeft, 7, 1},  // next -> previous
        {7, false, kKeyLeft, 7, 6},  // Left on previous turns back, from 1 to 6
        {7, false, kKeyLeft, 7, 5},  {7, false, kKeyRight, 8, 5},  // Right never turns a page
        {8, false, kKeyRight, 9, 5}, {8, true, 0, 8, 6},           // Enter on next turns forward
        {8, true, 0, 8, 1},                                        // from 6 to 1
        {7, true, 0, 7, 6},                                        // Enter on previous, from 1 to 6
        {0, false, kKeyDown, 7, 6},  // no selection: any arrow selects previous
    };
    for (const auto& st : steps) {
        s.MenuSelection = st.selection;
        on.rig.Frames(1);
        if (st.enter) {
            on.rig.Enter();
            on.rig.Frames(1);
        } else {
            on.rig.Tap(st.key);
        }
        EXPECT_EQ(s.MenuSelection, st.expectSelection) << st.selection << " " << st.key;
        EXPECT_EQ(on.screen->Page(), st.expectPage) << st.selection << " " << st.key;
    }
}

TEST(Help, BonusPicturesShowOnPageTwoAndTheAboutPictureOnTheLastPage) {
    OnHelp on;
    for (int page = 1; page <= kHelpPageCount + 1; ++page) {
        const int shown = (page - 1) % kHelpPageCount + 1;
        for (int i = 0; i < 5; ++i) {
            ASSERT_NE(on.screen->BonusIcon(i), nullptr);
            EXPECT_EQ(on.screen->BonusIcon(i)->Visible, shown == kBonusPage) << page << "/" << i;
        }
        EXPECT_EQ(on.screen->AboutPicture()->Visible, shown == kAboutPage) << page;
        on.rig.State().MenuSelection = 8;
        on.rig.Enter();
        on.rig.Frames(1);
    }
}

TEST(Help, LeavingAndComingBackStartsOnPageOne) {
    OnHelp on;
    on.screen->NextHelpPage();
    on.screen->NextHelpPage();
    on.rig.Frames(1);
    on.rig.Tap(kKeyEscape);
    EXPECT_EQ(on.rig.State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(on.rig.State().MenuSelection, 2);
    EXPECT_EQ(on.rig.Live<TMyImageSprite>().size(), 6u);  // the six main buttons only
    on.rig.Enter();
    on.rig.Frames(1);
    EXPECT_EQ(on.rig.State().ScreenKind, kScreenHelp);
    EXPECT_EQ(on.screen->Page(), 1);
    EXPECT_FALSE(on.screen->AboutPicture()->Visible);
}

TEST(Help, EveryLineStaysOnThePanel) {
    OnHelp on(true);
    TCanvas& canvas = on.rig.Form().MDXDraw.Canvas();
    // Without a face installed nothing can be measured: nothing to check.
    SelectFont(canvas, 20);
    if (TextWidthInFont(canvas, "Vrumbal") == 0) GTEST_SKIP() << "no fonts";
    for (int page = 1; page <= kHelpPageCount; ++page) {
        const auto lines = HelpPageLines(page);
        ASSERT_FALSE(lines.empty());
        const int bodySize = HelpBodySize(canvas, lines);
        EXPECT_GE(bodySize, 10) << page;
        EXPECT_LE(bodySize, 14) << page;
        for (const HelpLine& line : lines) {
            SelectFont(canvas, line.slot);
            if (line.slot == 20) canvas.font.size = bodySize;
            EXPECT_LE(line.x + TextWidthInFont(canvas, line.text), kHelpTextRight)
                << "page " << page << " at y " << line.y;
        }
    }
    // Short pages keep the slot's own size.
    EXPECT_EQ(HelpBodySize(canvas, {HelpLine{380, 200, 20, "abc"}}), 14);
}

}  // namespace
}  // namespace vrumbal::test
