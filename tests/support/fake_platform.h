// The pieces of a headless game the test rigs share: a sound output and a desktop that record
// what the game asked of them, a simulated clock, and writers for small test libraries.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "platform/events.h"
#include "platform/window_fit.h"
#include "shell/platform_bundle.h"

namespace vrumbal::test {

// Virtual-key codes the game's screens read.
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyDown = 0x28;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyRight = 0x27;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyPause = 'P';
inline constexpr int kKeySpace = 0x20;
inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyCtrl = 0x11;
inline constexpr int kKeyAlt = 0x12;
inline constexpr int kKeyF1 = 0x70;
// The answers to the questions.
inline constexpr int kKeyYes = 'Y';
inline constexpr int kKeyNo = 'N';

// What the recording sound output and desktop saw. Sound n of NumberedSounds has n + 1 sample
// bytes, so every buffer knows which sound it plays.
struct PlatformLog {
    // A rig may keep more in a log of its own kind, owned as a PlatformLog.
    virtual ~PlatformLog() = default;
    std::map<int, int> starts;         // sound number -> starts
    std::map<std::size_t, int> plays;  // sample bytes -> starts (the same starts by length)
    std::map<int, bool> playing;       // sound number -> its last buffer started, not stopped
    int songsLoaded = 0;               // successful song loads; the n-th gets handle n
    std::vector<std::string> songs;    // paths of the songs loaded, in order
    std::vector<int> songsPlayed;      // handles handed to SongPlay, in order
    std::vector<int> songsFreed;       // handles freed, in order
    std::vector<std::string> opened;   // targets handed to the desktop, in order
    std::vector<std::string> errors;   // error boxes shown, as "title: message"

    // The recording display (AddRecordingDisplay): what it was asked, and how it answers.
    std::vector<std::string> display;  // "open window", "open full", "close", "minimize",
                                       // "save place", "restore place", in order
    bool pointerShown = true;          // the system pointer, shown as a window starts
    int pointerChanges = 0;            // ShowPointer calls that changed it
    int presents = 0;                  // frames presented
    bool refuseFullScreen = false;     // full screen cannot be had
    bool refuseWindow = false;         // nor a window
    std::vector<WindowEvent> pending;  // events the next PollEvents hands over
    int throwAtPresent = 0;            // the present of that number throws (0: none does)
    int endAtPresent = 0;              // from that present on an end is requested (0: never)
    bool endRequested = false;         // what the recording signals answer
    std::optional<PixelRect> window;   // the window's place, as the display reports it
    PixelSize windowSize{800, 600};    // the drawable a window request gets
    PixelSize fullScreenSize{800, 600};      // and a full-screen one (granted or not)
    std::map<int, PixelSize> sizeAtPresent;  // from that present on, the drawable has this size
};

// Whether a buffer's IsPlaying tells its own state or that of its sound's buffers as a whole.
enum class PlayingState { kPerBuffer, kPerSound };

// A sound output that is always open and logs every start; songs load when their file exists.
std::unique_ptr<AudioOutput> MakeRecordingAudio(PlatformLog& log,
                                                PlayingState playing = PlayingState::kPerBuffer);
// A desktop that logs the targets it is asked to open and the errors it is asked to show.
std::unique_ptr<SystemShell> MakeRecordingShell(PlatformLog& log);

// Recording audio and desktop over log and a simulated clock at 5 seconds, which clock is
// pointed at; no display and no text.
PlatformBundle FakePlatform(PlatformLog& log, SimulatedClock*& clock,
                            PlayingState playing = PlayingState::kPerBuffer);

// Gives the platform a display that logs into log, as a window system would answer.
void AddRecordingDisplay(PlatformBundle& platform, PlatformLog& log);
// Gives the platform end requests that come when log.endRequested is set.
void AddRecordingSignals(PlatformBundle& platform, PlatformLog& log);

// Writes bytes to path, making its folders.
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// How the patterns of a test picture lie in it.
enum class PatternLayout { kSideBySide, kStacked };

// A picture of one colour cut into patterns patterns of patternWidth x height pixels.
PictureItemData SolidPicture(int patternWidth, int height, int patterns, std::uint32_t colour,
                             PatternLayout layout = PatternLayout::kSideBySide);
// A picture library of count solid 8 x 8 pictures; picture i is colour + i * colourStep.
std::vector<std::uint8_t> SmallPictures(int count, std::uint32_t colour,
                                        std::uint32_t colourStep = 0);
// A sound library of count 8-bit mono sounds; sound n has n + 1 sample bytes.
std::vector<std::uint8_t> NumberedSounds(int count);

// Microseconds between frames at fps frames a second, the remainder spread so that fps frames
// take exactly one second.
class FrameSteps {
public:
    explicit FrameSteps(int fps) : fps_(static_cast<unsigned>(fps)) {}
    // The time from this frame to the next.
    std::uint64_t Next();

private:
    unsigned fps_;                 // frames a second
    std::uint64_t remainder_ = 0;  // microseconds owed, in fps-ths
};

// A key event with the given modifier bits.
WindowEvent KeyEvent(WindowEvent::Type type, int vk, std::uint8_t shift = 0);
// A pointer event at (x, y).
WindowEvent PointerEvent(WindowEvent::Type type, int x, int y);
// A typed character in code page 1251.
WindowEvent CharEvent(std::uint8_t ch);

}  // namespace vrumbal::test
