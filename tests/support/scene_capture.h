// Rendering one frame of a scene at a chosen demo time, for tests and for looking at pictures.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "clock.h"

class cScene;
class iRenderTarget;

namespace vnt_test {

// A clock standing still at a demo time; move it with set().
struct sTestClock
{
    cClock clock;
    explicit sTestClock(int in_ms = 0) { set(in_ms); }
    // Sets the demo time; the step since the previous value becomes the frame delta.
    void set(int in_ms)
    {
        clock.prev = clock.now;
        clock.now = in_ms;
        clock.start = 0;
        clock.paused_total = 0;
    }
};

// RGBA bytes of a render target, bottom row first.
std::vector<unsigned char> read_target(iRenderTarget& in_rt);
// Runs update() and render_to_texture() of `scene` at the clock's time and returns the picture
// (width x height RGBA, bottom row first); writes it as a PNG when `png_path` is not empty.
std::vector<unsigned char> render_scene(cScene& in_scene, sTestClock& in_clock, int in_ms,
                                        const std::string& png_path = std::string());
// Mean of each channel (0..255) over a picture, and the share of pixels brighter than
// `threshold` in any colour channel: quick checks that a frame is neither blank nor flat.
std::array<double, 4> mean_rgba(const std::vector<unsigned char>& in_rgba);
double lit_share(const std::vector<unsigned char>& in_rgba, int in_threshold = 24);

} // namespace vnt_test
