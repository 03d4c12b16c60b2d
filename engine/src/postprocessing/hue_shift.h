// Hue shift: the hue turned by an offset and, in proportion to each pixel's luminance, by a
// multiple of full turns, so a picture runs through the colour wheel along its brightness.
#pragma once

#include "gui/param_slider.h"
#include "singleton.h"

class iRenderTarget;

// A scene's setting; all zero leaves the picture unchanged.
struct hueshift_params
{
    float hue = 0.0f;        // degrees of offset, 0..1440
    float saturation = 0.0f; // percent, -100..100
    float brightness = 0.0f; // percent, -100..100 (no slider)
    float mult = 0.0f;       // full hue turns from black to white, 0..20
};

// "hue offset", "saturation", "mult".
tParamSliders sliders(hueshift_params& in_params);

class cPostHueShift : public vnt::tSingleton<cPostHueShift>
{
public:
    // Draws `source` shifted into the bound target or the window, unblended.
    void apply(iRenderTarget& source, const hueshift_params& in_params);
    // The same into `out` (not cleared first); `out` must not be `source`.
    void process(iRenderTarget& source, iRenderTarget& out, const hueshift_params& in_params);

private:
    friend class vnt::tSingleton<cPostHueShift>;
    // Registers "hueshift_shader".
    cPostHueShift();
    ~cPostHueShift() = default;
};
