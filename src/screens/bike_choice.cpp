#include "screens/bike_choice.h"

#include <memory>

#include "engine/picture_collection.h"
#include "race/player.h"
#include "screens/main_menu.h"
#include "screens/menu_button.h"
#include "shell/main_form.h"
#include "shell/menu_model.h"

namespace vrumbal {
namespace {

// The screen's pictures and buttons, image list 1.
constexpr int kTitlePicture = 25;
constexpr int kPanelPicture = 52;
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
constexpr int kEntryPrevious = 7;
constexpr int kEntryNext = 8;
constexpr int kEntryStart = 9;
constexpr int kEntryBack = 10;

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
    GameState& s = form_.State();
    const SpriteContext& ctx = form_.Sprites();
    s.ScreenKind = kScreenBikeChoice;
    fadeState_ = 0;
    s.MenuFirst = kEntryPrevious;
    s.MenuLast = kEntryBack;
    s.MenuSelection = kEntryStart;
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
    GameState& s = form_.State();
    for (int e : {7, 8, 9, 10, 17, 16}) {
        MenuEntry& entry = s.MenuEntries[static_cast<std::size_t>(e)];
        if (entry.sprite != nullptr) entry.sprite->KillOnce();
        entry = MenuEntry{};
    }
    form_.RemoveMenuBackground();
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
    StartChange(WrapBike(form_.State().SelectedBike - 1));
}

void BikeChoiceScreen::NextBike() {
    StartChange(WrapBike(form_.State().SelectedBike + 1));
}

void BikeChoiceScreen::Activate(int selection) {
    // The arrows, start and back all wait for a running change to end.
    if (fadeState_ != 0) return;
    switch (selection) {
        case kEntryPrevious:
            PreviousBike();
            break;
        case kEntryNext:
            NextBike();
            break;
        case kEntryStart:
            Leave();
            form_.EnterMainMenu(false, 1, false);
            form_.StartRace(1);  // leaves the main menu first
            break;
        case kEntryBack:
            Leave();
            form_.EnterMainMenu(false, 1, false);
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
        form_.State().SelectedBike = target_;
    }
}

void BikeChoiceScreen::DrawBikeRatings() {
    TPictureCollection* list = form_.Sprites().imageList1;
    if (!HasPicture(form_.Sprites(), 1, kPipPicture)) return;
    const TPictureCollectionItem& pip = list->Items(kPipPicture);
    const std::array<int, 4> rows = BikeRatingRows(form_.State().SelectedBike);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int i = 0; i < rows[r]; ++i) {
            pip.Draw(form_.MDXDraw, kPipX + kPipPitch * i, kPipRowY[r], 0);
        }
    }
}

void BikeChoiceScreen::Frame(int /*lagCount*/) {
    GameState& s = form_.State();
    UpdateHighlight(s, true);
    if (s.EdgeLeft) {
        if (s.MenuSelection == kEntryPrevious) {
            form_.ActivateEntry(kEntryPrevious);
        } else if (s.MenuSelection == kEntryNext) {
            s.MenuSelection = kEntryPrevious;
        } else if (s.MenuSelection == kEntryBack) {
            s.MenuSelection = kEntryStart;
        }
    }
    if (s.EdgeRight) {
        if (s.MenuSelection == kEntryNext) {
            form_.ActivateEntry(kEntryNext);
        } else if (s.MenuSelection == kEntryPrevious) {
            s.MenuSelection = kEntryNext;
        } else if (s.MenuSelection == kEntryStart) {
            s.MenuSelection = kEntryBack;
        }
    }
    if (s.EdgeUp) {
        if (s.MenuSelection == kEntryStart) {
            s.MenuSelection = kEntryPrevious;
        } else if (s.MenuSelection == kEntryBack) {
            s.MenuSelection = kEntryNext;
        }
    }
    if (s.EdgeDown) {
        if (s.MenuSelection == kEntryPrevious) {
            s.MenuSelection = kEntryStart;
        } else if (s.MenuSelection == kEntryNext) {
            s.MenuSelection = kEntryBack;
        }
    }
    SelectFirstOnArrow(s, kEntryPrevious, kEntryBack);
    if (s.EdgeEscape) {
        form_.ActivateEntry(kEntryBack);
        // Left for the menu: the screen's sprites are on their way out.
        if (s.ScreenKind != kScreenBikeChoice) return;
    }
    StepPictureChange();
    DrawBikeRatings();
}

void TMForm::EnterBikeChoice() {
    if (dynamic_cast<BikeChoiceScreen*>(screens_[kScreenBikeChoice].get()) == nullptr) {
        SetScreen(kScreenBikeChoice, std::make_unique<BikeChoiceScreen>(*this));
    }
    static_cast<BikeChoiceScreen*>(screens_[kScreenBikeChoice].get())->Enter();
}

}  // namespace vrumbal
