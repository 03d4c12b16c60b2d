// Owner of the window and its OpenGL context: the requested mode and pixel format, the
// comparison of what was granted, and the window and viewport sizes everyone else reads.
#pragma once

#include <cstdint>
#include <string>

#include "singleton.h"

struct SDL_Window;

class cVideoModule : public vnt::tSingleton<cVideoModule>
{
public:
    static constexpr uint32_t FULLSCREEN_BIT = 0x80000000u;
    static constexpr int NUM_ATTRIBUTES = 9;

    void set_fullscreen(bool on);
    void set_fsaa(int samples);
    void set_widescreen(bool on);
    // Window and demo area of w x h pixels (used by capture and tests; the demo opens 1280x720).
    void set_size(uint32_t w, uint32_t h);
    // Opens the window hidden (offscreen rendering for capture and benchmarks).
    void set_hidden(bool on) { m_hidden = on; }

    // Opens the window and its context; fatal when no window can be had.
    void init_sdl();
    // The OpenGL viewport on the demo area (letterboxed unless widescreen).
    void set_viewport() const;
    // Vertical offset of the demo area inside the window, in pixels.
    uint32_t get_vp_offset() const;
    // Horizontal offset of the demo area inside the window (pillarboxing), in pixels.
    uint32_t get_vp_x_offset() const { return m_vp_x; }
    uint32_t get_vp_width() const { return m_vp_width; }
    uint32_t get_vp_height() const { return m_widescreen ? m_height : m_vp_height; }
    uint32_t get_width() const { return m_width; }
    uint32_t get_height() const { return m_height; }
    bool is_fullscreen() const { return (m_flags & FULLSCREEN_BIT) != 0; }
    // Pixel position (column, row counted from the bottom) to unit coordinates of the demo
    // area: rows in the bands above and below clamp to its top and bottom edge.
    void to_unit(float px, float py, float& x, float& y) const;
    // Video memory in bytes; not available through SDL2, so the cached field is returned.
    int get_video_mem();

    void swap_buffers() const;
    SDL_Window* window() const { return m_window; }

    // Where a picture of the given size goes on a screen of another: the largest area of its
    // proportions in multiples of 4, centred (x from the left, y from the bottom).
    struct sFit
    {
        uint32_t x = 0, y = 0, w = 0, h = 0;
    };
    static sFit fit_picture(uint32_t in_screen_w, uint32_t in_screen_h, uint32_t in_picture_w,
                            uint32_t in_picture_h);

    // The warning block printed when the granted attributes differ from the requested ones
    // (red, green, blue, alpha, depth, double buffer, multisample buffers, samples, stereo);
    // empty when they all match.
    static std::string attribute_report(const int requested[NUM_ATTRIBUTES],
                                        const int received[NUM_ATTRIBUTES]);

    uint32_t m_flags = 10; // bit 31: fullscreen
    uint32_t m_width = 1280;
    uint32_t m_height = 720;
    uint32_t m_vp_width = 1280;
    uint32_t m_vp_height = 720;
    int m_bpp = 32;
    bool m_widescreen = false;
    int m_video_mem = 2147483647; // not yet known
    // The nine requested attributes, in comparison order.
    int m_red_bits = 8, m_green_bits = 8, m_blue_bits = 8, m_alpha_bits = 8;
    int m_depth_bits = 24;
    int m_doublebuffer = 1;
    int m_ms_buffers = 0;
    int m_ms_samples = 0;
    int m_stereo = 0;

private:
    friend class vnt::tSingleton<cVideoModule>;
    cVideoModule() = default;
    ~cVideoModule();

    bool open_window();
    // Whether the display has a mode of exactly the demo's size.
    bool display_has_mode() const;
    // Fullscreen on the desktop's own mode: the window takes the desktop's size and the demo
    // area the largest part of it with the demo's proportions, centred.
    void fit_to_desktop();

    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
    bool m_hidden = false;
    bool m_desktop_fullscreen = false; // no display mode of the demo's size: the desktop's
    uint32_t m_vp_x = 0;               // horizontal offset of the demo area, pixels
};
