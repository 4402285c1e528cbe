// The bike's drawing pass: its tyre marks, itself, the rival riders, the side panels of the
// head-up display and the minimap, in that order over the road.
#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite_context.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/race_state.h"
#include "race/hud.h"
#include "race/minimap.h"
#include "race/player.h"
#include "race/rivals.h"

namespace vrumbal {

void TPlayer::DrawSelf() {
    if (!Visible) return;
    TDXDraw* target = Target();
    if (target == nullptr) return;
    TPictureCollection* list = Context().imageList2;
    if (list != nullptr && race_picture::kSkidMark < list->Count()) {
        const TPictureCollectionItem& mark = list->Items(race_picture::kSkidMark);
        for (int slot = 1; slot <= kMarkSlots; ++slot) {
            const SkidMark& m = marks_[static_cast<std::size_t>(slot)];
            if (!m.used || !m.visible) continue;
            mark.DrawRotate(*target, TruncToInt(m.x), TruncToInt(m.y), 10, 14, 0, 0.5, 0.5,
                            m.angle);
        }
    }
    // The bike stands where it was made (kScreenX, kScreenY): the road moves, not the bike, so
    // the drawing reads its place and never sets it.
    if (const TPictureCollectionItem* image = Image()) {
        const int pattern = TruncToInt(FramePos);
        const int w = image->Width();
        const int h = image->Height();
        if (Crashed) {
            image->DrawRotate(*target, TruncToInt(Width / 2.0 + X), TruncToInt(Y), w, h, pattern,
                              0.5, 0.5, Heading);
        } else {
            image->DrawRotate(*target, TruncToInt(w / 2.0 + X), TruncToInt(h / 2.0 + Y), w, h,
                              pattern, 0.5, 0.5, Heading);
        }
    }
    const RaceState& race = host_.Race();
    if (rivals_ != nullptr && list != nullptr) {
        DrawRivalRiders(*target, *list, *rivals_, RoadX() - 72.0 * race.ViewColumn,
                        RoadY() - 72.0 * race.ViewRow);
    }
    DrawSidePanels(*target, list);
    DrawMinimap(*target, Context().imageList3, race, RoadY(), rivals_);
}

}  // namespace vrumbal
