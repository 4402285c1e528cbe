// The display over SDL: starting video where there is a screen, the window and its placement,
// frames through a renderer or scaled into the window's pixels, vsync checked, and events.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "platform/display.h"
#include "platform/event_translator.h"
#include "platform/frame_scaler.h"
#include "platform/native_window.h"
#include "platform/png_file.h"
#include "platform/refresh_rate.h"
#include "platform/sdl_event_feed.h"
#include "platform/sdl_keys.h"

namespace vrumbal {
namespace {

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct CursorDeleter {
    void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
};

// The smallest window the game shrinks to: half the frame.
constexpr int kMinimumDivisor = 2;

// Video drivers that have no screen at all: nothing there can take the focus away.
bool IsHeadlessDriver(const char* name) {
    return name != nullptr &&
           (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "offscreen") == 0);
}

// The variable that names a display of a window system, or "not set".
std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::string(name) + " (not set)";
    return std::string(name) + "=" + value;
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Starts SDL's video on a driver that has a screen. Left to itself SDL falls back to one with
// none (offscreen), and the game would run where nobody can see it; a driver named in
// SDL_VIDEODRIVER (the dummy or offscreen one of the tests and tools) is taken as asked.
// Window systems whose variable is unset are not tried: they cannot answer, and their
// libraries would print complaints of their own. Sets why when there is no screen.
bool StartVideo(std::string& why) {
    if (IsSet("SDL_VIDEODRIVER") || SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
        why = std::string("Video cannot be initialised: ") + SDL_GetError();
        return false;
    }
    std::string reasons;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (IsHeadlessDriver(name.c_str()) || name == "evdev") continue;
        if ((name == "x11" && !IsSet("DISPLAY")) ||
            (name == "wayland" && !IsSet("WAYLAND_DISPLAY"))) {
            continue;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, name.c_str());
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
        reasons += "; " + name + ": " + SDL_GetError();
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    why = "No display to show the game on: looked for " + Variable("DISPLAY") + " and " +
          Variable("WAYLAND_DISPLAY") + reasons;
    return false;
}

// Index of SDL's own pixel-copying render driver, or -1 (any driver) when it is missing.
int SoftwareRenderDriver() {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "software") == 0) {
            return i;
        }
    }
    return -1;
}

// True when the renderer draws through OpenGL that a CPU rasteriser emulates (no GPU): going
// through it only adds copies and threads, so copying the pixels ourselves is cheaper.
bool RendersThroughSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetStringFn = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetStringFn>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr) return false;
    constexpr unsigned kGlRenderer = 0x1F01;
    const auto* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (name == nullptr) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (std::strstr(name, soft) != nullptr) return true;
    }
    return false;
}

class SdlDisplay final : public Display {
public:
    explicit SdlDisplay(const SdlDisplayOptions& options)
        : Display(options.width, options.height),
          options_(options),
          translator_(options.width, options.height) {
        // The game asks before it closes; SDL must not turn the close button into a quit.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        // The window's class names the desktop entry, so the desktop shows the game's icon
        // and name for it; a class set from outside wins.
        if (!options.windowClass.empty()) {
            setenv("SDL_VIDEO_X11_WMCLASS", options.windowClass.c_str(), 0);
            setenv("SDL_VIDEO_WAYLAND_WMCLASS", options.windowClass.c_str(), 0);
        }
        // The termination signals are the game's own (an orderly exit); SDL must not take them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        videoReady_ = StartVideo(initError_);
    }

    ~SdlDisplay() override {
        texture_.reset();
        renderer_.reset();
        window_.reset();
        handCursor_.reset();
        if (videoReady_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    bool Open(bool fullScreen, std::string& error) override {
        if (!videoReady_) {
            error = initError_;
            return false;
        }
        Close();
        if (!window_ && !CreateWindow(error)) return false;
        if (fullScreen) {
            // Full screen keeps the desktop's mode and scales the frame: no mode change needed.
            if (SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
                error = "Display mode cannot be changed (" + std::to_string(options_.width) + "x" +
                        std::to_string(options_.height) + " 16bit)";
                return false;
            }
        } else {
            SDL_SetWindowFullscreen(window_.get(), 0);
            // The window keeps the size the player gave it; coming back from full screen it
            // takes the place and size it had before.
            if (pending_) {
                Place(*pending_);
                pending_.reset();
            }
        }
        SDL_ShowWindow(window_.get());
        SDL_RaiseWindow(window_.get());
        if (!CreateRenderer(error)) return false;
        SDL_StartTextInput();
        refreshPeriod_ = std::chrono::nanoseconds(1'000'000'000 / UsableRefreshRate(RefreshRate()));
        tickAnchor_.reset();
        outputStale_ = true;
        open_ = true;
        return true;
    }

    void Close() override {
        texture_.reset();
        renderer_.reset();
        open_ = false;
    }

    bool IsOpen() const override { return open_; }

    // Where the frame may be drawn: the window's drawable as the window system reports it,
    // cut to the pixels SDL keeps for it (SDL keeps the size it asked for; a refused full
    // screen leaves the window smaller than that). Read again whenever it may have changed.
    PixelSize OutputSize() override {
        if (!outputStale_) return output_;
        outputStale_ = false;
        PixelSize kept;  // the pixels SDL draws into
        if (useSoftware_) {
            SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
            if (surface != nullptr) kept = {surface->w, surface->h};
        } else if (SDL_GetRendererOutputSize(renderer_.get(), &kept.width, &kept.height) != 0) {
            kept = {};
        }
        int pointsW = 0, pointsH = 0;
        SDL_GetWindowSize(window_.get(), &pointsW, &pointsH);
        rendererOutput_ = kept;
        output_ = kept;
        points_ = {pointsW, pointsH};
        if (const auto real = NativeWindowGeometry(window_.get())) {
            // The window system's pixels are SDL's points there (X11 does no scaling).
            output_ = {std::min(kept.width, real->width), std::min(kept.height, real->height)};
            points_ = output_;
        }
        return output_;
    }

    void PresentFitted(const PixelBuffer& frame, const FrameFit& fit, PixelSize output,
                       bool waitVBlank) override {
        const int width = std::min(frame.width, frameWidth_);
        const int height = std::min(frame.height, frameHeight_);
        if (width <= 0 || height <= 0 || frame.pitch < width) return;
        if (useSoftware_) {
            PresentOnWindowPixels({frame.pixels, width, height, frame.pitch}, fit, output,
                                  waitVBlank);
            return;
        }
        const SDL_Rect area{0, 0, width, height};
        SDL_UpdateTexture(texture_.get(), &area, frame.pixels,
                          frame.pitch * static_cast<int>(sizeof(std::uint16_t)));
        // Whole multiples keep every pixel sharp; between them a smooth filter keeps the
        // pictures even, where the nearest pixel would make some rows and columns thicker.
        const SDL_ScaleMode mode = fit.wholeMultiple ? SDL_ScaleModeNearest : SDL_ScaleModeLinear;
        if (mode != scaleMode_ && SDL_SetTextureScaleMode(texture_.get(), mode) == 0) {
            scaleMode_ = mode;
        }
        // The letterbox bars; a frame that fills the output has none, and clearing what the
        // copy overwrites would cost a whole extra pass.
        const PixelRect& a = fit.area;
        if (a.x != 0 || a.y != 0 || a.width != output.width || a.height != output.height ||
            output != rendererOutput_ || width != frameWidth_ || height != frameHeight_) {
            SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
            SDL_RenderClear(renderer_.get());
        }
        // OpenGL counts rows from the bottom of the drawable: where SDL believes it taller
        // than it is, the rows it shows are the lowest of SDL's, so the frame goes there.
        const int below = glRenderer_ ? rendererOutput_.height - output.height : 0;
        const SDL_Rect target{a.x, a.y + below, a.width, a.height};
        SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &target);
        const bool wait = waitVBlank && !options_.neverWait;
        if (hasVsync_) {
            if (wait != vsyncOn_ && SDL_RenderSetVSync(renderer_.get(), wait ? 1 : 0) == 0) {
                vsyncOn_ = wait;
            }
        } else if (wait) {
            SleepUntilNextTick();
        }
        SDL_RenderPresent(renderer_.get());
        if (hasVsync_ && vsyncOn_) CheckVsyncWaits();
    }

    // Without a GPU the frame is scaled straight into the window's own pixels by our own
    // scaler: one pass over them, where a renderer would convert, then stretch, then copy.
    // Only the output's part of SDL's pixels is written and sent: the window shows no more.
    void PresentOnWindowPixels(const PixelBuffer& frame, const FrameFit& fit, PixelSize output,
                               bool waitVBlank) {
        SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
        if (surface == nullptr) return;
        if (surface->w < output.width || surface->h < output.height) {
            // SDL made its pixels anew since the size was read: read it again next frame.
            outputStale_ = true;
            return;
        }
        const Uint32 format = surface->format->format;
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
        if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
            const Pixels32 target{static_cast<std::uint32_t*>(surface->pixels), output.width,
                                  output.height, surface->pitch / 4};
            scaler_.Scale(frame, target, fit.area, true);
        } else {
            // A screen of another pixel layout: SDL converts and stretches, slowly but right.
            if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
            SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
                frame.pixels, frame.width, frame.height, 16, frame.pitch * 2,
                SDL_PIXELFORMAT_RGB565);
            if (source == nullptr) return;
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            SDL_Rect target{fit.area.x, fit.area.y, fit.area.width, fit.area.height};
            SDL_BlitScaled(source, nullptr, surface, &target);
            SDL_FreeSurface(source);
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        if (waitVBlank && !options_.neverWait) SleepUntilNextTick();
        const SDL_Rect shown{0, 0, output.width, output.height};
        SDL_UpdateWindowSurfaceRects(window_.get(), &shown, 1);
    }

    int RefreshRate() const override {
        if (!videoReady_) return 0;
        int index = window_ ? SDL_GetWindowDisplayIndex(window_.get()) : 0;
        if (index < 0) index = 0;
        SDL_DisplayMode mode;
        if (SDL_GetCurrentDisplayMode(index, &mode) != 0) return 0;
        return mode.refresh_rate;
    }

    void PollEvents(std::vector<WindowEvent>& out) override {
        if (!videoReady_) return;
        SDL_Event event;
        while (SDL_PollEvent(&event) == 1) Translate(event, out);
    }

    bool HasFocus() const override {
        if (!window_) return false;
        const Uint32 flags = SDL_GetWindowFlags(window_.get());
        if ((flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) return false;
        if ((flags & SDL_WINDOW_INPUT_FOCUS) != 0) return true;
        // Without a screen there is no focus to have; the only window counts as the front one.
        return IsHeadlessDriver(SDL_GetCurrentVideoDriver());
    }

    void ShowPointer(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    bool PointerShown() const override {
        return videoReady_ && SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
    }

    void Minimize() override {
        if (window_) SDL_MinimizeWindow(window_.get());
    }

    void SavePlacement() override {
        saved_.reset();
        if (!window_ || IsFullScreen()) return;  // a full-screen window has no place of its own
        saved_ = CurrentPlace();
    }

    void RestorePlacement() override {
        PixelRect target;
        if (saved_) {
            target = *saved_;
            saved_.reset();
        } else {
            const int index = window_ ? std::max(0, SDL_GetWindowDisplayIndex(window_.get())) : 0;
            target.x = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(index));
            target.y = target.x;
            // Centred at the size it last had as a window.
            if (windowedPlace_) {
                target.width = windowedPlace_->width;
                target.height = windowedPlace_->height;
            }
        }
        // A full-screen window cannot be moved; the place is taken when it becomes a window.
        if (window_ && !IsFullScreen()) {
            Place(target);
        } else {
            pending_ = target;
        }
    }

    std::optional<std::string> Unavailable() const override {
        if (videoReady_) return std::nullopt;
        return initError_;
    }

    std::optional<PixelRect> WindowPlacement() const override {
        if (!window_) return std::nullopt;
        if (IsFullScreen()) return saved_ ? saved_ : windowedPlace_;
        const Uint32 flags = SDL_GetWindowFlags(window_.get());
        if ((flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) != 0) return windowedPlace_;
        return CurrentPlace();
    }

    // SDL's window, for asking the window system about it.
    SDL_Window* Window() const { return window_.get(); }

    // The window's id for the event feed.
    std::uint32_t WindowId() const { return window_ ? SDL_GetWindowID(window_.get()) : 0; }

    // The window's own pixels, where the frame is put on them by the scaler.
    std::optional<WindowPixels> ReadWindow() const {
        if (!window_ || !useSoftware_) return std::nullopt;
        SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
        if (surface == nullptr) return std::nullopt;
        WindowPixels out;
        out.width = surface->w;
        out.height = surface->h;
        out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
        if (SDL_ConvertPixels(out.width, out.height, surface->format->format, surface->pixels,
                              surface->pitch, SDL_PIXELFORMAT_RGB888, out.pixels.data(),
                              out.width * 4) != 0) {
            return std::nullopt;
        }
        for (std::uint32_t& p : out.pixels) p &= 0xFFFFFF;
        return out;
    }

private:
    bool IsFullScreen() const {
        return window_ && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
    }

    // Where the window is and how large, as the window system has it where it can be asked.
    PixelRect CurrentPlace() const {
        if (const auto real = NativeWindowGeometry(window_.get())) return *real;
        PixelRect place;
        SDL_GetWindowPosition(window_.get(), &place.x, &place.y);
        SDL_GetWindowSize(window_.get(), &place.width, &place.height);
        return place;
    }

    // Moves the window, and sizes it when the place has a size.
    void Place(const PixelRect& place) {
        if (place.width > 0 && place.height > 0) {
            SDL_SetWindowSize(window_.get(), place.width, place.height);
        }
        SDL_SetWindowPosition(window_.get(), place.x, place.y);
    }

    // The usable areas of the displays, the first display first.
    static std::vector<PixelRect> UsableAreas() {
        std::vector<PixelRect> areas;
        const int count = SDL_GetNumVideoDisplays();
        for (int i = 0; i < count; ++i) {
            SDL_Rect r;
            if (SDL_GetDisplayUsableBounds(i, &r) != 0 && SDL_GetDisplayBounds(i, &r) != 0) {
                continue;
            }
            areas.push_back({r.x, r.y, r.w, r.h});
        }
        return areas;
    }

    bool CreateWindow(std::string& error) {
        const PixelRect place = options_.forcedWindow
                                    ? *options_.forcedWindow
                                    : ChooseWindow(UsableAreas(), options_.rememberedWindow,
                                                   options_.width, options_.height);
        window_.reset(
            SDL_CreateWindow(options_.title.c_str(), place.x, place.y, place.width, place.height,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
        if (!window_) {
            error = std::string("The window cannot be created: ") + SDL_GetError();
            return false;
        }
        SDL_SetWindowMinimumSize(window_.get(), options_.width / kMinimumDivisor,
                                 options_.height / kMinimumDivisor);
        windowedPlace_ = place;
        SetIcon();
        // The frame shows the pointing hand wherever the pointer is shown, set once for the
        // window's life; a driver without system cursors keeps its arrow.
        handCursor_.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND));
        if (handCursor_) SDL_SetCursor(handCursor_.get());
        return true;
    }

    // The window's icon, from the PNG the desktop's icon theme also has.
    void SetIcon() {
        if (options_.iconPath.empty()) return;
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        if (!ReadPngWithAlpha(options_.iconPath, width, height, pixels)) return;
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32,
                                                               width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (icon == nullptr) return;
        SDL_SetWindowIcon(window_.get(), icon);
        SDL_FreeSurface(icon);
    }

    // Makes the renderer and the frame texture. Headless drivers and machines whose only
    // OpenGL is a CPU rasteriser get SDL's software renderer, and the window's pixels are then
    // copied straight to the screen rather than through another hidden OpenGL texture.
    bool CreateRenderer(std::string& error) {
        const Uint32 flags = options_.neverWait ? 0 : SDL_RENDERER_PRESENTVSYNC;
        if (!driverChosen_) {
            driverChosen_ = true;
            // Asked for SDL's software renderer, the window's own pixels serve better still.
            const char* forced = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
            if (IsHeadlessDriver(SDL_GetCurrentVideoDriver()) ||
                (forced != nullptr && std::strcmp(forced, "software") == 0)) {
                useSoftware_ = true;
            } else {
                renderer_.reset(SDL_CreateRenderer(window_.get(), -1, flags));
                if (renderer_ && RendersThroughSoftwareGl(renderer_.get())) {
                    renderer_.reset();
                    useSoftware_ = true;
                }
            }
            if (useSoftware_) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
        if (useSoftware_) {
            // The window's own pixels; the frame timer keeps the pace.
            hasVsync_ = false;
            vsyncOn_ = false;
            if (SDL_GetWindowSurface(window_.get()) == nullptr) {
                error = std::string("The window cannot be drawn on: ") + SDL_GetError();
                return false;
            }
            return true;
        }
        if (!renderer_) {
            const int driver = useSoftware_ ? SoftwareRenderDriver() : -1;
            renderer_.reset(SDL_CreateRenderer(window_.get(), driver, flags));
        }
        if (!renderer_) {
            error = std::string("The renderer cannot be created: ") + SDL_GetError();
            return false;
        }
        // SDL's software renderer reports vsync that only a GPU-drawn window could give.
        SDL_RendererInfo info;
        glRenderer_ = SDL_GetRendererInfo(renderer_.get(), &info) == 0 &&
                      std::strncmp(info.name, "opengl", 6) == 0;
        hasVsync_ = SDL_GetRendererInfo(renderer_.get(), &info) == 0 &&
                    (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 &&
                    (info.flags & SDL_RENDERER_SOFTWARE) == 0;
        if (!hasVsync_ && !options_.neverWait) SDL_RenderSetVSync(renderer_.get(), 0);
        vsyncOn_ = hasVsync_;
        vsyncFrames_ = 0;
        texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB565,
                                         SDL_TEXTUREACCESS_STREAMING, options_.width,
                                         options_.height));
        if (!texture_) {
            error = std::string("The frame texture cannot be created: ") + SDL_GetError();
            renderer_.reset();
            return false;
        }
        SDL_SetTextureScaleMode(texture_.get(), SDL_ScaleModeNearest);
        scaleMode_ = SDL_ScaleModeNearest;
        return true;
    }

    // Some drivers promise vsync and never wait (a virtual screen, a compositor that drops
    // frames); the game would then run flat out. The first frames tell: if they came much
    // faster than the refresh, the display sleeps between frames itself from then on.
    void CheckVsyncWaits() {
        constexpr int kProbeFrames = 30;
        const auto now = std::chrono::steady_clock::now();
        if (vsyncFrames_ == 0) vsyncProbeStart_ = now;
        if (++vsyncFrames_ <= kProbeFrames) return;
        if (vsyncFrames_ == kProbeFrames + 1 &&
            now - vsyncProbeStart_ < refreshPeriod_ * kProbeFrames / 2) {
            SDL_RenderSetVSync(renderer_.get(), 0);
            hasVsync_ = false;
            vsyncOn_ = false;
        }
    }

    // Sleeps until the next refresh tick of a regular grid of ticks, so the frames keep the
    // refresh rate's pace even without a vertical-blank signal.
    void SleepUntilNextTick() {
        const auto now = std::chrono::steady_clock::now();
        if (!tickAnchor_) tickAnchor_ = now;
        const auto ticks = (now - *tickAnchor_) / refreshPeriod_ + 1;
        std::this_thread::sleep_until(*tickAnchor_ + ticks * refreshPeriod_);
    }

    void Translate(const SDL_Event& event, std::vector<WindowEvent>& out) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                translator_.Key(event.type == SDL_KEYDOWN, event.key.keysym.scancode,
                                event.key.keysym.sym, KeyModifiersFromSdl(event.key.keysym.mod),
                                out);
                break;
            case SDL_TEXTINPUT:
                translator_.Text(event.text.text, out);
                break;
            case SDL_MOUSEMOTION:
                if (const auto at = ToFrame(event.motion.x, event.motion.y)) {
                    translator_.MouseMove(at->first, at->second, out);
                }
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                // A press on the black bars is on nothing of the game's.
                if (const auto at = ToFrame(event.button.x, event.button.y)) {
                    translator_.MouseButton(event.type == SDL_MOUSEBUTTONDOWN,
                                            event.button.button == SDL_BUTTON_LEFT,
                                            event.button.clicks, at->first, at->second, out);
                }
                break;
            case SDL_WINDOWEVENT:
                if (ChangesOutput(event.window.event)) outputStale_ = true;
                if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                    event.window.event == SDL_WINDOWEVENT_MOVED) {
                    RememberWindowedPlace();
                }
                TranslateWindow(event.window.event, out);
                break;
            case SDL_QUIT:
                out.push_back(Simple(WindowEvent::Type::Quit));
                break;
            default:
                break;
        }
    }

    // Window events after which the drawable may have another size than before.
    static bool ChangesOutput(Uint8 what) {
        switch (what) {
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_RESIZED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_MAXIMIZED:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                return true;
            default:
                return false;
        }
    }

    static void TranslateWindow(Uint8 what, std::vector<WindowEvent>& out) {
        switch (what) {
            case SDL_WINDOWEVENT_CLOSE:
                out.push_back(Simple(WindowEvent::Type::Close));
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                out.push_back(Simple(WindowEvent::Type::Minimize));
                break;
            case SDL_WINDOWEVENT_RESTORED:
                out.push_back(Simple(WindowEvent::Type::Restore));
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                out.push_back(Simple(WindowEvent::Type::FocusGained));
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                out.push_back(Simple(WindowEvent::Type::FocusLost));
                break;
            default:
                break;
        }
    }

    // The frame pixel under a pointer position in window coordinates (which are points, not
    // pixels, on a high-density screen), as the frame is shown in the drawable now.
    std::optional<std::pair<int, int>> ToFrame(int x, int y) {
        if (!window_ || !open_) return std::make_pair(x, y);
        const PixelSize output = OutputSize();
        if (output.width <= 0 || output.height <= 0 || points_.width <= 0 || points_.height <= 0) {
            return std::make_pair(x, y);
        }
        const int px = static_cast<int>(static_cast<long long>(x) * output.width / points_.width);
        const int py = static_cast<int>(static_cast<long long>(y) * output.height / points_.height);
        return OutputToFrame(FitFrame(output.width, output.height, frameWidth_, frameHeight_), px,
                             py, frameWidth_, frameHeight_);
    }

    // Keeps the window's own place while it is one, for the file and the way back.
    void RememberWindowedPlace() {
        if (!window_ || IsFullScreen()) return;
        const Uint32 flags = SDL_GetWindowFlags(window_.get());
        if ((flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) != 0) return;
        windowedPlace_ = CurrentPlace();
    }

    static WindowEvent Simple(WindowEvent::Type type) {
        WindowEvent event;
        event.type = type;
        return event;
    }

    SdlDisplayOptions options_;
    EventTranslator translator_;
    bool videoReady_ = false;  // the video subsystem is up (and must be shut down again)
    std::string initError_;    // why it is not
    std::unique_ptr<SDL_Window, WindowDeleter> window_;        // made by the first Open
    std::unique_ptr<SDL_Renderer, RendererDeleter> renderer_;  // made by Open
    std::unique_ptr<SDL_Texture, TextureDeleter> texture_;     // the frame, made by Open
    std::unique_ptr<SDL_Cursor, CursorDeleter> handCursor_;    // the pointer over the frame
    bool open_ = false;          // between a successful Open and Close
    bool driverChosen_ = false;  // the render driver was picked (once per display)
    bool useSoftware_ = false;   // present on the window's own pixels, without a renderer
    bool hasVsync_ = false;      // the renderer waits for the refresh itself
    bool vsyncOn_ = false;       // and that wait is switched on now
    int vsyncFrames_ = 0;        // frames presented with vsync since Open (counted up to the probe)
    std::chrono::steady_clock::time_point vsyncProbeStart_;  // when the first of them went
    std::chrono::nanoseconds refreshPeriod_{16'666'667};     // one refresh
    std::optional<std::chrono::steady_clock::time_point> tickAnchor_;  // start of the tick grid
    bool outputStale_ = true;   // the drawable may have changed size since it was read
    PixelSize output_;          // the drawable's size, where frames are shown
    PixelSize points_;          // the same in pointer coordinates
    PixelSize rendererOutput_;  // the pixels SDL keeps for the window (its belief)
    bool glRenderer_ = false;   // the renderer draws through OpenGL (rows counted upward)
    FrameScaler scaler_;                              // puts frames on the window's own pixels
    SDL_ScaleMode scaleMode_ = SDL_ScaleModeNearest;  // the frame texture's filter now
    std::optional<PixelRect> windowedPlace_;          // the window's last place as a window
    std::optional<PixelRect> saved_;                  // remembered by SavePlacement
    std::optional<PixelRect> pending_;  // to take when the window next leaves full screen
};

}  // namespace

std::unique_ptr<Display> CreateSdlDisplay(const SdlDisplayOptions& options) {
    return std::make_unique<SdlDisplay>(options);
}

std::optional<WindowPixels> ReadSdlDisplayWindow(const Display& display) {
    const auto* sdl = dynamic_cast<const SdlDisplay*>(&display);
    return sdl != nullptr ? sdl->ReadWindow() : std::nullopt;
}

std::optional<WindowPixels> ReadShownWindow(const Display& display) {
    const auto* sdl = dynamic_cast<const SdlDisplay*>(&display);
    if (sdl == nullptr) return std::nullopt;
    WindowPixels out;
    if (!NativeWindowPixels(sdl->Window(), out.width, out.height, out.pixels)) return std::nullopt;
    return out;
}

std::uint32_t SdlDisplayWindowId(const Display& display) {
    const auto* sdl = dynamic_cast<const SdlDisplay*>(&display);
    return sdl != nullptr ? sdl->WindowId() : 0;
}

}  // namespace vrumbal
