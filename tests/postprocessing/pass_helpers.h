// What the post-processing pass tests share: pictures uploaded into and read back from
// targets, PNGs to look at, and a record of the state a pass must leave as it found it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fsq.h"
#include "gl_extensions.h"
#include "gl_state.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"

namespace vnt_test {

using tRGBA = std::array<int, 4>;

// A picture in RGBA bytes, bottom row first, as GL reads it back.
struct sPicture
{
    int w = 0;
    int h = 0;
    std::vector<unsigned char> px;

    sPicture() = default;
    sPicture(int in_w, int in_h, tRGBA fill = {0, 0, 0, 0}) : w(in_w), h(in_h)
    {
        px.resize(size_t(w) * size_t(h) * 4);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = (unsigned char)(fill[i % 4]);
    }
    tRGBA at(int x, int y) const
    {
        const unsigned char* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    void set(int x, int y, tRGBA c)
    {
        unsigned char* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
        for (int i = 0; i < 4; ++i)
            p[i] = (unsigned char)(c[size_t(i)]);
    }
    // Fills the rectangle x0 <= x < x1, y0 <= y < y1.
    void rect(int x0, int y0, int x1, int y1, tRGBA c)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                set(x, y, c);
    }
    // Sum of one channel over the whole picture.
    long sum(int channel) const
    {
        long total = 0;
        for (size_t i = size_t(channel); i < px.size(); i += 4)
            total += px[i];
        return total;
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA8, pic.w, pic.h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pic.px.data());
    rt.bind_as_target(false);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_RECTANGLE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    begin_fsq();
    draw_quad(float(pic.w), float(pic.h));
    end_fsq();
    glPopAttrib();
    rt.unbind_as_target();
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
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

inline std::string show(const tRGBA& c)
{
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) +
           ", " + std::to_string(c[3]) + ")";
}

// Channel-wise equality within `tolerance` levels.
inline ::testing::AssertionResult close(const tRGBA& got, const tRGBA& want, int tolerance = 2)
{
    for (size_t i = 0; i < 4; ++i) {
        if (std::abs(got[i] - want[i]) > tolerance)
            return ::testing::AssertionFailure() << "got " << show(got) << ", want " << show(want);
    }
    return ::testing::AssertionSuccess();
}

// Largest channel difference between two pictures of the same size.
inline int max_difference(const sPicture& a, const sPicture& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.px.size() && i < b.px.size(); ++i)
        worst = std::max(worst, std::abs(int(a.px[i]) - int(b.px[i])));
    return worst;
}

// Writes the target's picture into the build folder, to look at.
inline void save(iRenderTarget& rt, const std::string& name)
{
    const sPicture pic = download(rt);
    write_png((name + ".png").c_str(), pic.w, pic.h, pic.px);
}

// What a pass must leave unchanged: the fixed-function state, the bound shader and its stack,
// the framebuffer binding and the pool.
struct sPassState
{
    sGLstate gl;
    std::string shader;
    size_t stack = 0;
    GLint framebuffer = -1;
    GLint active_unit = -1;
    GLint matrix_mode = -1;
    uint32_t lent = 0;

    void capture()
    {
        gl.capture();
        shader = cShaderManager_GLSL::get_instance()->get_current_shader();
        stack = cShaderManager_GLSL::get_instance()->stack_depth();
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active_unit);
        glGetIntegerv(GL_MATRIX_MODE, &matrix_mode);
        lent = cRenderTargetManager::get_instance()->lent_out();
    }
    ::testing::AssertionResult same_as(const sPassState& before) const
    {
        std::string diff = sGLstate::diff(before.gl, gl);
        if (shader != before.shader || stack != before.stack)
            diff += "shader " + before.shader + " -> " + shader + ", stack " +
                    std::to_string(before.stack) + " -> " + std::to_string(stack) + "\n";
        if (framebuffer != before.framebuffer)
            diff += "framebuffer changed\n";
        if (active_unit != before.active_unit)
            diff += "active texture unit changed\n";
        if (matrix_mode != before.matrix_mode)
            diff += "matrix mode changed\n";
        if (lent != before.lent)
            diff += "targets lent out: " + std::to_string(before.lent) + " -> " +
                    std::to_string(lent) + "\n";
        if (diff.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "state changed:\n" << diff;
    }
};

} // namespace vnt_test
