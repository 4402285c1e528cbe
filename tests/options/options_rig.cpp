#include "options_rig.h"

#include <fstream>

#include "engine/library_writer.h"
#include "engine/my_image_sprite.h"
#include "race/font_slots.h"

namespace vrumbal::test {
namespace {

// Sound n of the test library has n + 1 sample bytes, so its buffers tell which sound they are.
class CountedBuffer final : public SoundBuffer {
public:
    CountedBuffer(RigLog& log, int sound) : log_(log), sound_(sound) {}
    void Stop() override { playing_ = false; }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        playing_ = true;
        ++log_.soundStarts[sound_];
    }
    bool IsPlaying() const override { return playing_; }
    int Sound() const { return sound_; }

private:
    RigLog& log_;
    int sound_;
    bool playing_ = false;
};

class CountedAudio final : public AudioOutput {
public:
    explicit CountedAudio(RigLog& log) : log_(log) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<CountedBuffer>(log_, static_cast<int>(samples->size()) - 1);
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<CountedBuffer>(log_,
                                               static_cast<const CountedBuffer&>(original).Sound());
    }
    int SongLoadFromFile(const std::string& path) override {
        if (!std::ifstream(path)) return 0;
        return ++log_.songsLoaded;
    }
    void SongPlay(int song) override { log_.songsPlayed.push_back(song); }
    void SongFree(int song) override { log_.songsFreed.push_back(song); }

private:
    RigLog& log_;
};

class RecordingShell final : public SystemShell {
public:
    explicit RecordingShell(RigLog& log) : log_(log) {}
    void Open(const std::string& target) override { log_.opened.push_back(target); }
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}

private:
    RigLog& log_;
};

class RecordingText final : public TextRenderer {
public:
    explicit RecordingText(RigLog& log) : log_(log) {}
    void DrawText(const PixelBuffer&, int x, int y, const std::string& text,
                  const FontSpec& font) override {
        log_.drawn.push_back({x, y, text, font});
    }
    int TextWidth(const std::string& text, const FontSpec& font) override {
        return FakeTextWidth(text, font.size);
    }
    int TextHeight(const std::string&, const FontSpec& font) override { return font.size; }

private:
    RigLog& log_;
};

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

PictureItemData Solid(int patternWidth, int height, int patterns) {
    PictureItemData item;
    item.name = "p";
    item.patternWidth = patternWidth;
    item.patternHeight = height;
    item.picture.width = patternWidth;
    item.picture.height = height * patterns;
    item.picture.pixels.assign(static_cast<std::size_t>(item.picture.width) * item.picture.height,
                               0x336699);
    return item;
}

// Image list 1 with the menu pictures at their numbers; the buttons have their two looks
// stacked as patterns, the rest one pattern each.
std::vector<std::uint8_t> MenuPictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 54; ++i) lib.items.push_back(Solid(TestPictureWidth(i), 4, 1));
    lib.items[0] = Solid(4, 4, 1);
    lib.items[1] = Solid(800, 600, 1);
    for (int i = 2; i <= 13; ++i) lib.items[i] = Solid(280, 52, 1);
    lib.items[36] = Solid(128, 44, 2);
    lib.items[40] = Solid(144, 54, 2);
    lib.items[41] = Solid(136, 54, 2);
    return WritePictureLibrary(lib);
}

std::vector<std::uint8_t> FewPictures(int count) {
    PictureLibraryData lib;
    for (int i = 0; i < count; ++i) lib.items.push_back(Solid(8, 8, 1));
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

WindowEvent KeyEvent(WindowEvent::Type type, int vk, std::uint8_t shift) {
    WindowEvent e{type};
    e.key = vk;
    e.shift = shift;
    return e;
}

}  // namespace

int TestPictureWidth(int index) {
    return 1000 + index;
}

int FakeTextWidth(const std::string& text, int pointSize) {
    int width = 0;
    for (char c : text) width += c == 'W' ? 2 * pointSize : pointSize / 2;
    return width;
}

ScreenRig::ScreenRig() : log_(std::make_unique<RigLog>()) {
    const auto data = dir_.Path() / "Data";
    WriteFile(data / "Res" / "Res1.dxg", MenuPictures());
    WriteFile(data / "Res" / "Res2.dxg", FewPictures(40));
    WriteFile(data / "Res" / "Res3.dxg", FewPictures(4));
    WriteFile(data / "Res" / "Sounds.dxw", Sounds());
    WriteFile(data / "Music" / "Menu.xm", {1, 2, 3});
    WriteFile(data / "Music" / "Race.xm", {4, 5, 6});

    PlatformBundle p;
    p.audio = std::make_unique<CountedAudio>(*log_);
    p.text = std::make_unique<RecordingText>(*log_);
    auto clock = std::make_unique<SimulatedClock>(5000);
    clock_ = clock.get();
    p.clock = std::move(clock);
    p.shell = std::make_unique<RecordingShell>(*log_);
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 11;
    config.refreshOverride = 85;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    // The buttons slide in for well under two seconds.
    for (int i = 0; i < 170 && State().MenuIntroActive != 0; ++i) Frames(1);
}

ScreenRig::~ScreenRig() = default;

void ScreenRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        clock_->AdvanceMicros(1000000 / 85);
        form_->MDXTimer.Idle();
    }
}

void ScreenRig::KeyDown(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk, shift));
}

void ScreenRig::KeyUp(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk, shift));
}

void ScreenRig::Tap(int vk, std::uint8_t shift) {
    KeyDown(vk, shift);
    Frames(1);
    KeyUp(vk, shift);
    Frames(1);
}

void ScreenRig::Type(std::uint8_t ch) {
    WindowEvent e{WindowEvent::Type::Char};
    e.ch = ch;
    form_->HandleEvent(e);
}

void ScreenRig::MouseTo(int x, int y) {
    WindowEvent e{WindowEvent::Type::MouseMove};
    e.x = x;
    e.y = y;
    form_->HandleEvent(e);
}

void ScreenRig::Click() {
    WindowEvent e{WindowEvent::Type::Click};
    e.x = State().MouseX;
    e.y = State().MouseY;
    form_->HandleEvent(e);
}

std::vector<DrawnText> ScreenRig::DrawnInSlot(int slot) const {
    const FontSlot& wanted = FontSlotAt(slot);
    std::vector<DrawnText> found;
    for (const DrawnText& d : log_->drawn) {
        if (d.font.size == wanted.size && d.font.color == wanted.color &&
            d.font.bold == wanted.bold) {
            found.push_back(d);
        }
    }
    return found;
}

int ScreenRig::EntryPictureWidth(int entry) const {
    const TMyImageSprite* sprite =
        form_->State().MenuEntries[static_cast<std::size_t>(entry)].sprite;
    return sprite ? sprite->Width : -1;
}

}  // namespace vrumbal::test
