// Levels: the input range of every channel stretched to the output range through a gamma
// curve, all on the 0..255 scale.
#pragma once

#include "gui/param_slider.h"
#include "singleton.h"

class iRenderTarget;

// A scene's setting; the defaults leave the picture unchanged.
struct levels_params
{
    float in_black = 0.0f;    // input level that becomes out_black, 0..255
    float in_white = 255.0f;  // input level that becomes out_white, 0..255
    float gamma = 1.0f;       // 0..4; above 1 brightens the midtones
    float out_black = 0.0f;   // 0..255
    float out_white = 255.0f; // 0..255
};

// "in black", "in white", "gamma", "out black", "out white".
tParamSliders sliders(levels_params& in_params);

class cPostLevels : public vnt::tSingleton<cPostLevels>
{
public:
    // Draws `source` through the levels into the bound target or the window, unblended, with
    // its own full-screen state.
    void apply(iRenderTarget& source, const levels_params& in_params);
    // Applies the levels into `out`, every pixel of it written (nothing is cleared); `out`
    // must not be `source`.
    void process(iRenderTarget& source, iRenderTarget& out, const levels_params& in_params);

private:
    friend class vnt::tSingleton<cPostLevels>;
    // Registers "levels_shader".
    cPostLevels();
    ~cPostLevels() = default;
};
