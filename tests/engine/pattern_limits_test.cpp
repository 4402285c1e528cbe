// Pattern and gap sizes come straight from a library file, so they can be anything an int32
// holds; cutting must neither overflow nor hand out a pattern outside the picture.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <ostream>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/picture_helpers.h"

namespace vrumbal {
namespace {

struct LimitCase {
    const char* what;
    int pw, ph, sw, sh;
    int patterns;       // built patterns of a 40 x 20 picture
    Rect firstPattern;  // where pattern 0 lies (when there is one)
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.what;
}

class PatternLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(PatternLimits, CutsHugeSizesWithoutOverflow) {
    const LimitCase& c = GetParam();
    for (const bool systemMemory : {false, true}) {
        SCOPED_TRACE(systemMemory ? "system memory" : "video memory");
        TDXDraw draw(nullptr, nullptr);
        draw.Initialize();
        TDXImageList list(&draw);
        PictureItemData d;
        d.patternWidth = c.pw;
        d.patternHeight = c.ph;
        d.skipWidth = c.sw;
        d.skipHeight = c.sh;
        d.systemMemory = systemMemory;
        d.picture = test::IndexPicture(40, 20);
        TPictureCollectionItem& item = list.Items().Add(d);
        ASSERT_EQ(item.Patterns().size(), static_cast<std::size_t>(c.patterns));
        for (int i = 0; i < c.patterns; ++i) {
            const Rect r = item.PatternRect(i);
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, 40);
            EXPECT_LE(r.bottom, 20);
            item.Draw(draw, 0, 0, i);
        }
        if (c.patterns > 0) {
            const Rect r = item.PatternRect(0);
            EXPECT_EQ(r.left, c.firstPattern.left);
            EXPECT_EQ(r.top, c.firstPattern.top);
            EXPECT_EQ(r.right, c.firstPattern.right);
            EXPECT_EQ(r.bottom, c.firstPattern.bottom);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    HugeFields, PatternLimits,
    testing::Values(
        // The cell is wider than any int: no whole column fits.
        LimitCase{"widest pattern plus a gap", INT_MAX, 20, 1, 0, 0, {}},
        LimitCase{"widest pattern and gap", INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, {}},
        // One pattern fits before the enormous gap; the gap never needs to.
        LimitCase{"widest gap", 10, 20, INT_MAX, 0, 1, {0, 0, 10, 20}},
        LimitCase{"widest gaps both ways", 10, 10, INT_MAX, INT_MAX, 1, {0, 0, 10, 10}},
        // A gap that swallows the pattern leaves nothing to cut.
        LimitCase{"most negative gap", 10, 20, INT_MIN, 0, 0, {}}));

}  // namespace
}  // namespace vrumbal
