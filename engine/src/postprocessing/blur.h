// Separable blur: a vertical and a horizontal pass of a one-dimensional kernel through a pooled
// target of the destination's size class.
#pragma once

#include "singleton.h"

class iRenderTarget;

class cPostBlur : public vnt::tSingleton<cPostBlur>
{
public:
    // Blurs `source` into `target`, which may be the same target. `keep_alpha` true blurs all
    // four channels ("alpha_blur_shader"), false blurs the colour and writes it opaque
    // ("no_alpha_blur_shader"). Overwrites every pixel of `target` without clearing it; leaves
    // GL state, matrices, the bound shader and the bound target as they were.
    void blur(iRenderTarget& source, iRenderTarget& target, const bool* keep_alpha);
    void blur(iRenderTarget& source, iRenderTarget& target, bool keep_alpha)
    {
        blur(source, target, &keep_alpha);
    }

    // The pool class for a temporary matching a target `in_width` pixels wide: the first of
    // RTT_FULL, RTT_HALF, RTT_QUATER, RTT_EIGHTH whose divisor is at least the viewport's width
    // over `in_width` (less 0.01); wider targets get RTT_FULL, narrower than an eighth
    // RTT_EIGHTH.
    static int size_class_for(unsigned in_width);

private:
    friend class vnt::tSingleton<cPostBlur>;
    // Registers "alpha_blur_shader", then "no_alpha_blur_shader".
    cPostBlur();
    ~cPostBlur() = default;
};
