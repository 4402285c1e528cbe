#include "rival_rig.h"

#include <fstream>

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

class CountedBuffer final : public SoundBuffer {
public:
    CountedBuffer(SoundCount& log, int sound) : log_(log), sound_(sound) {}
    void Stop() override { playing_ = false; }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        playing_ = true;
        ++log_.starts[sound_];
    }
    bool IsPlaying() const override { return playing_; }
    int Sound() const { return sound_; }

private:
    SoundCount& log_;
    int sound_;
    bool playing_ = false;
};

// Sound n of the test library has n + 1 sample bytes, so its buffers tell which sound they are.
class CountedAudio final : public AudioOutput {
public:
    explicit CountedAudio(SoundCount& log) : log_(log) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<CountedBuffer>(log_, static_cast<int>(samples->size()) - 1);
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<CountedBuffer>(log_,
                                               static_cast<const CountedBuffer&>(original).Sound());
    }
    int SongLoadFromFile(const std::string&) override { return 0; }
    void SongPlay(int) override {}
    void SongFree(int) override {}

private:
    SoundCount& log_;
};

class NoShell final : public SystemShell {
public:
    void Open(const std::string&) override {}
    void RaisePriority() override {}
    void ShowError(const std::string&, const std::string&) override {}
};

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

PictureItemData Patterned(int picture, int width, int height, int patterns) {
    PictureItemData item;
    item.name = "p";
    item.patternWidth = width;
    item.patternHeight = height;
    item.picture.width = width * patterns;
    item.picture.height = height;
    item.picture.pixels.resize(static_cast<std::size_t>(item.picture.width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < item.picture.width; ++x) {
            item.picture.pixels[static_cast<std::size_t>(y) * item.picture.width + x] =
                PatternColour(picture, x / width);
        }
    }
    return item;
}

std::vector<std::uint8_t> RacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 37; ++i) lib.items.push_back(Patterned(i, 8, 8, 1));
    lib.items[0] = Patterned(0, 4, 4, 1);
    lib.items[1] = Patterned(1, 72, 72, 1);
    lib.items[1].picture.width = 72 * 80;  // one road tile per map byte, all alike
    lib.items[1].picture.pixels.assign(72u * 80u * 72u, PatternColour(1, 0));
    lib.items[4] = Patterned(4, 60, 8, 1);
    lib.items[10] = Patterned(10, 10, 14, 1);
    for (int kind = 1; kind <= 5; ++kind) lib.items[10u + kind] = Patterned(10 + kind, 35, 34, 5);
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        const RivalModel& r = RivalModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] =
            Patterned(m.uprightPicture, r.boxWidth, r.boxHeight, 1);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            Patterned(m.crashPicture, r.crashWidth, r.crashHeight, m.crashFrames);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] =
            Patterned(m.leanLeftPicture, r.boxWidth, r.boxHeight, 6);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] =
            Patterned(m.leanRightPicture, r.boxWidth, r.boxHeight, 6);
    }
    return WritePictureLibrary(lib);
}

std::vector<std::uint8_t> OnePicture() {
    PictureLibraryData lib;
    lib.items.push_back(Patterned(0, 8, 8, 1));
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

}  // namespace

std::uint32_t PatternColour(int picture, int pattern) {
    // Distinct for pictures 0..61 and patterns 0..7, never black (the colour key), and exact
    // in 16 bits.
    const auto red = static_cast<std::uint32_t>(8 * (1 + picture % 31));
    const auto green = static_cast<std::uint32_t>(4 * (1 + 2 * pattern + picture / 31));
    return red << 16 | green << 8 | 0x80u;
}

std::uint16_t PatternPixel(int picture, int pattern) {
    const std::uint32_t c = PatternColour(picture, pattern);
    return PackRgb565((c >> 16) & 0xFFu, (c >> 8) & 0xFFu, c & 0xFFu);
}

RivalRig::RivalRig(int level, int fps, std::uint64_t seed)
    : sounds_(std::make_unique<SoundCount>()), fps_(fps) {
    const auto res = dir_.Path() / "Data" / "Res";
    WriteFile(res / "Res1.dxg", OnePicture());
    WriteFile(res / "Res2.dxg", RacePictures());
    WriteFile(res / "Res3.dxg", OnePicture());
    WriteFile(res / "Sounds.dxw", Sounds());
    PlatformBundle p;
    p.audio = std::make_unique<CountedAudio>(*sounds_);
    auto clock = std::make_unique<SimulatedClock>(5000);
    clock_ = clock.get();
    p.clock = std::move(clock);
    p.shell = std::make_unique<NoShell>();
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = seed;
    config.refreshOverride = fps;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    form_->State().SelectedBike = 1;
    form_->StartRace(level);
}

RivalRig::~RivalRig() = default;

void RivalRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        std::uint64_t step = 1000000u / static_cast<unsigned>(fps_);
        remainder_ += 1000000u % static_cast<unsigned>(fps_);
        if (remainder_ >= static_cast<unsigned>(fps_)) {
            remainder_ -= static_cast<unsigned>(fps_);
            ++step;
        }
        clock_->AdvanceMicros(step);
        form_->MDXTimer.Idle();
    }
}

void RivalRig::PassLevelStart() {
    for (int i = 0; i < fps_ * 5 && Game().DialogKind == 6; ++i) Frames(1);
}

void RivalRig::KeyDown(int vk) {
    WindowEvent e{WindowEvent::Type::KeyDown};
    e.key = vk;
    form_->HandleEvent(e);
}

void RivalRig::KeyUp(int vk) {
    WindowEvent e{WindowEvent::Type::KeyUp};
    e.key = vk;
    form_->HandleEvent(e);
}

double RivalRig::ScreenX(double worldX) {
    return worldX - 72.0 * State().ViewColumn + Race().Road()->X;
}

double RivalRig::ScreenY(double worldY) {
    return worldY - 72.0 * State().ViewRow + Race().Road()->Y;
}

std::uint16_t RivalRig::Pixel(int x, int y) {
    return form_->MDXDraw.BackSurface().Row(y)[x];
}

void RivalRig::Steady(int r) {
    TCar& cars = Rivals();
    const auto i = static_cast<std::size_t>(r);
    cars.LaneTimer[i] = 1 << 30;
    cars.PaceTimer[i] = 1 << 30;
}

}  // namespace vrumbal::test
