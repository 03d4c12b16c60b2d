// Window and OpenGL context (see video_module.h).
#include "video_module.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "fatal.h"
#include "gl_extensions.h"

namespace {

const SDL_GLattr kAttributes[cVideoModule::NUM_ATTRIBUTES] = {
    SDL_GL_RED_SIZE,           SDL_GL_GREEN_SIZE,         SDL_GL_BLUE_SIZE,
    SDL_GL_ALPHA_SIZE,         SDL_GL_DEPTH_SIZE,         SDL_GL_DOUBLEBUFFER,
    SDL_GL_MULTISAMPLEBUFFERS, SDL_GL_MULTISAMPLESAMPLES, SDL_GL_STEREO};

void describe(std::ostream& os, const int a[cVideoModule::NUM_ATTRIBUTES])
{
    os << a[0] << "x" << a[1] << "x" << a[2] << "x" << a[3] << "x" << a[4];
}

void describe_buffers(std::ostream& os, const int a[cVideoModule::NUM_ATTRIBUTES])
{
    os << (a[5] ? " doublebuffered " : " singlebuffered ") << (a[6] ? "multisample " : " ")
       << a[7];
}

} // namespace

cVideoModule::~cVideoModule()
{
    // After SDL_Quit the window and context are gone with the video subsystem.
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (m_context)
        SDL_GL_DeleteContext(m_context);
    if (m_window)
        SDL_DestroyWindow(m_window);
}

void cVideoModule::set_fullscreen(bool on)
{
    if (on)
        m_flags |= FULLSCREEN_BIT;
}

void cVideoModule::set_fsaa(int samples)
{
    m_ms_samples = samples;
    if (samples)
        m_ms_buffers = 1;
}

void cVideoModule::set_widescreen(bool on)
{
    std::cerr << "widescreen, mmm..." << std::endl;
    m_widescreen = on;
}

void cVideoModule::set_size(uint32_t w, uint32_t h)
{
    m_width = m_vp_width = w;
    m_height = m_vp_height = h;
}

std::string cVideoModule::attribute_report(const int requested[NUM_ATTRIBUTES],
                                           const int received[NUM_ATTRIBUTES])
{
    int first = -1;
    for (int i = 0; i < NUM_ATTRIBUTES && first < 0; ++i) {
        if (requested[i] != received[i])
            first = i;
    }
    if (first < 0)
        return std::string();
    std::ostringstream os;
    os << "# warning: init_sdl: SDL display attribute " << first << " failed\n";
    os << "requested: ";
    describe(os, requested);
    os << " ";
    describe_buffers(os, requested);
    os << "\nrecieved: ";
    describe(os, received);
    describe_buffers(os, received);
    os << "\n---------------------\n";
    return os.str();
}

bool cVideoModule::display_has_mode() const
{
    const int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && uint32_t(mode.w) == m_width &&
            uint32_t(mode.h) == m_height)
            return true;
    }
    return false;
}

cVideoModule::sFit cVideoModule::fit_picture(uint32_t in_screen_w, uint32_t in_screen_h,
                                             uint32_t in_picture_w, uint32_t in_picture_h)
{
    // The largest area of the picture's proportions, in multiples of 4 as the render targets
    // need them, centred.
    uint64_t w = in_screen_w, h = uint64_t(in_screen_w) * in_picture_h / in_picture_w;
    if (h > in_screen_h) {
        h = in_screen_h;
        w = uint64_t(in_screen_h) * in_picture_w / in_picture_h;
    }
    sFit fit;
    fit.w = std::max(4u, uint32_t(w) & ~3u);
    fit.h = std::max(4u, uint32_t(h) & ~3u);
    fit.x = in_screen_w > fit.w ? (in_screen_w - fit.w) / 2u : 0u;
    fit.y = in_screen_h > fit.h ? (in_screen_h - fit.h) / 2u : 0u;
    return fit;
}

void cVideoModule::fit_to_desktop()
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_window, &w, &h);
    if (w <= 0 || h <= 0)
        return;
    const uint32_t picture_w = m_vp_width, picture_h = m_vp_height;
    const sFit fit = fit_picture(uint32_t(w), uint32_t(h), picture_w, picture_h);
    m_width = uint32_t(w);
    m_height = uint32_t(h);
    m_vp_width = fit.w;
    m_vp_height = fit.h;
    m_vp_x = fit.x;
    std::cout << "# fullscreen: the display has no " << picture_w << "x" << picture_h
              << " mode; the picture is scaled to " << m_vp_width << "x" << m_vp_height
              << " and letterboxed on the desktop's " << m_width << "x" << m_height << std::endl;
}

bool cVideoModule::open_window()
{
    Uint32 flags = SDL_WINDOW_OPENGL;
    m_desktop_fullscreen = false;
    if (is_fullscreen()) {
        m_desktop_fullscreen = !display_has_mode();
        flags |= m_desktop_fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    }
    if (m_hidden)
        flags |= SDL_WINDOW_HIDDEN;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    int w = int(m_width), h = int(m_height);
    SDL_Rect desktop;
    if (m_desktop_fullscreen && SDL_GetDisplayBounds(0, &desktop) == 0) {
        // Made at the desktop's place and size, so that it covers the screen even where no
        // window manager carries out the fullscreen request.
        x = desktop.x;
        y = desktop.y;
        w = desktop.w;
        h = desktop.h;
    }
    m_window = SDL_CreateWindow("vantor OpenGL", x, y, w, h, flags);
    if (!m_window)
        return false;
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context) {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        return false;
    }
    if (m_desktop_fullscreen)
        fit_to_desktop();
    return true;
}

void cVideoModule::init_sdl()
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    if (SDL_VERSIONNUM(linked.major, linked.minor, linked.patch) < SDL_VERSIONNUM(2, 0, 18)) {
        std::cerr << "# WARNING: init_sdl(): Old SDL-version detected. Get an upgrade from "
                     "https://www.libsdl.org"
                  << std::endl;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::cerr << "## ERROR: whoops, SDL failed to init: " << SDL_GetError() << " exiting!"
                  << std::endl;
        vnt::fatal_exit(1);
    }
    const int requested[NUM_ATTRIBUTES] = {m_red_bits,   m_green_bits,   m_blue_bits,
                                           m_alpha_bits, m_depth_bits,   m_doublebuffer,
                                           m_ms_buffers, m_ms_samples,   m_stereo};
    for (int i = 0; i < NUM_ATTRIBUTES; ++i)
        SDL_GL_SetAttribute(kAttributes[i], requested[i]);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    if (!open_window()) {
        bool retried = false;
        if (m_ms_buffers != 0) {
            std::cerr << "## ERROR: Failed to get FSAA-buffer!" << std::endl;
            SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
            SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
            retried = open_window();
        }
        if (!retried) {
            std::cerr << "## ERROR: whoops, SDL didn't get screen - exiting" << std::endl;
            vnt::fatal_exit(-1);
        }
    }

    int received[NUM_ATTRIBUTES] = {};
    for (int i = 0; i < NUM_ATTRIBUTES; ++i)
        SDL_GL_GetAttribute(kAttributes[i], &received[i]);
    std::cerr << attribute_report(requested, received) << std::flush;

    SDL_ShowCursor(is_fullscreen() ? 0 : 1);
}

uint32_t cVideoModule::get_vp_offset() const
{
    return m_widescreen ? 0u : (m_height - m_vp_height) / 2u;
}

void cVideoModule::set_viewport() const
{
    if (m_widescreen)
        glViewport(GLint(m_vp_x), 0, GLsizei(m_vp_width), GLsizei(m_height));
    else
        glViewport(GLint(m_vp_x), GLint(get_vp_offset()), GLsizei(m_vp_width),
                   GLsizei(m_vp_height));
}

void cVideoModule::to_unit(float px, float py, float& x, float& y) const
{
    const float vp_h = float(get_vp_height());
    const float band = float((m_height - get_vp_height()) / 2u);
    x = (px - float(m_vp_x)) / float(m_vp_width);
    y = std::clamp(py - band, 0.0f, vp_h) / vp_h;
}

int cVideoModule::get_video_mem()
{
    if (m_video_mem == 2147483647) {
        std::cerr << "# warning: couldn't get video info... whaddawecare anyway: "
                  << "SDL2 has no video memory query" << std::endl;
    }
    return m_video_mem;
}

void cVideoModule::swap_buffers() const
{
    if (m_window)
        SDL_GL_SwapWindow(m_window);
}
