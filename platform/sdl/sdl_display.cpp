#include "platform/display.h"
#include "platform/sdl/sdl_display_window.h"
#include "platform/sdl/x11_window_watch.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

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

// A window with a streaming 16-bit texture of the frame's size and format;
// the renderer scales it to the window and converts it to the screen's format.
class SdlDisplay final : public Display {
public:
    ~SdlDisplay() override
    {
        if (m_texture)
            SDL_DestroyTexture(m_texture);
        if (m_renderer)
            SDL_DestroyRenderer(m_renderer);
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
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer)
            m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
        // After the renderer, which may have replaced the window's X window.
        watchX11Window(m_window);
        if (!m_renderer)
            g_openError = SDL_GetError();
        return m_renderer != nullptr;
    }

    bool presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch, PixelFormat16 format,
        std::span<const ScreenRect> dirtyRects) override
    {
        // Nothing is left to show on a window destroyed from outside.
        if (!pixels || width <= 0 || height <= 0 || pitch < width || x11WindowLost())
            return false;
        bool whole = false;
        if (!m_texture || width != m_textureWidth || height != m_textureHeight || format != m_textureFormat) {
            if (m_texture)
                SDL_DestroyTexture(m_texture);
            m_texture = SDL_CreateTexture(m_renderer, sdlFormat(format), SDL_TEXTUREACCESS_STREAMING, width, height);
            if (!m_texture)
                return false;
            m_textureWidth = width;
            m_textureHeight = height;
            m_textureFormat = format;
            SDL_RenderSetLogicalSize(m_renderer, width, height);
            whole = true;
        }
        const ScreenRect frame { 0, 0, width, height };
        const int bytePitch = pitch * static_cast<int>(sizeof(uint16_t));
        if (whole) {
            if (SDL_UpdateTexture(m_texture, nullptr, pixels, bytePitch) != 0)
                return false;
        } else {
            for (const ScreenRect& rect : dirtyRects) {
                ScreenRect r = rect.intersected(frame);
                if (r.isEmpty())
                    continue;
                SDL_Rect area { r.left, r.top, r.width(), r.height() };
                if (SDL_UpdateTexture(m_texture, &area, pixels + static_cast<size_t>(r.top) * pitch + r.left, bytePitch)
                    != 0)
                    return false;
            }
        }
        SDL_RenderClear(m_renderer);
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
        SDL_RenderPresent(m_renderer);
        return true;
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
        // The desktop's own mode, with the frame scaled to it: no mode switch
        // that could leave the screen in a state the player cannot undo.
        if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            SDL_SetWindowFullscreen(m_window, 0);
            m_fullscreen = false;
            return false;
        }
        SDL_RenderSetLogicalSize(m_renderer, width, height);
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
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int32_t m_textureWidth = 0;
    int32_t m_textureHeight = 0;
    PixelFormat16 m_textureFormat = PixelFormat16::Rgb555;
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
