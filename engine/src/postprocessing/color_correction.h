// Colour correction: every channel of a picture mapped through a lookup picture (256 columns,
// one per input level; the middle row holds the output levels).
#pragma once

#include <string>

#include "tex_proxy.h"

class iRenderTarget;

class cPostColorCorrection
{
public:
    // Loads the lookup picture through the texture manager (unfiltered edges, no mipmaps) and
    // registers "color_correction_shader".
    explicit cPostColorCorrection(const std::string& in_lookup_file);

    // Draws `source` corrected into the bound target or the window, unblended. Another shader
    // can be named that does the correction and more in the same pass: it reads the picture
    // on unit 0 and the lookup (sampler2D) on unit 1, like "color_correction_shader".
    void apply(iRenderTarget& source, const char* in_shader = nullptr);
    // Applies the correction into `out_fbo`, every pixel of it written (nothing is cleared).
    // The two targets must differ.
    void process(iRenderTarget& in_fbo, iRenderTarget& out_fbo, const char* in_shader = nullptr);

    const cTexProxy& lookup() const { return m_lookup; }

private:
    cTexProxy m_lookup; // the lookup picture on unit 1 while the pass draws
};
