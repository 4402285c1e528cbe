#include "assets/built_content.h"

#include "engine/library_reader.h"

namespace vrumbal::test {

std::unique_ptr<BuiltLibrary> BuiltContent::menu_;
std::unique_ptr<BuiltLibrary> BuiltContent::minimap_;

std::filesystem::path ContentProgram() {
    return std::filesystem::path(VRUMBAL_TOOL_PATH).parent_path() / "vrumbal-content";
}

int BuildContent(const std::filesystem::path& folder) {
    // The catalogues the build compiled give the other languages' pictures.
    return RunCommand(ContentProgram().string() + " " + folder.string() + " " +
                      (std::filesystem::path(VRUMBAL_BUILD_DIR) / "locale").string() + " 2>&1");
}

namespace {

std::unique_ptr<BuiltLibrary> Read(const std::filesystem::path& path) {
    auto library = std::make_unique<BuiltLibrary>();
    library->error = ReadFileBytes(path.string(), library->bytes);
    if (library->error.empty()) library->error = ReadPictureLibrary(library->bytes, library->data);
    return library;
}

}  // namespace

void BuiltContent::SetUpTestSuite() {
    // Read once for the whole program. The content is built by the build itself, once for
    // every test; only the reproducibility test builds it again on purpose.
    if (menu_) return;
    menu_ = Read(Folder() / "Data/Res/Res1.dxg");
    minimap_ = Read(Folder() / "Data/Res/Res3.dxg");
}

PatternSize SizeOf(const PictureItemData& item) {
    return {item.patternWidth > 0 ? item.patternWidth : item.picture.width,
            item.patternHeight > 0 ? item.patternHeight : item.picture.height};
}

bool Drawn(const PictureItemData& item, int x, int y) {
    if (!item.transparent) return true;
    const std::uint32_t key = ((item.transparentColor & 0xFF) << 16) |
                              (item.transparentColor & 0xFF00) |
                              ((item.transparentColor >> 16) & 0xFF);
    return item.picture.At(x, y) != key;
}

}  // namespace vrumbal::test
