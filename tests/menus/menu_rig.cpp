#include "menus/menu_rig.h"

#include <fstream>

#include "engine/library_writer.h"
#include "race/player.h"

namespace vrumbal::test {
namespace {

// Sound n of the test library has n + 1 sample bytes, so its buffers tell which sound they are.
class LoggedBuffer final : public SoundBuffer {
public:
    LoggedBuffer(MenuLog& log, int sound) : log_(log), sound_(sound) {}
    void Stop() override { playing_ = false; }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        playing_ = true;
        ++log_.sounds[sound_];
    }
    bool IsPlaying() const override { return playing_; }
    int Sound() const { return sound_; }

private:
    MenuLog& log_;
    int sound_;
    bool playing_ = false;
};

class LoggedAudio final : public AudioOutput {
public:
    explicit LoggedAudio(MenuLog& log) : log_(log) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<LoggedBuffer>(log_, static_cast<int>(samples->size()) - 1);
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<LoggedBuffer>(log_,
                                              static_cast<const LoggedBuffer&>(original).Sound());
    }
    int SongLoadFromFile(const std::string& path) override {
        if (!std::ifstream(path)) return 0;
        log_.songs.push_back(path);
        return static_cast<int>(log_.songs.size());
    }
    void SongPlay(int) override {}
    void SongFree(int) override { ++log_.songsFreed; }

private:
    MenuLog& log_;
};

class RecordingShell final : public SystemShell {
public:
    explicit RecordingShell(MenuLog& log) : log_(log) {}
    void Open(const std::string& target) override { log_.opened.push_back(target); }
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}

private:
    MenuLog& log_;
};

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

PictureItemData Solid(int patternWidth, int height, int patterns, std::uint32_t colour) {
    PictureItemData item;
    item.name = "p";
    item.patternWidth = patternWidth;
    item.patternHeight = height;
    item.picture.width = patternWidth * patterns;
    item.picture.height = height;
    item.picture.pixels.assign(static_cast<std::size_t>(item.picture.width) * height, colour);
    return item;
}

// List 1: the menu pictures at their numbers, in the game's sizes and pattern counts.
std::vector<std::uint8_t> MenuPictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 54; ++i) lib.items.push_back(Solid(4, 4, 1, 0x404040));
    auto set = [&lib](int i, PictureItemData item) {
        lib.items[static_cast<std::size_t>(i)] = std::move(item);
    };
    set(1, Solid(800, 600, 1, 0x202020));
    for (int i = 2; i <= 13; ++i) set(i, Solid(280, 52, 1, 0x300000u + static_cast<unsigned>(i)));
    set(22, Solid(4, 23, 1, 0xFFFFFF));
    set(24, Solid(272, 76, 1, 0x00A0A0));
    set(25, Solid(488, 76, 1, 0x00A0A0));
    for (int i = 28; i <= 32; ++i) set(i, Solid(256, 205, 1, 0x100000u * static_cast<unsigned>(i)));
    set(33, Solid(406, 152, 1, 0x303030));
    set(34, Solid(138, 44, 2, 0x00FF00));
    set(35, Solid(138, 44, 2, 0x0000FF));
    set(36, Solid(128, 44, 2, 0x808080));
    set(37, Solid(64, 205, 2, 0x808000));
    set(38, Solid(64, 205, 2, 0x800080));
    set(39, Solid(270, 44, 2, 0x008080));
    set(42, Solid(140, 44, 2, 0x408040));
    set(43, Solid(140, 44, 2, 0x404080));
    set(50, Solid(490, 90, 1, 0x604020));
    set(51, Solid(432, 465, 1, 0x181818));
    set(52, Solid(432, 465, 1, 0x181818));
    set(54, Solid(14, 20, 1, 0x00FFFF));
    return WritePictureLibrary(lib);
}

// List 2: the race's pictures (road tiles, needle, bikes) and the bonus pictures 38..42.
std::vector<std::uint8_t> RacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 42; ++i) lib.items.push_back(Solid(8, 8, 1, 0x404040));
    lib.items[1] = Solid(72, 72, 50, 0x606060);
    lib.items[4] = Solid(60, 8, 1, 0xFF0000);
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] = Solid(40, 80, 1, 0x2040C0);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            Solid(60, 100, m.crashFrames, 0xC04020);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] = Solid(40, 80, 6, 0x20C040);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] = Solid(40, 80, 6, 0x40C020);
    }
    for (int i = 38; i <= 42; ++i) lib.items[static_cast<std::size_t>(i)] = Solid(30, 30, 1, 0xFF);
    return WritePictureLibrary(lib);
}

std::vector<std::uint8_t> Sounds() {
    WaveLibraryData lib;
    for (int n = 0; n < 22; ++n) {
        WaveItemData item;
        item.name = "s" + std::to_string(n);
        item.hasWave = true;
        // PCM, mono, 22050 Hz, 8 bits.
        item.format = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0};
        item.samples.assign(static_cast<std::size_t>(n + 1), 0x80);
        lib.items.push_back(item);
    }
    return WriteWaveLibrary(lib);
}

WindowEvent Event(WindowEvent::Type type, int key = 0, int x = 0, int y = 0) {
    WindowEvent e{type};
    e.key = key;
    e.x = x;
    e.y = y;
    return e;
}

}  // namespace

void WriteMenuData(const std::filesystem::path& root) {
    const auto res = root / "Data" / "Res";
    WriteFile(res / "Res1.dxg", MenuPictures());
    WriteFile(res / "Res2.dxg", RacePictures());
    PictureLibraryData one;
    one.items.push_back(Solid(8, 8, 1, 0x808080));
    WriteFile(res / "Res3.dxg", WritePictureLibrary(one));
    WriteFile(res / "Sounds.dxw", Sounds());
    WriteFile(root / "Data" / "Music" / "Menu.xm", {1, 2, 3});
    WriteFile(root / "Data" / "Music" / "Race.xm", {4, 5, 6});
}

MenuRig::MenuRig(bool realText) : log_(std::make_unique<MenuLog>()) {
    WriteMenuData(dir_.Path());
    PlatformBundle p;
    p.audio = std::make_unique<LoggedAudio>(*log_);
    if (realText) p.text = CreateTtfTextRenderer();
    auto clock = std::make_unique<SimulatedClock>(5000);
    clock_ = clock.get();
    p.clock = std::move(clock);
    p.shell = std::make_unique<RecordingShell>(*log_);
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 5;
    config.refreshOverride = 85;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
}

MenuRig::~MenuRig() = default;

void MenuRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        // 85 frames a second: 11764 or 11765 microseconds apart.
        clock_->AdvanceMicros(11765);
        form_->MDXTimer.Idle();
    }
}

int MenuRig::PassIntro() {
    int frames = 0;
    while (State().MenuIntroActive != 0 && frames < 200) {
        Frames(1);
        ++frames;
    }
    return frames;
}

void MenuRig::KeyDown(int vk) {
    form_->HandleEvent(Event(WindowEvent::Type::KeyDown, vk));
}

void MenuRig::KeyUp(int vk) {
    form_->HandleEvent(Event(WindowEvent::Type::KeyUp, vk));
}

void MenuRig::Tap(int vk) {
    KeyDown(vk);
    Frames(1);
    KeyUp(vk);
}

void MenuRig::Enter() {
    WindowEvent e{WindowEvent::Type::Char};
    e.ch = 13;
    form_->HandleEvent(e);
}

void MenuRig::Mouse(int x, int y) {
    form_->HandleEvent(Event(WindowEvent::Type::MouseMove, 0, x, y));
}

void MenuRig::Click(int x, int y) {
    Mouse(x, y);
    // A frame passes between the move and the press, as it does for a hand on the mouse.
    Frames(1);
    form_->HandleEvent(Event(WindowEvent::Type::Click, 0, x, y));
}

void MenuRig::DoubleClick(int x, int y) {
    Mouse(x, y);
    Frames(1);
    // The window reports a click for the first press and a double click for the second.
    form_->HandleEvent(Event(WindowEvent::Type::Click, 0, x, y));
    form_->HandleEvent(Event(WindowEvent::Type::DoubleClick, 0, x, y));
}

}  // namespace vrumbal::test
