// Image list 3: the minimap's road marks line up with the player's marker and join across the
// two cells of a diagonal row; the panel pieces cover the window's overflow.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "assets/built_content.h"

namespace vrumbal::test {
namespace {

class MinimapPictures : public BuiltContent {
protected:
    static const PictureItemData& Item(int index) {
        return Library(3).data.items.at(static_cast<std::size_t>(index));
    }
};

// The mean x of the drawn pixels of an item (the middle of a pixel counts as x + 0.5).
double DrawnCentreX(const PictureItemData& item) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < item.picture.height; ++y) {
        for (int x = 0; x < item.picture.width; ++x) {
            if (!Drawn(item, x, y)) continue;
            sum += x + 0.5;
            ++count;
        }
    }
    return count ? sum / count : -1;
}

TEST_F(MinimapPictures, EveryIndexLoads) {
    const BuiltLibrary& library = Library(3);
    ASSERT_EQ(library.error, "");
    ASSERT_EQ(library.data.items.size(), 14u);
    // Road marks 0..9 fill one map cell: 10 pixels per column, 15 per row.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(SizeOf(Item(i)).width, 10) << i;
        EXPECT_EQ(SizeOf(Item(i)).height, 15) << i;
    }
}

TEST_F(MinimapPictures, StraightRoadPassesUnderThePlayersMarker) {
    // A straight row's mark is drawn at x 713 and the marker at x 708; both must centre on
    // 717, the x the map is shifted to keep under the bike. The rival's dot is drawn 5 pixels
    // left of its row's mark.
    EXPECT_NEAR(713 + DrawnCentreX(Item(4)), 717, 1.0);
    EXPECT_NEAR(713 + DrawnCentreX(Item(5)), 717, 1.0);
    EXPECT_NEAR(708 + DrawnCentreX(Item(11)), 717, 1.0);
    EXPECT_NEAR(713 - 5 + DrawnCentreX(Item(10)), 717, 1.0);
}

TEST_F(MinimapPictures, DiagonalRowsJoinAcrossTheirTwoCells) {
    // Each diagonal map row shows its road as two marks in neighbouring cells; side by side
    // they must make one unbroken piece of road in every pixel row.
    struct Pair {
        int left;
        int right;
    };
    const std::vector<Pair> pairs = {{0, 1}, {2, 3}, {7, 6}, {9, 8}};
    for (const Pair& p : pairs) {
        for (int y = 0; y < 15; ++y) {
            std::vector<bool> row;
            for (int x = 0; x < 10; ++x) row.push_back(Drawn(Item(p.left), x, y));
            for (int x = 0; x < 10; ++x) row.push_back(Drawn(Item(p.right), x, y));
            int runs = 0;
            for (std::size_t x = 0; x < row.size(); ++x) {
                if (row[x] && (x == 0 || !row[x - 1])) ++runs;
            }
            EXPECT_EQ(runs, 1) << "marks " << p.left << " and " << p.right << ", row " << y;
        }
    }
}

TEST_F(MinimapPictures, PanelPiecesCoverTheWindowsOverflowAndFrameThePlace) {
    // Piece 12 stands at (626, 0) and piece 13 at (626, 195); both reach the screen's right
    // edge and meet. The first map row is drawn as high as y 31 and the eleventh as low as
    // y 211: only the window shows them, and the place value (drawn from x 635, centred on
    // y 185) sits on the plate below the window, never over a mark.
    EXPECT_EQ(SizeOf(Item(12)).height, 195);
    EXPECT_GE(195 + SizeOf(Item(13)).height, 211);
    const struct {
        int index, top;  // the piece and its screen y
    } pieces[] = {{12, 0}, {13, 195}};
    for (const auto& piece : pieces) {
        const PictureItemData& item = Item(piece.index);
        EXPECT_EQ(626 + SizeOf(item).width, 800) << piece.index;
        for (int y = 0; y < item.picture.height; ++y) {
            for (int x = 0; x < item.picture.width; ++x) {
                const int sx = 626 + x, sy = piece.top + y;
                const bool window = sx >= 632 && sx < 794 && sy >= 46 && sy < 166;
                const bool place = sx >= 633 && sx < 690 && sy >= 176 && sy < 195;
                ASSERT_EQ(Drawn(item, x, y), !window)
                    << piece.index << " at screen " << sx << "," << sy;
                if (place) {
                    ASSERT_TRUE(Drawn(item, x, y))
                        << "the place value's ground at " << sx << "," << sy;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vrumbal::test
