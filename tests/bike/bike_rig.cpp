#include "bike_rig.h"

#include <fstream>

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

// Sound n of the test library has n + 1 sample bytes, so its buffers tell which sound they are.
class LoggedBuffer final : public SoundBuffer {
public:
    LoggedBuffer(SoundLog& log, int sound) : log_(log), sound_(sound) {}
    void Stop() override { log_.playing[sound_] = false; }
    void SetPosition(std::uint32_t) override {}
    void SetFrequency(int) override {}
    void SetPan(int) override {}
    void SetVolume(int) override {}
    void Play(bool) override {
        log_.playing[sound_] = true;
        ++log_.starts[sound_];
    }
    bool IsPlaying() const override { return log_.playing[sound_]; }
    int Sound() const { return sound_; }

private:
    SoundLog& log_;
    int sound_;
};

class LoggedAudio final : public AudioOutput {
public:
    explicit LoggedAudio(SoundLog& log) : log_(log) {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat&, std::shared_ptr<const std::vector<std::uint8_t>> samples) override {
        return std::make_unique<LoggedBuffer>(log_, static_cast<int>(samples->size()) - 1);
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        return std::make_unique<LoggedBuffer>(log_,
                                              static_cast<const LoggedBuffer&>(original).Sound());
    }
    int SongLoadFromFile(const std::string&) override { return 0; }
    void SongPlay(int) override {}
    void SongFree(int) override {}

private:
    SoundLog& log_;
};

class QuietShell final : public SystemShell {
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

// The race's pictures of list 2 at their numbers, in sizes like the game's.
std::vector<std::uint8_t> RacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 37; ++i) lib.items.push_back(Solid(8, 8, 1, 0x404040));
    lib.items[1] = Solid(72, 72, 50, 0x606060);  // road tiles, one pattern per map byte
    lib.items[4] = Solid(60, 8, 1, 0xFF0000);    // needle
    lib.items[10] = Solid(10, 14, 1, 0x101010);  // tyre mark
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] =
            Solid(kBikeWidth, kBikeHeight, 1, 0x2040C0);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            Solid(60, 100, m.crashFrames, 0xC04020);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] =
            Solid(kBikeWidth, kBikeHeight, kLeanPatterns, 0x20C040);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] =
            Solid(kBikeWidth, kBikeHeight, kLeanPatterns, 0x40C020);
    }
    return WritePictureLibrary(lib);
}

std::vector<std::uint8_t> OnePicture() {
    PictureLibraryData lib;
    lib.items.push_back(Solid(8, 8, 1, 0x808080));
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

void WriteRaceData(const std::filesystem::path& root) {
    const auto res = root / "Data" / "Res";
    WriteFile(res / "Res1.dxg", OnePicture());
    WriteFile(res / "Res2.dxg", RacePictures());
    WriteFile(res / "Res3.dxg", OnePicture());
    WriteFile(res / "Sounds.dxw", Sounds());
}

BikeRig::BikeRig(int fps, int bike, int level) : sounds_(std::make_unique<SoundLog>()), fps_(fps) {
    WriteRaceData(dir_.Path());
    PlatformBundle p;
    p.audio = std::make_unique<LoggedAudio>(*sounds_);
    auto clock = std::make_unique<SimulatedClock>(5000);
    clock_ = clock.get();
    p.clock = std::move(clock);
    p.shell = std::make_unique<QuietShell>();
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 11;
    config.refreshOverride = fps;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    form_->State().SelectedBike = bike;
    form_->StartRace(level);
}

BikeRig::~BikeRig() = default;

void BikeRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        // Spread the division's remainder so that fps frames take exactly one second.
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

void BikeRig::PassLevelStart() {
    for (int i = 0; i < fps_ * 5 && Game().DialogKind == 6; ++i) Frames(1);
}

void BikeRig::KeyDown(int vk) {
    WindowEvent e{WindowEvent::Type::KeyDown};
    e.key = vk;
    form_->HandleEvent(e);
}

void BikeRig::KeyUp(int vk) {
    WindowEvent e{WindowEvent::Type::KeyUp};
    e.key = vk;
    form_->HandleEvent(e);
}

double BikeRig::WorldX() {
    return State().ViewColumn * 72.0 - Race().Road()->X + Bike().CentreX;
}

double BikeRig::WorldY() {
    return State().ViewRow * 72.0 - Race().Road()->Y + Bike().CentreY;
}

void FakeRivals::Place(int r, double worldX, double worldY) {
    RivalInfo& info = At(r);
    info.active = true;
    info.onScreen = true;
    info.centreX = worldX;
    info.centreY = worldY;
    info.corners = {QuadPoint{worldX - 10, worldY - 20}, QuadPoint{worldX + 10, worldY - 20},
                    QuadPoint{worldX + 10, worldY + 20}, QuadPoint{worldX - 10, worldY + 20}};
}

}  // namespace vrumbal::test
