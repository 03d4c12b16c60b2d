// Spill and colour-dodge combinations (see spill.h).
#include "postprocessing/spill.h"

#include <cassert>
#include <iostream>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"
#include "tex_proxy.h"

void cPostSpill::combine(iRenderTarget& a, iRenderTarget& b, int mode, cTexProxy* mask)
{
    if (!m_registered) {
        register_spill_shader();
        register_coldodge_shader();
        register_coldodge_mask_shader();
        m_registered = true;
    }
    // The masked dodge samples its mask as a normalised 2D texture; anything else is dropped.
    if (mask && (!mask->isValid() || mask->get_target() != GL_TEXTURE_2D)) {
        std::cerr << "# WARNING: cPostSpill::combine: the mask is not a 2D texture, "
                     "combining without it"
                  << std::endl;
        mask = nullptr;
    }

    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    bind_source(a, GL_TEXTURE0);
    bind_source(b, GL_TEXTURE1);
    if (mask)
        mask->bind(GL_TEXTURE2);

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    if (mode == SPILL_ADD)
        shaders->bind("spill_shader");
    else if (mode == COLOR_DODGE)
        shaders->bind(mask ? "coldodge_mask_shader" : "coldodge_shader");
    if (mask)
        RenderFSQ(a, b, 1.0f, 1.0f); // the mask spans the picture in 0..1 coordinates
    else
        RenderFSQ(a, b);
    shaders->pop_shader();

    if (mask)
        mask->unbind();
    b.unbind_as_texture();
    a.unbind_as_texture();
    glPopAttrib();
}

void cPostSpill::combine_into(iRenderTarget& a, iRenderTarget& b, iRenderTarget& target, int mode)
{
    assert(&target != &a && &target != &b && "combine cannot draw into one of its sources");
    target.bind_as_target(false);
    combine(a, b, mode);
    target.unbind_as_target();
}
