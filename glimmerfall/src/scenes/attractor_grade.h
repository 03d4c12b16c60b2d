// The attractor's single-view grading on the CPU. Its picture is one colour times the summed
// weight of the discs at each pixel, so the hue shift and then the hue-saturation-brightness
// adjustment (computed as the engine's passes compute them) come down to one tone per weight:
// a table the splat packs the picture through, instead of a shader run over every pixel the
// kaleidoscope sheet covers.
#pragma once

#include <vector>

#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "scenes/point_splat.h"

struct sToneTable
{
    std::vector<cPointSplat::tBGRA> tones; // for the weights 0, step, 2 step, ...
    float step = 0.0f;
};

// The graded tones of `in_colour` (channels clamped to 0..1) as cPointSplat::pack() would write
// it for each weight, from black to where every lit channel is white (or a little short of
// that for a channel under 1/16 of the brightest). Steps of at most half a level of the
// brightest channel, 4096 tones at most.
sToneTable grade_tones(const float (&in_colour)[3], const hueshift_params& in_shift,
                       const hsb_params& in_adjust);

// One channel-triple (0..1) through the hue turn of the grading passes: the hue turned by
// `in_turns` of the colour wheel, the distance from grey scaled by `in_saturation`,
// `in_brightness` added to every channel, clamped.
void turn_hue(float (&io_rgb)[3], float in_turns, float in_saturation, float in_brightness);
