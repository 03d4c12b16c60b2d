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
    // What three blur() calls keeping the alpha give, in two passes instead of six
    // ("wide_blur_shader": their kernel applied once; the pictures differ only where the
    // three passes' results were rounded to eight bits in between, and within a few texels of
    // the edges, where each pass repeats the edge).
    void blur_three_times(iRenderTarget& source, iRenderTarget& target);

    // The pool class for a temporary matching a target `in_width` pixels wide: the first of
    // RTT_FULL, RTT_HALF, RTT_QUATER, RTT_EIGHTH whose divisor is at least the viewport's width
    // over `in_width` (less 0.01); wider targets get RTT_FULL, narrower than an eighth
    // RTT_EIGHTH.
    static int size_class_for(unsigned in_width);

private:
    friend class vnt::tSingleton<cPostBlur>;
    // The vertical and the horizontal pass of `shader`.
    void two_passes(const char* shader, iRenderTarget& source, iRenderTarget& target);
    // Registers "alpha_blur_shader", then "no_alpha_blur_shader" (and "wide_blur_shader" when
    // first needed).
    cPostBlur();
    ~cPostBlur() = default;
};
