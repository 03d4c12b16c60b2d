// An off-screen picture that can be drawn into (bound as target) or sampled from (bound as
// texture). Only the render-target manager creates them; everyone else holds a cRTProxy.
#pragma once

#include <cstdint>

class iRenderTarget
{
public:
    iRenderTarget(uint32_t in_width, uint32_t in_height, bool in_flag)
        : m_width(in_width), m_height(in_height), m_flag(in_flag)
    {
    }
    virtual ~iRenderTarget() = default;

    // Creates the GL objects.
    virtual void init() = 0;
    // Redirects drawing into this target (viewport = the target), clearing it when asked.
    virtual void bind_as_target(bool in_clear) = 0;
    // Sends drawing back to the window with the viewport and draw buffer from before.
    virtual void unbind_as_target() = 0;
    // Binds the colour texture on a unit (GL_TEXTURE0 + i) and enables it there, filtered
    // (bilinear) for reads between its pixels.
    virtual void bind_as_texture(unsigned int in_unit) = 0;
    // The same unfiltered, for a pass that reads the picture at its pixel centres only (one
    // to one): the same values for less work, a software rasteriser's filtered read costing
    // several unfiltered ones. The next bind_as_texture() filters again.
    virtual void bind_as_texture_unfiltered(unsigned int in_unit) = 0;
    virtual void unbind_as_texture() = 0;
    // Replaces the whole picture with `in_bgra`: m_width x m_height pixels of four bytes (blue,
    // green, red, alpha), rows from the bottom up, as a picture computed on the CPU.
    virtual void write_pixels(const uint8_t* in_bgra) = 0;
    // The same for columns `in_x` to `in_x` + `in_count` - 1 only (clipped to the picture),
    // read from the same whole picture; the other columns keep what they held.
    virtual void write_columns(const uint8_t* in_bgra, uint32_t in_x, uint32_t in_count) = 0;

    uint32_t m_width = 0;  // pixels
    uint32_t m_height = 0; // pixels
    bool m_flag = false;   // construction flag; every creation passes false, nothing reads it
};
