#include "ui/menu_model.h"

#include <gtest/gtest.h>

#include "engine/dx_draw.h"
#include "engine/library_writer.h"
#include "engine/my_image_sprite.h"
#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal {
namespace {

struct StepCase {
    int first, last, selection;  // range and selection before
    int up;                      // selection after a step up
    bool upWrapped;              // the step up wrapped
    int down;                    // selection after a step down
    bool downWrapped;            // the step down wrapped
};

TEST(SelectionStepperTest, WrapAtBothEndsAndFromNone) {
    const StepCase cases[] = {
        {1, 6, 3, 2, false, 4, false},  {1, 6, 1, 6, true, 2, false},
        {1, 6, 6, 5, false, 1, true},   {1, 6, 0, 6, true, 1, true},
        {7, 12, 13, 12, true, 7, true}, {11, 12, 12, 11, false, 11, true},
    };
    for (const auto& c : cases) {
        GameState s;
        s.MenuFirst = c.first;
        s.MenuLast = c.last;
        s.MenuSelection = c.selection;
        EXPECT_EQ(StepUpWrap(s), c.upWrapped) << c.selection;
        EXPECT_EQ(s.MenuSelection, c.up) << c.selection;
        s.MenuSelection = c.selection;
        EXPECT_EQ(StepDownWrap(s), c.downWrapped) << c.selection;
        EXPECT_EQ(s.MenuSelection, c.down) << c.selection;
    }
}

TEST(SelectionStepperTest, CountdownTakesAStepOnlyWhileItStaysAtOrAboveTheFloor) {
    const struct {
        int value, step, floor;
        bool taken;  // the step was taken
        int after;   // the value afterwards
    } cases[] = {
        {30, 15, 0, true, 15},     {15, 15, 0, true, 0},     {0, 15, 0, false, 0},
        {20, 15, 0, true, 5},      {5, 15, 0, false, 5},     {101, 11, 90, true, 90},
        {100, 11, 90, false, 100}, {-5, 11, -20, true, -16}, {7, 0, 7, true, 7},
    };
    for (const auto& c : cases) {
        int value = c.value;
        EXPECT_EQ(Countdown(value, c.step, c.floor), c.taken) << c.value << " - " << c.step;
        EXPECT_EQ(value, c.after) << c.value << " - " << c.step;
    }
}

// Menu entries over real sprites: picture 0 is 100 x 40 (two patterns of 50 x 40),
// picture 1 is 60 x 20.
class MenuEntryTest : public testing::Test {
protected:
    void SetUp() override {
        draw_.Initialize();
        PictureLibraryData lib;
        for (auto [w, h, pw] : {std::tuple{100, 40, 50}, std::tuple{60, 20, 0}}) {
            PictureItemData item;
            item.picture.width = w;
            item.picture.height = h;
            item.picture.pixels.assign(static_cast<std::size_t>(w * h), 0x00FF0000u);
            item.patternWidth = pw;
            lib.items.push_back(item);
        }
        const auto bytes = WritePictureLibrary(lib);
        list_.Items().LoadFromBytes(bytes);
        context_.engine = &engine_.Engine();
        context_.imageList1 = &list_.Items();
        context_.draw = &draw_;
        context_.frameMs = &frameMs_;
    }

    MenuEntry& Entry(int i, int image, int x, int y) {
        MenuEntry& e = state_.MenuEntries[i];
        e.sprite = TMyImageSprite::CreateAt(context_, 1, image, x, y, 10);
        e.normalImage = image;
        e.highlightImage = image;
        e.baseZ = 10;
        return e;
    }

    TDXDraw draw_{nullptr, nullptr};
    TDXImageList list_{&draw_};
    TDXSpriteEngine engine_{&draw_};
    int frameMs_ = 11;
    SpriteContext context_;
    GameState state_;
};

TEST_F(MenuEntryTest, HitTestFindsTheLowestEntryAndEdgesCount) {
    Entry(7, 1, 100, 100);  // 60 x 20
    Entry(8, 1, 150, 110);  // overlaps 7's right part
    state_.MenuFirst = 7;
    state_.MenuLast = 8;
    const struct {
        int x, y;
        bool keep;
        int before, after;
    } cases[] = {
        {100, 100, false, 0, 7}, {160, 120, false, 0, 7},  // both hold it: the lower wins
        {165, 115, false, 0, 8}, {210, 130, false, 0, 8},  // right and bottom edges count
        {211, 130, false, 8, 0},                           // outside: cleared
        {211, 130, true, 8, 8},                            // outside: kept on the main menu
        {99, 100, false, 7, 0},
    };
    for (const auto& c : cases) {
        state_.MenuSelection = c.before;
        state_.MouseX = c.x;
        state_.MouseY = c.y;
        EXPECT_EQ(HitTestEntries(state_, c.keep), c.before != c.after) << c.x << "," << c.y;
        EXPECT_EQ(state_.MenuSelection, c.after) << c.x << "," << c.y;
    }
}

TEST_F(MenuEntryTest, OverridesReplaceThePictureSize) {
    MenuEntry& e = Entry(7, 1, 0, 0);
    e.widthOverride = 300;
    e.heightOverride = 5;
    state_.MenuFirst = state_.MenuLast = 7;
    state_.MouseX = 250;
    state_.MouseY = 5;
    HitTestEntries(state_, false);
    EXPECT_EQ(state_.MenuSelection, 7);
    state_.MouseY = 6;
    HitTestEntries(state_, false);
    EXPECT_EQ(state_.MenuSelection, 0);
}

TEST_F(MenuEntryTest, HighlightChangesLookAndDepth) {
    MenuEntry& button = Entry(11, 0, 0, 0);
    button.normalFrame = 1;
    button.highlightFrame = 0;
    button.dialogButton = true;
    MenuEntry& raised = Entry(12, 0, 200, 0);
    raised.raiseOnHighlight = true;
    raised.highlightImage = 1;
    state_.MenuFirst = 11;
    state_.MenuLast = 12;
    state_.MenuSelection = 11;
    std::vector<int> told;
    UpdateHighlight(state_, false, [&](int entry) { told.push_back(entry); });
    EXPECT_TRUE(button.highlighted);
    EXPECT_EQ(button.sprite->Z(), 17);
    EXPECT_EQ(button.sprite->FramePos, 0);
    EXPECT_FALSE(raised.highlighted);
    EXPECT_EQ(raised.sprite->Z(), 10);
    state_.MenuSelection = 12;
    UpdateHighlight(state_, false, [&](int entry) { told.push_back(entry); });
    EXPECT_FALSE(button.highlighted);
    EXPECT_EQ(button.sprite->Z(), 15);
    EXPECT_EQ(button.sprite->FramePos, 1);
    EXPECT_EQ(raised.sprite->Z(), 11);
    EXPECT_EQ(raised.sprite->Width, 60);  // the highlighted picture
    // Staying highlighted does not tell again.
    UpdateHighlight(state_, false, [&](int entry) { told.push_back(entry); });
    EXPECT_EQ(told, (std::vector<int>{11, 12}));
}

TEST_F(MenuEntryTest, MainButtonsAreTrackedUnderSubScreens) {
    for (int i = 1; i <= 6; ++i) Entry(i, 1, 12, 100 + 60 * (i - 1));
    state_.MenuFirst = 7;
    state_.MenuLast = 6;  // an empty sub-screen range
    state_.MouseX = 20;
    state_.MouseY = 225;  // on button 3
    UpdateHighlight(state_, true);
    EXPECT_EQ(state_.HoveredMainButton, 3);
    UpdateHighlight(state_, false);
    EXPECT_EQ(state_.HoveredMainButton, 0);
    state_.MouseY = 130;  // between buttons 1 and 2
    UpdateHighlight(state_, true);
    EXPECT_EQ(state_.HoveredMainButton, 0);
}

}  // namespace
}  // namespace vrumbal
