// The attractor's single-view grading on the CPU (see attractor_grade.h).
#include "scenes/attractor_grade.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MAX_TONES = 4096;

float fract(float x)
{
    return x - std::floor(x);
}

// Hue in turns (0..1), saturation, value; as the shaders' rgb_to_hsv().
void rgb_to_hsv(const float (&c)[3], float (&hsv)[3])
{
    const float hi = std::max(c[0], std::max(c[1], c[2]));
    const float lo = std::min(c[0], std::min(c[1], c[2]));
    const float d = hi - lo;
    float h = 0.0f;
    if (d > 0.0f) {
        if (hi == c[0])
            h = (c[1] - c[2]) / d;
        else if (hi == c[1])
            h = 2.0f + (c[2] - c[0]) / d;
        else
            h = 4.0f + (c[0] - c[1]) / d;
        h = fract(h / 6.0f);
    }
    hsv[0] = h;
    hsv[1] = hi > 0.0f ? d / hi : 0.0f;
    hsv[2] = hi;
}

uint8_t to_byte(float c)
{
    return uint8_t(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
}

} // namespace

void turn_hue(float (&io_rgb)[3], float in_turns, float in_saturation, float in_brightness)
{
    float c[3], hsv[3];
    for (int k = 0; k < 3; ++k)
        c[k] = std::clamp(io_rgb[k], 0.0f, 1.0f);
    rgb_to_hsv(c, hsv);
    const float h = fract(hsv[0] + in_turns);
    static const float offsets[3] = {0.0f, 2.0f / 3.0f, 1.0f / 3.0f};
    float grey = 0.0f;
    for (int k = 0; k < 3; ++k) {
        const float p = std::fabs(fract(h + offsets[k]) * 6.0f - 3.0f);
        c[k] = hsv[2] * (1.0f + (std::clamp(p - 1.0f, 0.0f, 1.0f) - 1.0f) * hsv[1]);
        grey += c[k] / 3.0f;
    }
    for (int k = 0; k < 3; ++k)
        io_rgb[k] = std::clamp(grey + (c[k] - grey) * in_saturation + in_brightness, 0.0f, 1.0f);
}

sToneTable grade_tones(const float (&in_colour)[3], const hueshift_params& in_shift,
                       const hsb_params& in_adjust)
{
    float colour[3], brightest = 0.0f, faintest = 1.0f;
    for (int k = 0; k < 3; ++k) {
        colour[k] = 255.0f * std::clamp(std::isnan(in_colour[k]) ? 0.0f : in_colour[k], 0.0f, 1.0f);
        brightest = std::max(brightest, colour[k]);
    }
    // Channels far below the brightest reach white only at weights that hardly occur.
    for (float c : colour) {
        if (c > brightest / 16.0f)
            faintest = std::min(faintest, c / 255.0f);
    }
    sToneTable table;
    const float white_at = brightest > 0.0f ? 1.0f / faintest : 1.0f;
    const float half_level = brightest > 0.0f ? 0.5f / brightest : 1.0f;
    table.step = std::max(white_at / float(MAX_TONES - 1), half_level);
    const int count = std::min(int(std::ceil(white_at / table.step)) + 1, MAX_TONES);
    // The passes' parameters as their shaders take them.
    const float shift_turns = in_shift.hue / 360.0f, adjust_turns = in_adjust.hue / 360.0f;
    const float shift_sat = in_shift.saturation / 100.0f + 1.0f;
    const float adjust_sat = in_adjust.saturation / 100.0f + 1.0f;
    table.tones.resize(size_t(count));
    for (int n = 0; n < count; ++n) {
        const float w = float(n) * table.step;
        // The bytes pack() writes, as the passes would read them.
        float rgb[3];
        for (int k = 0; k < 3; ++k)
            rgb[k] =
                w <= 0.0f ? 0.0f : float(uint8_t(std::min(colour[k] * w, 255.0f) + 0.5f)) / 255.0f;
        const float luma = 0.299f * rgb[0] + 0.587f * rgb[1] + 0.114f * rgb[2];
        turn_hue(rgb, shift_turns + in_shift.mult * luma, shift_sat, in_shift.brightness / 100.0f);
        turn_hue(rgb, adjust_turns, adjust_sat, in_adjust.brightness / 100.0f);
        table.tones[size_t(n)] = {to_byte(rgb[2]), to_byte(rgb[1]), to_byte(rgb[0]), 255};
    }
    return table;
}
