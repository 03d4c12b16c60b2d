// Feedback trail: each frame the picture is laid over a persistent feedback image, the result
// is fed back through a texture-space transform and darkened, so older pictures drift and fade.
#pragma once

#include "gui/param_slider.h"
#include "render_target_manager.h"
#include "singleton.h"

class iRenderTarget;

// A scene's trail setting.
struct feedback_params
{
    // Column-major 4x4 matrix applied about the centre of the feedback image every frame, in
    // its pixels (a scale above 1 zooms the trail in).
    float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool blur = false; // soften the fed-back image (two blur passes) every frame
    // feed() keeps the trail at half the picture's size: a softer trail for a quarter of the
    // work (the transform's translation is then in the half-size trail's pixels).
    bool half_size = false;
    float fade = 0.1f; // share of the feedback image removed per frame, 0..0.5
};

// "feedback fade".
tParamSliders sliders(feedback_params& in_params);

class cPostFeedback : public vnt::tSingleton<cPostFeedback>
{
public:
    // Lays `source` over the trail into `target` and feeds the result back. The feedback image
    // follows `target`'s size class; a new one starts transparent black.
    void apply(iRenderTarget& source, iRenderTarget& target, const feedback_params& in_params);
    // The trail step alone: `source` laid over the trail and fed back (the feedback image takes
    // `source`'s size class, or half of it with `half_size`); `source` over feedback() is then
    // what apply() draws.
    void feed(iRenderTarget& source, const feedback_params& in_params);

    // The feedback image (empty before the first apply).
    const cRTProxy& feedback() const { return m_feedback; }
    // The class a feedback image for a target `in_width` pixels wide gets: 1, 2, 4 or 8 for a
    // viewport that many times as wide, RTT_DOUBLE for one half as wide, else the nearest.
    static int size_class_for(unsigned in_width);

private:
    friend class vnt::tSingleton<cPostFeedback>;
    // Registers "feedback_shader".
    cPostFeedback();
    // Gives the feedback image back to the pool (the owning scene destroys the pass).
    ~cPostFeedback() = default;

    // feed() into a feedback image of size class `size`.
    void feed_into_size(iRenderTarget& source, const feedback_params& in_params, int size);

    cRTProxy m_feedback; // persistent between frames
};
