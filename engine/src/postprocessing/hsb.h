// Hue, saturation and brightness adjustment of a whole picture.
#pragma once

#include "gui/param_slider.h"
#include "singleton.h"

class iRenderTarget;

// A scene's setting; all zero leaves the picture unchanged.
struct hsb_params
{
    float hue = 0.0f;        // degrees, -180..180; positive turns red towards yellow and green
    float saturation = 0.0f; // percent, -100..100; -100 is grey, 100 twice as far from it
    float brightness = 0.0f; // percent, -100..100, added to every channel
};

// "hue", "saturation", "brightness".
tParamSliders sliders(hsb_params& in_params);

class cPostHSB : public vnt::tSingleton<cPostHSB>
{
public:
    // Draws `source` adjusted into the bound target or the window, unblended.
    void apply(iRenderTarget& source, const hsb_params& in_params);
    // The same into `out` (not cleared first: every pixel is overwritten); `out` must not be
    // `source`.
    void process(iRenderTarget& source, iRenderTarget& out, const hsb_params& in_params);

private:
    friend class vnt::tSingleton<cPostHSB>;
    // Registers "hsb_shader".
    cPostHSB();
    ~cPostHSB() = default;
};
