// Drawing widgets into a pooled target in the overlay's unit coordinates, and reading back.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "support/scene_capture.h"

namespace gui_test {

// A full-size target cleared to a grey, with `in_draw` run in an orthographic 0..1 view with
// blending as the overlay sets it. Returns the picture, bottom row first.
inline std::vector<unsigned char> draw_unit(const std::function<void()>& in_draw,
                                            float in_grey = 0.5f, int* out_w = nullptr,
                                            int* out_h = nullptr)
{
    cRTProxy target = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    glClearColor(in_grey, in_grey, in_grey, 1.0f);
    target->bind_as_target(true);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    in_draw();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    target->unbind_as_target();
    if (out_w)
        *out_w = int(target->m_width);
    if (out_h)
        *out_h = int(target->m_height);
    return vnt_test::read_target(*target);
}

// The RGBA pixel at a unit position of a w x h picture.
inline const unsigned char* pixel_at(const std::vector<unsigned char>& in_rgba, int in_w, int in_h,
                                     float in_x, float in_y)
{
    const int px = std::min(in_w - 1, int(in_x * float(in_w)));
    const int py = std::min(in_h - 1, int(in_y * float(in_h)));
    return &in_rgba[(size_t(py) * size_t(in_w) + size_t(px)) * 4];
}

// How many pixels of the unit rectangle [x0, x1) x [y0, y1) of a w x h picture pass `in_test`.
inline int count_in(const std::vector<unsigned char>& in_rgba, int in_w, int in_h, float x0,
                    float x1, float y0, float y1,
                    const std::function<bool(const unsigned char*)>& in_test)
{
    int n = 0;
    for (int py = int(y0 * float(in_h)); py < int(y1 * float(in_h)); ++py)
        for (int px = int(x0 * float(in_w)); px < int(x1 * float(in_w)); ++px)
            n += in_test(&in_rgba[(size_t(py) * size_t(in_w) + size_t(px)) * 4]) ? 1 : 0;
    return n;
}

// The picture with alpha made opaque, for looking at it.
inline std::vector<unsigned char> opaque(std::vector<unsigned char> in_rgba)
{
    for (size_t i = 3; i < in_rgba.size(); i += 4)
        in_rgba[i] = 255;
    return in_rgba;
}

} // namespace gui_test
