// The bike choice screen through the real frame loop: paging with the arrows and its fade,
// the rating pips of every bike, and the start of a race on the bike chosen.
#include "screens/bike_choice.h"

#include <gtest/gtest.h>

#include "race/race_screen.h"
#include "screens/menu_rig.h"

namespace vrumbal::test {
namespace {

// A game on the bike choice screen, opened from the menu with the given bike shown, holding
// the screen's handler.
struct OnBikeChoice {
    explicit OnBikeChoice(int bike = 1) {
        rig.PassIntro();
        rig.State().SelectedBike = bike;
        auto owned = std::make_unique<BikeChoiceScreen>(rig.Form());
        screen = owned.get();
        rig.Form().SetScreen(kScreenBikeChoice, std::move(owned));
        rig.Enter();
        rig.Frames(1);
    }
    MenuRig rig;
    BikeChoiceScreen* screen = nullptr;
};

TEST(BikeChoice, OpensOnStartWithTheBikeLastChosen) {
    OnBikeChoice on(4);
    GameState& s = on.rig.State();
    EXPECT_EQ(s.ScreenKind, kScreenBikeChoice);
    EXPECT_EQ(s.MenuFirst, 7);
    EXPECT_EQ(s.MenuLast, 10);
    EXPECT_EQ(s.MenuSelection, 9);
    auto& pictures = on.rig.Form().MDXImageList1.Items();
    EXPECT_EQ(on.screen->Picture()->Image(), &pictures.Items(31));
    EXPECT_TRUE(on.screen->Picture()->Visible);
    EXPECT_FALSE(on.screen->PictureNext()->Visible);
    // The next picture was made second at the same depth: it is drawn first, under the other.
    const auto& order = on.rig.Form().MDXSpriteEngine.Engine().DrawList();
    const auto shown = std::find(order.begin(), order.end(), on.screen->Picture());
    const auto next = std::find(order.begin(), order.end(), on.screen->PictureNext());
    EXPECT_LT(next - order.begin(), shown - order.begin());
}

TEST(BikeChoice, ArrowKeysPageAndMoveTheHighlight) {
    const struct {
        int bike;
        int selection;
        int key;
        int expectSelection;
        int expectBike;
    } cases[] = {
        {1, 7, kKeyLeft, 7, 5},    // back from the first bike to the last
        {5, 8, kKeyRight, 8, 1},   // on from the last bike to the first
        {3, 7, kKeyRight, 8, 3},   // Right on the left arrow only moves the highlight
        {3, 8, kKeyLeft, 7, 3},    // and Left on the right arrow likewise
        {2, 10, kKeyLeft, 9, 2},   // back -> start
        {2, 9, kKeyRight, 10, 2},  // start -> back
        {2, 9, kKeyUp, 7, 2},     {2, 10, kKeyUp, 8, 2}, {2, 7, kKeyDown, 9, 2},
        {2, 8, kKeyDown, 10, 2},  {2, 0, kKeyUp, 7, 2},  // no selection: any arrow selects the left
                                                         // arrow
    };
    for (const auto& c : cases) {
        OnBikeChoice on(c.bike);
        on.rig.State().MenuSelection = c.selection;
        on.rig.Frames(1);
        const int arrowClicks = on.rig.Sounds(3);
        on.rig.Tap(c.key);
        on.rig.Frames(20);
        EXPECT_EQ(on.rig.State().MenuSelection, c.expectSelection) << c.bike << "/" << c.selection;
        EXPECT_EQ(on.rig.State().SelectedBike, c.expectBike) << c.bike << "/" << c.selection;
        EXPECT_EQ(on.rig.Sounds(3), arrowClicks + (c.bike != c.expectBike ? 1 : 0));
    }
}

TEST(BikeChoice, TheOldPictureFadesOutInThirteenFramesAndASecondPressIsIgnored) {
    OnBikeChoice on(2);
    GameState& s = on.rig.State();
    s.MenuSelection = 8;
    on.rig.Frames(1);
    on.rig.Tap(kKeyRight);  // frame 1 of the change
    EXPECT_EQ(on.screen->FadeState(), 1);
    EXPECT_EQ(on.screen->Target(), 3);
    EXPECT_TRUE(on.screen->PictureNext()->Visible);
    EXPECT_EQ(on.screen->Picture()->Alpha, 235);
    EXPECT_TRUE(on.screen->Picture()->AlphaOn);
    on.rig.Frames(3);
    on.rig.Tap(kKeyRight);           // frame 5: falls into the change
    EXPECT_EQ(on.rig.Sounds(3), 2);  // it still clicks
    EXPECT_EQ(on.screen->Target(), 3);
    on.rig.Frames(7);  // frames 6..12
    EXPECT_EQ(on.screen->FadeState(), 1);
    EXPECT_EQ(s.SelectedBike, 2);  // the ratings still show the old bike
    on.rig.Frames(1);              // frame 13 ends it
    EXPECT_EQ(on.screen->FadeState(), 0);
    EXPECT_EQ(s.SelectedBike, 3);
    EXPECT_EQ(on.screen->Picture()->Image(), &on.rig.Form().MDXImageList1.Items().Items(30));
    on.rig.Frames(1);  // the idle step restores the pictures
    EXPECT_EQ(on.screen->Picture()->Alpha, 255);
    EXPECT_FALSE(on.screen->Picture()->AlphaOn);
    EXPECT_FALSE(on.screen->PictureNext()->Visible);
    // Start and back wait for a change too.
    s.MenuSelection = 7;
    on.rig.Frames(1);
    on.rig.Tap(kKeyLeft);
    on.rig.Tap(kKeyEscape);
    EXPECT_EQ(s.ScreenKind, kScreenBikeChoice);
    on.rig.Frames(15);
    EXPECT_EQ(s.SelectedBike, 2);
    on.rig.Tap(kKeyEscape);
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    EXPECT_EQ(s.MenuSelection, 1);
    EXPECT_EQ(s.SelectedBike, 2);
}

// Counts the pips drawn on a row of the last frame: pixels like the first pip's, 18 apart.
int PipsOnRow(TMForm& form, int rowY) {
    Surface& back = form.MDXDraw.BackSurface();
    const std::uint16_t pip = back.Row(rowY + 10)[kPipX + 7];
    int count = 0;
    while (count < 20 && back.Row(rowY + 10)[kPipX + kPipPitch * count + 7] == pip) ++count;
    return count;
}

TEST(BikeChoice, EveryBikeShowsItsRatingPips) {
    const struct {
        int bike;
        std::array<int, 4> rows;
    } cases[] = {{1, {6, 8, 9, 7}},
                 {2, {11, 4, 3, 8}},
                 {3, {6, 6, 8, 10}},
                 {4, {9, 5, 10, 9}},
                 {5, {8, 11, 8, 9}}};
    for (const auto& c : cases) {
        OnBikeChoice on(c.bike);
        EXPECT_EQ(BikeRatingRows(c.bike), c.rows) << c.bike;
        for (std::size_t r = 0; r < 4; ++r) {
            EXPECT_EQ(PipsOnRow(on.rig.Form(), kPipRowY[r]), c.rows[r]) << c.bike << " row " << r;
        }
    }
}

TEST(BikeChoice, StartRidesTheBikeShown) {
    for (int bike = 1; bike <= 5; ++bike) {
        OnBikeChoice on(1);
        // Page forward to the bike wanted.
        on.rig.State().MenuSelection = 8;
        for (int i = 1; i < bike; ++i) {
            on.rig.Tap(kKeyRight);
            on.rig.Frames(14);
        }
        EXPECT_EQ(on.rig.State().SelectedBike, bike);
        on.rig.State().MenuSelection = 9;
        on.rig.Enter();
        ASSERT_EQ(on.rig.State().ScreenKind, kScreenRace) << bike;
        ASSERT_NE(on.rig.Form().RaceFlow().Bike(), nullptr);
        EXPECT_EQ(on.rig.Form().RaceFlow().Bike()->Model(), bike);
        EXPECT_EQ(on.rig.Form().Race().Level, 1);
    }
}

}  // namespace
}  // namespace vrumbal::test
