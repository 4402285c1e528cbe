// The menu button's looks, depths and hit box, and the text cursor's blink.
#include <gtest/gtest.h>

#include "screens/menu_rig.h"
#include "ui/menu_button.h"
#include "ui/menu_cursor.h"
#include "ui/menu_model.h"

namespace vrumbal::test {
namespace {

TEST(MenuButton, HighlightShowsItsLookAndMovesItsDepthOnlyWhenAsked) {
    const struct {
        bool raiseToTop;
        bool raiseOnHighlight;
        int litZ;
        int normalZ;
    } cases[] = {{false, false, 4, 4},
                 {false, true, 5, 4},
                 {true, false, 17, 15},
                 {true, true, 5, 4}};  // both: the raise comes last
    MenuRig rig;
    auto& pictures = rig.Form().MDXImageList1.Items();
    for (const auto& c : cases) {
        TMenuButton* b = TMenuButton::Create(rig.Form().Sprites(), 1, 100, 50, 36, 42, 1, 0);
        EXPECT_EQ(b->Z(), 4);
        EXPECT_EQ(b->Width, 128);
        EXPECT_EQ(b->FramePos, 1);
        b->RaiseToTop = c.raiseToTop;
        b->RaiseOnHighlight = c.raiseOnHighlight;
        b->Highlight();
        EXPECT_EQ(b->Z(), c.litZ);
        EXPECT_EQ(b->Image(), &pictures.Items(42));
        EXPECT_EQ(b->Width, 140);
        EXPECT_EQ(b->FramePos, 0);
        EXPECT_TRUE(b->Highlighted);
        b->Unhighlight();
        EXPECT_EQ(b->Z(), c.normalZ);
        EXPECT_EQ(b->Image(), &pictures.Items(36));
        EXPECT_EQ(b->FramePos, 1);
        EXPECT_FALSE(b->Highlighted);
        b->KillOnce();
    }
}

TEST(MenuButton, HitBoxIsThePictureUnlessSetAndEdgesCount) {
    MenuRig rig;
    TMenuButton* b = TMenuButton::Create(rig.Form().Sprites(), 1, 100, 50, 36, 36, 1, 0);
    const struct {
        int hitWidth, hitHeight, x, y;
        bool hit;
    } cases[] = {
        {-1, -1, 100, 50, true},  {-1, -1, 228, 94, true}, {-1, -1, 229, 94, false},
        {-1, -1, 228, 95, false}, {-1, -1, 99, 60, false}, {10, 10, 110, 60, true},
        {10, 10, 111, 60, false}, {10, -1, 105, 94, true}, {-1, 5, 200, 56, false},
    };
    for (const auto& c : cases) {
        b->HitWidth = c.hitWidth;
        b->HitHeight = c.hitHeight;
        EXPECT_EQ(EntryContains(b->Entry(), c.x, c.y), c.hit)
            << c.hitWidth << "x" << c.hitHeight << " at " << c.x << "," << c.y;
    }
}

TEST(MenuButton, AMissingPictureMakesNoButton) {
    MenuRig rig;
    const SpriteContext& ctx = rig.Form().Sprites();
    EXPECT_EQ(TMenuButton::CreateIfPresent(ctx, 1, 0, 0, 36, 55, 0, 0), nullptr);
    EXPECT_EQ(TMenuButton::CreateIfPresent(ctx, 3, 0, 0, 1, 1, 0, 0), nullptr);
    EXPECT_EQ(CreatePictureAt(ctx, 2, 43, 0, 0, 1), nullptr);
    EXPECT_NE(TMenuButton::CreateIfPresent(ctx, 1, 0, 0, 36, 36, 0, 0), nullptr);
}

TEST(MyCursor, BlinksInWholeFramesAndStaysHiddenWhenStopped) {
    const struct {
        int frameMs;
        int flipEvery;  // frames between two flips
    } cases[] = {{11, 55}, {16, 38}, {15, 41}};
    MenuRig rig;
    for (const auto& c : cases) {
        rig.State().FrameMs = c.frameMs;
        TMyCursor* cursor = TMyCursor::Create(rig.Form().Sprites(), 1, 600, 5, 406, 392, 22);
        EXPECT_FALSE(cursor->Visible);
        EXPECT_EQ(cursor->X, 392);
        EXPECT_EQ(cursor->Y, 406);
        EXPECT_EQ(cursor->Z(), 5);
        // Not blinking: a screen that shows it does not keep it shown.
        cursor->Visible = true;
        cursor->Move(c.frameMs);
        EXPECT_FALSE(cursor->Visible);
        cursor->Blinking = true;
        cursor->Move(c.frameMs);  // the timer starts empty: the first step flips
        EXPECT_TRUE(cursor->Visible);
        for (int flip = 0; flip < 3; ++flip) {
            for (int i = 1; i < c.flipEvery; ++i) {
                cursor->Move(c.frameMs);
                ASSERT_EQ(cursor->Visible, flip % 2 == 0) << c.frameMs << " frame " << i;
            }
            cursor->Move(c.frameMs);
            EXPECT_EQ(cursor->Visible, flip % 2 != 0) << c.frameMs;
        }
        cursor->KillOnce();
    }
}

}  // namespace
}  // namespace vrumbal::test
