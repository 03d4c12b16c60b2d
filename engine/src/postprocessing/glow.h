// Glow: the bright parts of a picture cut out with the levels, blurred at a smaller size and
// added back over the picture.
#pragma once

#include "gui/param_slider.h"
#include "render_target_manager.h"
#include "singleton.h"

class iRenderTarget;

// A scene's glow setting.
struct glow_params
{
    int size = cRenderTargetManager::RTT_QUATER; // size class of the glow picture
    float precut = 128.0f;                       // levels below this do not glow, 0..255
    float postcut = 192.0f; // glow levels from this up are full strength, 0..255
    // Blur passes over the glow picture: each pass widens the glow by about two of its pixels,
    // so a glow one size class smaller takes fewer passes for the same spread.
    int blurs = 3;
};

// "pre-cut", "post-cut".
tParamSliders sliders(glow_params& in_params);

class cPostGlow : public vnt::tSingleton<cPostGlow>
{
public:
    // Writes `source` with its glow added into `target` (not cleared first; every pixel is
    // overwritten). `target` must not be `source`.
    void glow(iRenderTarget& source, iRenderTarget& target, const glow_params& in_params);
    // Only the glow picture of `source` (a target of `in_params.size` from the pool), for a
    // caller that adds it as it draws the picture on: the colours summed and clamped, the more
    // opaque alpha kept.
    cRTProxy glow_picture(iRenderTarget& source, const glow_params& in_params);

private:
    friend class vnt::tSingleton<cPostGlow>;
    cPostGlow() = default;
    ~cPostGlow() = default;
};
