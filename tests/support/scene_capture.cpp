// Scene frames for tests (see scene_capture.h).
#include "support/scene_capture.h"

#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "scene.h"
#include "support/gl_fixture.h"

namespace vnt_test {

std::vector<unsigned char> read_target(iRenderTarget& in_rt)
{
    in_rt.bind_as_target(false);
    std::vector<unsigned char> pixels =
        read_pixels(0, 0, int(in_rt.m_width), int(in_rt.m_height));
    in_rt.unbind_as_target();
    return pixels;
}

std::vector<unsigned char> render_scene(cScene& in_scene, sTestClock& in_clock, int in_ms,
                                        const std::string& png_path)
{
    in_clock.set(in_ms);
    in_scene.update();
    cRTProxy frame = in_scene.render_to_texture(in_ms);
    std::vector<unsigned char> pixels = read_target(*frame);
    if (!png_path.empty())
        write_png(png_path.c_str(), int(frame->m_width), int(frame->m_height), pixels);
    return pixels;
}

std::array<double, 4> mean_rgba(const std::vector<unsigned char>& in_rgba)
{
    std::array<double, 4> sum{0, 0, 0, 0};
    const size_t n = in_rgba.size() / 4;
    for (size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 4; ++c)
            sum[c] += in_rgba[i * 4 + c];
    }
    for (double& s : sum)
        s = n ? s / double(n) : 0.0;
    return sum;
}

double lit_share(const std::vector<unsigned char>& in_rgba, int in_threshold)
{
    const size_t n = in_rgba.size() / 4;
    size_t lit = 0;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char* p = &in_rgba[i * 4];
        if (p[0] > in_threshold || p[1] > in_threshold || p[2] > in_threshold)
            ++lit;
    }
    return n ? double(lit) / double(n) : 0.0;
}

} // namespace vnt_test
