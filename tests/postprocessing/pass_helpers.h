// What the post-processing pass tests share: pictures uploaded into and read back from
// targets.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render_target_manager.h"
#include "shaders/rt_helpers.h"

namespace vnt_test {

// A picture in RGBA bytes, bottom row first, as GL reads it back.
struct sPicture
{
    int w = 0, h = 0;
    std::vector<unsigned char> px;

    sPicture() = default;
    sPicture(int in_w, int in_h, tPixel fill = {0, 0, 0, 0}) : w(in_w), h(in_h)
    {
        for (int i = 0; i < w * h; ++i)
            px.insert(px.end(), fill.begin(), fill.end());
    }
    tPixel at(int x, int y) const
    {
        const unsigned char* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    // Fills the rectangle x0 <= x < x1, y0 <= y < y1.
    void rect(int x0, int y0, int x1, int y1, tPixel c)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                std::copy(c.begin(), c.end(), &px[(size_t(y) * size_t(w) + size_t(x)) * 4]);
    }
};

// Draws `pic` unfiltered over the whole of `rt` (fixed-function, nothing blended).
inline void upload(iRenderTarget& rt, const sPicture& pic)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, tex);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA8, pic.w, pic.h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pic.px.data());
    rt.bind_as_target(false);
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_RECTANGLE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    begin_fsq();
    draw_quad(float(pic.w), float(pic.h));
    end_fsq();
    glPopAttrib();
    rt.unbind_as_target();
    glDeleteTextures(1, &tex);
    shaders->pop_shader();
}

inline sPicture download(iRenderTarget& rt)
{
    sPicture pic;
    pic.w = int(rt.m_width);
    pic.h = int(rt.m_height);
    rt.bind_as_target(false);
    pic.px = read_pixels(0, 0, pic.w, pic.h);
    rt.unbind_as_target();
    return pic;
}

// Writes the target's picture into the build folder, to look at.
inline void save(iRenderTarget& rt, const std::string& name)
{
    const sPicture pic = download(rt);
    write_png((name + ".png").c_str(), pic.w, pic.h, pic.px);
}

} // namespace vnt_test
