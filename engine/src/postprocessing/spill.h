// Combinations of two pictures: the additive spill that lays a glow over its picture, and the
// colour dodge, optionally shown through a mask picture.
#pragma once

#include "singleton.h"

class cTexProxy;
class iRenderTarget;

class cPostSpill : public vnt::tSingleton<cPostSpill>
{
public:
    enum eMode
    {
        SPILL_ADD = 1,  // a + b ("spill_shader"); takes no mask
        COLOR_DODGE = 2 // a / (1 - b) ("coldodge_shader", "coldodge_mask_shader" with a mask)
    };

    // Draws `a` (unit 0) combined with `b` (unit 1) into the bound target or the window,
    // unblended. A mask (a 2D texture, unit 2) says where the dodge shows. Any other mode binds
    // no shader. The first call registers the three shaders.
    void combine(iRenderTarget& a, iRenderTarget& b, int mode, cTexProxy* mask = nullptr);
    // The same into `target`, which is not cleared first and must be neither source.
    void combine_into(iRenderTarget& a, iRenderTarget& b, iRenderTarget& target, int mode);

    bool shaders_registered() const { return m_registered; }

private:
    friend class vnt::tSingleton<cPostSpill>;
    cPostSpill() = default;
    ~cPostSpill() = default;

    bool m_registered = false;
};
