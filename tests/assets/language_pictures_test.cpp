// The pictures of every other language: the same items at the same sizes as the game's own
// (the game swaps them in place, and replays stay the same game), their texts drawn in, and
// every text inside its picture: a caption too long for its button or panel would reach the
// picture's edge, where the other language may leave clear what the game's own text covers but
// must draw nothing else.
#include <gtest/gtest.h>

#include <string>

#include "assets/built_content.h"
#include "engine/library_reader.h"
#include "platform/catalogue.h"

namespace vrumbal::test {
namespace {

// Pixels along each edge of a pattern that no text may reach.
constexpr int kEdge = 3;
// What a transparent picture holds where nothing is drawn.
constexpr std::uint32_t kKeyColor = 0xFF00FF;

PictureLibraryData ReadLibrary(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    PictureLibraryData data;
    EXPECT_EQ(ReadFileBytes(path.string(), bytes), "") << path;
    EXPECT_EQ(ReadPictureLibrary(bytes, data), "") << path;
    return data;
}

TEST(LanguagePictures, SameItemsAndSizesTextsDrawnInAndNoneReachingAnEdge) {
    const std::filesystem::path res = std::filesystem::path(VRUMBAL_BUILD_DIR) / "Data/Res";
    for (const std::string& language : ShippedLanguages()) {
        if (language == kOwnLanguage) continue;
        for (const char* library : {"Res1.dxg", "Res2.dxg", "Res3.dxg"}) {
            SCOPED_TRACE(language + "/" + library);
            const PictureLibraryData own = ReadLibrary(res / library);
            const PictureLibraryData other = ReadLibrary(res / language / library);
            ASSERT_EQ(other.items.size(), own.items.size());
            int translated = 0;
            for (std::size_t i = 0; i < own.items.size(); ++i) {
                SCOPED_TRACE(own.items[i].name);
                const PictureItemData& a = own.items[i];
                const PictureItemData& b = other.items[i];
                ASSERT_EQ(b.picture.width, a.picture.width);
                ASSERT_EQ(b.picture.height, a.picture.height);
                ASSERT_EQ(b.patternWidth, a.patternWidth);
                ASSERT_EQ(b.patternHeight, a.patternHeight);
                if (b.picture.pixels != a.picture.pixels) ++translated;
                const PatternSize size = SizeOf(a);
                int differing = 0;
                for (int y = 0; y < a.picture.height; ++y) {
                    for (int x = 0; x < a.picture.width; ++x) {
                        const int px = x % size.width, py = y % size.height;
                        const bool edge = px < kEdge || py < kEdge || px >= size.width - kEdge ||
                                          py >= size.height - kEdge;
                        // A shorter text leaves clear what the game's own text covered.
                        const std::uint32_t pixel = b.picture.At(x, y);
                        const bool clear = b.transparent && pixel == kKeyColor;
                        if (edge && pixel != a.picture.At(x, y) && !clear) ++differing;
                    }
                }
                EXPECT_EQ(differing, 0) << "a text reaches the edge of its picture";
            }
            EXPECT_GT(translated, 0) << "no picture has its texts in " << language;
        }
    }
}

}  // namespace
}  // namespace vrumbal::test
