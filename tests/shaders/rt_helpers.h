// Small helpers the render-target, quad, compositing and shader tests share: filling a target
// with a colour, drawing into part of it, reading its pixels back and comparing colours.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "support/gl_fixture.h"

namespace vnt_test {

using tPixel = std::array<unsigned char, 4>;

// Clears the whole target to a colour given in bytes.
inline void fill(iRenderTarget& rt, int r, int g, int b, int a)
{
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
    rt.bind_as_target(true);
    rt.unbind_as_target();
    glClearColor(0, 0, 0, 0);
}

// Paints the rectangle x0..x1, y0..y1 (0..1 of the target) in a flat colour, unblended.
inline void paint(iRenderTarget& rt, float x0, float y0, float x1, float y1, int r, int g, int b,
                  int a)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    rt.bind_as_target(false);
    begin_fsq();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glColor4ub(GLubyte(r), GLubyte(g), GLubyte(b), GLubyte(a));
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
    glPopAttrib();
    end_fsq();
    rt.unbind_as_target();
    shaders->pop_shader();
}

inline tPixel pixel_of(iRenderTarget& rt, int x, int y)
{
    rt.bind_as_target(false);
    const tPixel px = read_pixel(x, y);
    rt.unbind_as_target();
    return px;
}

inline std::string show(const tPixel& p)
{
    return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) +
           ", " + std::to_string(p[3]) + ")";
}

// Channel-wise equality within `tolerance` bytes.
inline ::testing::AssertionResult near(const tPixel& got, const tPixel& want, int tolerance = 2)
{
    for (int i = 0; i < 4; ++i) {
        if (std::abs(int(got[i]) - int(want[i])) > tolerance)
            return ::testing::AssertionFailure() << "got " << show(got) << ", want " << show(want);
    }
    return ::testing::AssertionSuccess();
}

} // namespace vnt_test
