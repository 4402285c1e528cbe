#pragma once
// The game's content as the build made it, and helpers to look at its picture libraries.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "support/test_support.h"

namespace vrumbal::test {

// The content program, which sits beside the developer tool.
std::filesystem::path ContentProgram();

// Runs the content build into a fresh folder; returns its exit status.
int BuildContent(const std::filesystem::path& folder);

// A picture library of the built content, read with the game's own reader.
struct BuiltLibrary {
    std::string error;                // the reader's error, "" when it read the whole file
    PictureLibraryData data;          // the items
    std::vector<std::uint8_t> bytes;  // the file
};

// The content the build made (every test program depends on it), read once per program.
class BuiltContent : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    // The folder holding Data/: the build's own.
    static std::filesystem::path Folder() { return VRUMBAL_BUILD_DIR; }
    // Image list 1 or 3 as read back.
    static const BuiltLibrary& Library(int list) { return list == 1 ? *menu_ : *minimap_; }

private:
    static std::unique_ptr<BuiltLibrary> menu_;
    static std::unique_ptr<BuiltLibrary> minimap_;
};

// The size of one pattern of an item.
struct PatternSize {
    int width = 0;
    int height = 0;
};
PatternSize SizeOf(const PictureItemData& item);

// Whether a pixel of an item is drawn (not the colour key of a transparent item).
bool Drawn(const PictureItemData& item, int x, int y);

}  // namespace vrumbal::test
