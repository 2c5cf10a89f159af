#include "platform/display.h"
#include "platform/sdl/sdl_display_window.h"
#include "platform/sdl/x11_window_watch.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {

// The window of the open display, for the window backend's events.
SDL_Window* g_displayWindow = nullptr;
// Why the last display could not be opened.
std::string g_openError;

// SDL falls back to a driver that shows nothing (its offscreen one) when no
// display server can be reached; a window there would run unseen. Such a
// driver is taken only when SDL_VIDEODRIVER names it.
bool showsNothingUnasked(const char* driver)
{
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return false;
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    return !requested || !std::strstr(requested, driver);
}

Uint32 sdlFormat(PixelFormat16 format)
{
    return format == PixelFormat16::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
}

// The surface formats the client writes itself; false for any other.
bool surfaceFormatOf(Uint32 sdl, SurfaceFormat& format)
{
    switch (sdl) {
    case SDL_PIXELFORMAT_RGB565:
        format = SurfaceFormat::Rgb565;
        return true;
    case SDL_PIXELFORMAT_RGB555:
        format = SurfaceFormat::Rgb555;
        return true;
    case SDL_PIXELFORMAT_RGB888:
    case SDL_PIXELFORMAT_ARGB8888:
        format = SurfaceFormat::Xrgb8888;
        return true;
    default:
        return false;
    }
}

// A window whose own surface is the screen: the frame is written straight
// into the surface's pixels and only the rectangles that changed are sent to
// the window system. No renderer, so no graphics-card stack is loaded for a
// picture that is drawn in memory anyway. A surface in a layout the client
// does not write goes through a 16-bit staging surface that SDL converts.
class SdlDisplay final : public Display {
public:
    ~SdlDisplay() override
    {
        if (m_staging)
            SDL_FreeSurface(m_staging);
        if (m_window) {
            if (g_displayWindow == m_window)
                g_displayWindow = nullptr;
            SDL_DestroyWindow(m_window);
            stopWatchingX11Window();
        }
        if (m_videoStarted)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool open(const char* title, int32_t width, int32_t height)
    {
        // The window surface would otherwise be a texture of a renderer,
        // which under X11 means a software graphics stack for a 2D picture.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // Termination signals are the client's own business
        // (platform/close_signals.h), not turned into a quit event here.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        installX11ErrorHandler();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            g_openError = SDL_GetError();
            return false;
        }
        m_videoStarted = true;
        if (showsNothingUnasked(SDL_GetCurrentVideoDriver())) {
            g_openError = std::string("no display server could be reached; only SDL's ")
                + SDL_GetCurrentVideoDriver() + " driver started";
            return false;
        }
        m_window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
            height, SDL_WINDOW_RESIZABLE);
        if (!m_window) {
            g_openError = SDL_GetError();
            return false;
        }
        g_displayWindow = m_window;
        watchX11Window(m_window);
        return true;
    }

    bool beginFrame(int32_t width, int32_t height, PixelFormat16 frameFormat, FrameSurface& surface) override
    {
        // Nothing is left to show on a window destroyed from outside.
        if (m_screen || width <= 0 || height <= 0 || x11WindowLost())
            return false;
        SDL_Surface* screen = SDL_GetWindowSurface(m_window);
        if (!screen || screen->w <= 0 || screen->h <= 0)
            return false;
        // A new or resized surface (or a new frame size) holds nothing shown.
        bool fresh = screen != m_lastScreen || screen->pixels != m_lastPixels || screen->w != m_lastScreenWidth
            || screen->h != m_lastScreenHeight || width != m_frameWidth || height != m_frameHeight
            || frameFormat != m_frameFormat;
        if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0)
            return false;
        m_screen = screen;
        m_lastScreen = screen;
        m_lastPixels = screen->pixels;
        m_lastScreenWidth = screen->w;
        m_lastScreenHeight = screen->h;
        m_frameWidth = width;
        m_frameHeight = height;
        m_frameFormat = frameFormat;
        m_fresh = fresh;
        if (fresh) {
            // The part of a larger surface that no frame covers stays black.
            SDL_FillRect(screen, nullptr, 0);
        }
        surface.width = std::min(width, screen->w);
        surface.height = std::min(height, screen->h);
        surface.needsWholeFrame = fresh;
        SurfaceFormat format;
        if (surfaceFormatOf(screen->format->format, format)) {
            m_useStaging = false;
            surface.pixels = static_cast<uint8_t*>(screen->pixels);
            surface.pitch = screen->pitch;
            surface.format = format;
            return true;
        }
        if (!prepareStaging(surface.width, surface.height, frameFormat)) {
            if (SDL_MUSTLOCK(screen))
                SDL_UnlockSurface(screen);
            m_screen = nullptr;
            return false;
        }
        m_useStaging = true;
        surface.pixels = static_cast<uint8_t*>(m_staging->pixels);
        surface.pitch = m_staging->pitch;
        surface.format = frameFormat == PixelFormat16::Rgb565 ? SurfaceFormat::Rgb565 : SurfaceFormat::Rgb555;
        return true;
    }

    bool endFrame(std::span<const ScreenRect> rects) override
    {
        SDL_Surface* screen = m_screen;
        if (!screen)
            return false;
        m_screen = nullptr;
        const ScreenRect limit { 0, 0, std::min(m_frameWidth, screen->w), std::min(m_frameHeight, screen->h) };
        m_rects.clear();
        for (const ScreenRect& rect : rects) {
            ScreenRect r = rect.intersected(limit);
            if (!r.isEmpty())
                m_rects.push_back({ r.left, r.top, r.width(), r.height() });
        }
        if (m_useStaging) {
            for (SDL_Rect& area : m_rects) {
                SDL_Rect target = area;
                SDL_BlitSurface(m_staging, &area, screen, &target);
            }
        }
        if (SDL_MUSTLOCK(screen))
            SDL_UnlockSurface(screen);
        if (m_fresh)
            return SDL_UpdateWindowSurface(m_window) == 0;
        if (m_rects.empty())
            return true;
        return SDL_UpdateWindowSurfaceRects(m_window, m_rects.data(), int(m_rects.size())) == 0;
    }

    bool setFullscreen(bool on, int32_t width, int32_t height) override
    {
        if (!on) {
            SDL_SetWindowFullscreen(m_window, 0);
            m_fullscreen = false;
            return true;
        }
        if (width <= 0 || height <= 0)
            return false;
        // The desktop's own mode, with the frame at its top-left: no mode
        // switch that could leave the screen in a state the player cannot undo.
        if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            SDL_SetWindowFullscreen(m_window, 0);
            m_fullscreen = false;
            return false;
        }
        m_fullscreen = true;
        return true;
    }

    bool isFullscreen() const override { return m_fullscreen; }

    PixelFormat16 nativeFormat() const override
    {
        Uint32 format = SDL_GetWindowPixelFormat(m_window);
        return format == SDL_PIXELFORMAT_RGB555 ? PixelFormat16::Rgb555 : PixelFormat16::Rgb565;
    }

private:
    bool prepareStaging(int32_t width, int32_t height, PixelFormat16 format)
    {
        if (m_staging && m_staging->w == width && m_staging->h == height && m_staging->format->format == sdlFormat(format))
            return true;
        if (m_staging)
            SDL_FreeSurface(m_staging);
        m_staging = SDL_CreateRGBSurfaceWithFormat(0, width, height, 16, sdlFormat(format));
        return m_staging != nullptr;
    }

    SDL_Window* m_window = nullptr;
    // The surface between beginFrame and endFrame.
    SDL_Surface* m_screen = nullptr;
    SDL_Surface* m_staging = nullptr;
    bool m_useStaging = false;
    bool m_fresh = false;
    // What the last frame went to, to notice a surface that SDL made anew.
    SDL_Surface* m_lastScreen = nullptr;
    void* m_lastPixels = nullptr;
    int32_t m_lastScreenWidth = 0;
    int32_t m_lastScreenHeight = 0;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    PixelFormat16 m_frameFormat = PixelFormat16::Rgb555;
    std::vector<SDL_Rect> m_rects;
    bool m_videoStarted = false;
    bool m_fullscreen = false;
};

} // namespace

SDL_Window* sdlDisplayWindow() { return g_displayWindow; }

std::string sdlDisplayError() { return g_openError; }

std::unique_ptr<Display> createSdlDisplay(const char* title, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    auto display = std::make_unique<SdlDisplay>();
    if (!display->open(title, width, height))
        return nullptr;
    return display;
}

} // namespace platform
