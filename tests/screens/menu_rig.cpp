// The menu rig: the menu pictures in the game's sizes, the race's and the bonus pictures.
#include "screens/menu_rig.h"

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

// List 1: the menu pictures at their numbers, in the game's sizes and pattern counts.
std::vector<std::uint8_t> MenuPictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 54; ++i) lib.items.push_back(SolidPicture(4, 4, 1, 0x404040));
    auto set = [&lib](int i, PictureItemData item) {
        lib.items[static_cast<std::size_t>(i)] = std::move(item);
    };
    set(1, SolidPicture(800, 600, 1, 0x202020));
    for (int i = 2; i <= 13; ++i)
        set(i, SolidPicture(280, 52, 1, 0x300000u + static_cast<unsigned>(i)));
    set(22, SolidPicture(4, 23, 1, 0xFFFFFF));
    set(24, SolidPicture(272, 76, 1, 0x00A0A0));
    set(25, SolidPicture(488, 76, 1, 0x00A0A0));
    for (int i = 28; i <= 32; ++i)
        set(i, SolidPicture(256, 205, 1, 0x100000u * static_cast<unsigned>(i)));
    set(33, SolidPicture(406, 152, 1, 0x303030));
    set(34, SolidPicture(138, 44, 2, 0x00FF00));
    set(35, SolidPicture(138, 44, 2, 0x0000FF));
    set(36, SolidPicture(128, 44, 2, 0x808080));
    set(37, SolidPicture(64, 205, 2, 0x808000));
    set(38, SolidPicture(64, 205, 2, 0x800080));
    set(39, SolidPicture(270, 44, 2, 0x008080));
    set(42, SolidPicture(140, 44, 2, 0x408040));
    set(43, SolidPicture(140, 44, 2, 0x404080));
    set(50, SolidPicture(490, 90, 1, 0x604020));
    set(51, SolidPicture(432, 465, 1, 0x181818));
    set(52, SolidPicture(432, 465, 1, 0x181818));
    set(54, SolidPicture(14, 20, 1, 0x00FFFF));
    return WritePictureLibrary(lib);
}

// List 2: the race's pictures and the bonus pictures 38..42.
std::vector<std::uint8_t> RaceAndBonusPictures() {
    PictureLibraryData lib = RacePictures();
    for (int i = 38; i <= 42; ++i) lib.items.push_back(SolidPicture(30, 30, 1, 0xFF));
    return WritePictureLibrary(lib);
}

}  // namespace

MenuRig::MenuRig(bool realText) {
    WriteGameData(Root(), MenuPictures(), RaceAndBonusPictures(), SmallPictures(1, 0x808080), true);
    PlatformBundle p = RecordingPlatform();
    if (realText) p.text = CreateTtfTextRenderer();
    Create(std::move(p), 5);
}

}  // namespace vrumbal::test
