// The bike choice screen at work: its buttons, paging through the bikes with one picture fading
// over the next, the rating pips, and start and back.
#include "screens/bike_choice.h"

#include <memory>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite_context.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "race/player.h"
#include "screens/main_menu.h"
#include "ui/menu_button.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

// The screen's pictures and buttons, image list 1.
constexpr int kTitlePicture = menu_picture::kTitleBike;
constexpr int kPanelPicture = menu_picture::kBikePanel;
constexpr int kBikeX = 456;
constexpr int kBikeY = 180;

// One button of the screen: entry, place and picture.
struct BikeChoiceButton {
    int entry;
    int x;
    int y;
    int picture;
};
constexpr BikeChoiceButton kButtons[] = {
    {7, 378, 180, 37},   // previous bike
    {8, 712, 180, 38},   // next bike
    {9, 366, 542, 39},   // start the race
    {10, 661, 542, 36},  // back
};

int BikePicture(int bike) {
    return kBikePictures[static_cast<std::size_t>(bike - 1)];
}

int WrapBike(int bike) {
    return bike < 1 ? 5 : bike > 5 ? 1 : bike;
}

}  // namespace

std::array<int, 4> BikeRatingRows(int bike) {
    const BikeModel& m = BikeModelOf(bike);
    return {m.topSpeed, m.steering, m.acceleration, m.braking};
}

void BikeChoiceScreen::Enter() {
    GameState& s = host_.State();
    const SpriteContext& ctx = host_.Sprites();
    s.ScreenKind = kScreenBikeChoice;
    fadeState_ = 0;
    s.MenuFirst = kBikeChoicePrevious;
    s.MenuLast = kBikeChoiceBack;
    s.MenuSelection = kBikeChoiceStart;
    s.MenuEntries[16] = MenuEntry{};
    s.MenuEntries[16].sprite = CreatePictureAt(ctx, 1, kTitlePicture, 312, 42, 4);
    s.MenuEntries[17] = MenuEntry{};
    s.MenuEntries[17].sprite = CreatePictureAt(ctx, 1, kPanelPicture, 358, 130, 3);
    // Made second at the same depth, the next picture is drawn under the shown one.
    picture_ = CreatePictureAt(ctx, 1, BikePicture(s.SelectedBike), kBikeX, kBikeY, 4);
    pictureNext_ = CreatePictureAt(ctx, 1, BikePicture(s.SelectedBike), kBikeX, kBikeY, 4);
    if (pictureNext_ != nullptr) pictureNext_->Visible = false;
    target_ = s.SelectedBike;
    for (const BikeChoiceButton& b : kButtons) {
        TMenuButton* button =
            TMenuButton::CreateIfPresent(ctx, 1, b.x, b.y, b.picture, b.picture, 1, 0);
        if (button == nullptr) continue;
        button->SetZ(5);
        button->NormalZ = 5;
        button->HighlightZ = 6;
        SetMenuEntry(s, b.entry, button);
    }
}

void BikeChoiceScreen::Leave() {
    GameState& s = host_.State();
    for (int e : {7, 8, 9, 10, 17, 16}) {
        MenuEntry& entry = s.MenuEntries[static_cast<std::size_t>(e)];
        if (entry.sprite != nullptr) entry.sprite->KillOnce();
        entry = MenuEntry{};
    }
    host_.RemoveMenuBackground();
    if (picture_ != nullptr) picture_->KillOnce();
    if (pictureNext_ != nullptr) pictureNext_->KillOnce();
    picture_ = nullptr;
    pictureNext_ = nullptr;
    fadeState_ = 0;
    s.ScreenKind = kScreenNone;
}

void BikeChoiceScreen::StartChange(int target) {
    fadeState_ = 1;
    target_ = target;
    if (pictureNext_ != nullptr) {
        pictureNext_->SetImageByIndex(BikePicture(target));
        pictureNext_->Visible = true;
    }
}

void BikeChoiceScreen::PreviousBike() {
    StartChange(WrapBike(host_.State().SelectedBike - 1));
}

void BikeChoiceScreen::NextBike() {
    StartChange(WrapBike(host_.State().SelectedBike + 1));
}

void BikeChoiceScreen::Activate(int selection) {
    // The arrows, start and back all wait for a running change to end.
    if (fadeState_ != 0) return;
    switch (selection) {
        case kBikeChoicePrevious:
            PreviousBike();
            break;
        case kBikeChoiceNext:
            NextBike();
            break;
        case kBikeChoiceStart:
            Leave();
            host_.EnterMainMenu(false, kMainPlay, false);
            host_.StartRace(1);  // leaves the main menu first
            break;
        case kBikeChoiceBack:
            Leave();
            host_.EnterMainMenu(false, kMainPlay, false);
            break;
        default:
            break;
    }
}

void BikeChoiceScreen::StepPictureChange() {
    if (fadeState_ == 0) {
        fadeAlpha_ = 255;
        for (TMyImageSprite* p : {picture_, pictureNext_}) {
            if (p == nullptr) continue;
            p->AlphaOn = false;
            p->Alpha = 255;
        }
        if (picture_ != nullptr) picture_->Visible = true;
        if (pictureNext_ != nullptr) pictureNext_->Visible = false;
        return;
    }
    // A fixed number of frames at any frame rate: the step is not scaled.
    fadeAlpha_ -= kBikeFadeStep;
    for (TMyImageSprite* p : {picture_, pictureNext_}) {
        if (p != nullptr) p->AlphaOn = true;
    }
    if (picture_ != nullptr) picture_->Alpha = fadeAlpha_;
    if (fadeAlpha_ <= 0) {
        if (picture_ != nullptr) picture_->SetImageByIndex(BikePicture(target_));
        fadeState_ = 0;
        host_.State().SelectedBike = target_;
    }
}

void BikeChoiceScreen::DrawBikeRatings() {
    TPictureCollection* list = host_.Sprites().imageList1;
    if (!HasPicture(host_.Sprites(), 1, kPipPicture)) return;
    const TPictureCollectionItem& pip = list->Items(kPipPicture);
    const std::array<int, 4> rows = BikeRatingRows(host_.State().SelectedBike);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int i = 0; i < rows[r]; ++i) {
            pip.Draw(host_.Surface(), kPipX + kPipPitch * i, kPipRowY[r], 0);
        }
    }
}

void BikeChoiceScreen::Frame(int /*lagCount*/) {
    GameState& s = host_.State();
    UpdateHighlight(s, true);
    if (s.EdgeLeft) {
        if (s.MenuSelection == kBikeChoicePrevious) {
            host_.ActivateEntry(kBikeChoicePrevious);
        } else if (s.MenuSelection == kBikeChoiceNext) {
            s.MenuSelection = kBikeChoicePrevious;
        } else if (s.MenuSelection == kBikeChoiceBack) {
            s.MenuSelection = kBikeChoiceStart;
        }
    }
    if (s.EdgeRight) {
        if (s.MenuSelection == kBikeChoiceNext) {
            host_.ActivateEntry(kBikeChoiceNext);
        } else if (s.MenuSelection == kBikeChoicePrevious) {
            s.MenuSelection = kBikeChoiceNext;
        } else if (s.MenuSelection == kBikeChoiceStart) {
            s.MenuSelection = kBikeChoiceBack;
        }
    }
    if (s.EdgeUp) {
        if (s.MenuSelection == kBikeChoiceStart) {
            s.MenuSelection = kBikeChoicePrevious;
        } else if (s.MenuSelection == kBikeChoiceBack) {
            s.MenuSelection = kBikeChoiceNext;
        }
    }
    if (s.EdgeDown) {
        if (s.MenuSelection == kBikeChoicePrevious) {
            s.MenuSelection = kBikeChoiceStart;
        } else if (s.MenuSelection == kBikeChoiceNext) {
            s.MenuSelection = kBikeChoiceBack;
        }
    }
    SelectFirstOnArrow(s, kBikeChoicePrevious, kBikeChoiceBack);
    if (s.EdgeEscape) {
        host_.ActivateEntry(kBikeChoiceBack);
        // Left for the menu: the screen's sprites are on their way out.
        if (s.ScreenKind != kScreenBikeChoice) return;
    }
    StepPictureChange();
    DrawBikeRatings();
}

}  // namespace vrumbal
