// Radial blur: the picture, first softened by the separable blur at a chosen size class, is
// streaked towards a centre point.
#pragma once

#include "gui/param_slider.h"
#include "render_target_manager.h"
#include "singleton.h"

class iRenderTarget;

// A scene's radial-blur setting. The first six members are handed to the shader as one block.
struct radialblur_params
{
    float center_x = 640.0f;                   // pixels of the viewport, 0..viewport width
    float center_y = 360.0f;                   // pixels of the viewport, 0..viewport height
    float distance = 100.0f;                   // longest streak in pixels, 0..500
    float num_samples = 24.0f;                 // samples along a streak, 1..100
    float propagation = 1.0f;                  // weight at the far end of a streak (1 = even), 0..2
    float multiplier = 1.0f;                   // gain of the result, 0..5
    int size = cRenderTargetManager::RTT_HALF; // size class of the softened copy
};

// "center_x", "center_y", "distance", "num_samples", "propagation", "multiplier".
tParamSliders sliders(radialblur_params& in_params);

class cPostRadialBlur : public vnt::tSingleton<cPostRadialBlur>
{
public:
    // Draws `source` streaked towards the centre into the bound target or the window, without
    // blending; registers "radialblur_shader" on its first call.
    void apply(iRenderTarget& source, const radialblur_params& in_params);
    // Blurs `source` into a temporary of the structure's size class (alpha kept), then applies
    // the radial blur from it into `target` without clearing.
    void process(iRenderTarget& source, iRenderTarget& target, const radialblur_params& in_params);

private:
    friend class vnt::tSingleton<cPostRadialBlur>;
    cPostRadialBlur() = default;
    ~cPostRadialBlur() = default;

    bool m_first_use = true; // the shader is registered when this is cleared
};
