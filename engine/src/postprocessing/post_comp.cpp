// Layer compositing (see post_comp.h).
#include "postprocessing/post_comp.h"

#include <cassert>
#include <string>

#include "fsq.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_comp.h"
#include "startup.h"

namespace {

constexpr int NUM_SOURCES = 8;

// The quad with each source's coordinates over its own size on units 0 to 7 (1 x 1 where there
// is none), the bottom layer's opacity riding along as the third component of unit 1's and the
// middle layer's as that of unit 5's.
void draw_sources(iRenderTarget* const (&sources)[NUM_SOURCES], float bottom_opacity,
                  float middle_opacity)
{
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        for (int u = 0; u < NUM_SOURCES; ++u) {
            const float w = sources[u] ? float(sources[u]->m_width) : 1.0f;
            const float h = sources[u] ? float(sources[u]->m_height) : 1.0f;
            const float z = u == 1 ? bottom_opacity : u == 5 ? middle_opacity : 0.0f;
            glMultiTexCoord3fARB(GL_TEXTURE0 + GLenum(u), c[0] * w, c[1] * h, z);
        }
        glVertex3f(c[0], c[1], 0);
    }
    glEnd();
}

} // namespace

cPostComp::cPostComp()
{
    register_blend_comp();
    register_add_comp();
    register_dodge_comp();
    register_screen_comp();
}

void cPostComp::comp(iRenderTarget& out, iRenderTarget& layer, iRenderTarget& below,
                     const int* mode, float opacity, iRenderTarget* glow, iRenderTarget* under)
{
    assert(&out != &layer && &out != &below && &out != glow && &out != under &&
           "comp cannot draw into one of its sources");
    out.bind_as_target(false); // the quad covers every pixel
    comp_here(layer, below, mode, opacity, glow, under);
    out.unbind_as_target();
}

void cPostComp::comp_here(iRenderTarget& layer, iRenderTarget& below, const int* mode,
                          float opacity, iRenderTarget* glow, iRenderTarget* under)
{
    assert(mode && "comp needs a blend mode");
    draw({&layer, glow, *mode, opacity, under}, {&below, nullptr, BLEND_OVER, 1.0f}, false);
}

void cPostComp::comp_onto_bottom(iRenderTarget* out, const sLayerPicture& layer,
                                 const sLayerPicture& bottom)
{
    assert(usable_as_bottom(bottom.mode) && "the bottom layer's blend needs a pass of its own");
    assert(!bottom.under && "the bottom layer lies over nothing but black");
    assert(out != layer.picture && out != bottom.picture && (!out || out != layer.glow) &&
           (!out || out != bottom.glow) && (!out || out != layer.under) &&
           "comp cannot draw into one of its sources");
    if (out)
        out->bind_as_target(false); // the quad covers every pixel
    draw(layer, bottom, true);
    if (out)
        out->unbind_as_target();
}

void cPostComp::comp_two_here(const sLayerPicture& layer, const sLayerPicture& middle,
                              const sLayerPicture& below, bool below_is_bottom)
{
    assert(layer.picture && middle.picture && below.picture && "three pictures to blend");
    assert(is_blend(middle.mode) && "the middle layer's blend needs a pass of its own");
    assert((!below_is_bottom || usable_as_bottom(below.mode)) &&
           "the bottom layer's blend needs a pass of its own");
    assert(!below.under && "the picture below lies over nothing");
    draw(layer, below, below_is_bottom, &middle);
}

void cPostComp::comp_alone(iRenderTarget* out, const sLayerPicture& bottom)
{
    assert(usable_as_bottom(bottom.mode) && "the bottom layer's blend needs a pass of its own");
    assert(!bottom.under && "the bottom layer lies over nothing but black");
    assert((!out || (out != bottom.picture && out != bottom.glow)) &&
           "comp cannot draw into one of its sources");
    if (out)
        out->bind_as_target(false); // the quad covers every pixel
    draw({nullptr, nullptr, BLEND_OVER, 0.0f}, bottom, true);
    if (out)
        out->unbind_as_target();
}

void cPostComp::warm_up()
{
    const int size = cRenderTargetManager::RTT_EIGHTH;
    cRTProxy layer = get_tmp_rt(size), below = get_tmp_rt(size), out = get_tmp_rt(size);
    cRTProxy layer_glow = get_tmp_rt(size), bottom_glow = get_tmp_rt(size);
    cRTProxy layer_under = get_tmp_rt(size);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int mode : {BLEND_OVER, BLEND_ADD, BLEND_SCREEN, BLEND_DODGE}) {
        for (int variant : {0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 14, 15}) {
            const sLayerPicture top = {
                layer.get_rt(), variant & cShdComp::LAYER_GLOW ? layer_glow.get_rt() : nullptr,
                mode, 1.0f, variant & cShdComp::LAYER_UNDER ? layer_under.get_rt() : nullptr};
            const sLayerPicture under = {
                below.get_rt(), variant & cShdComp::BOTTOM_GLOW ? bottom_glow.get_rt() : nullptr,
                BLEND_OVER, 1.0f};
            const bool on_bottom = (variant & cShdComp::BOTTOM) != 0;
            if (on_bottom && !usable_as_bottom(under.mode))
                continue;
            out->bind_as_target(false);
            draw(top, under, on_bottom);
            out->unbind_as_target();
            glViewport(viewport[0], viewport[1], 4, 4);
            draw(top, under, on_bottom);
            glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        }
    }
    for (bool glows : {false, true}) {
        const sLayerPicture alone = {below.get_rt(), glows ? bottom_glow.get_rt() : nullptr,
                                     BLEND_OVER, 1.0f};
        comp_alone(out.get_rt(), alone);
        glViewport(viewport[0], viewport[1], 4, 4);
        comp_alone(nullptr, alone);
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
    glFinish();
}

bool cPostComp::is_blend(int mode)
{
    return mode == BLEND_OVER || mode == BLEND_ADD || mode == BLEND_SCREEN || mode == BLEND_DODGE;
}

int cPostComp::variant_of(const sLayerPicture& layer, const sLayerPicture& below,
                          bool below_is_bottom, const sLayerPicture* middle)
{
    int variant = layer.glow ? cShdComp::LAYER_GLOW : 0;
    if (layer.under)
        variant |= cShdComp::LAYER_UNDER;
    if (!layer.picture)
        variant |= cShdComp::ALONE;
    if (below_is_bottom)
        variant |= below.glow ? cShdComp::BOTTOM_GLOW | cShdComp::BOTTOM : cShdComp::BOTTOM;
    if (middle) {
        variant |= cShdComp::middle_variant(middle->mode);
        if (middle->glow)
            variant |= cShdComp::MIDDLE_GLOW;
        if (middle->under)
            variant |= cShdComp::MIDDLE_UNDER;
    }
    return variant;
}

bool cPostComp::blends_two(int mode, int middle_mode, int below_mode, bool below_is_bottom)
{
    return is_blend(mode) && is_blend(middle_mode) &&
           (!below_is_bottom || usable_as_bottom(below_mode));
}

bool cPostComp::ready_for_two(const sLayerPicture& layer, const sLayerPicture& middle,
                              const sLayerPicture& below, bool below_is_bottom)
{
    if (!blends_two(layer.mode, middle.mode, below.mode, below_is_bottom))
        return false;
    const int variant = variant_of(layer, below, below_is_bottom, &middle);
    return cShaderManager_GLSL::get_instance()->has_shader(cShdComp::name_of(layer.mode, variant));
}

void cPostComp::warm_up_two(const sLayerShape& layer, const sLayerShape& middle,
                            const sLayerShape& below, bool below_is_bottom)
{
    if (!blends_two(layer.mode, middle.mode, below.mode, below_is_bottom))
        return;
    // The pass reads eight pictures through eight coordinate sets; a driver with fewer keeps
    // the two passes (its build would fail, and a failed build ends the program).
    GLint units = 0, coordinates = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    glGetIntegerv(GL_MAX_TEXTURE_COORDS, &coordinates);
    if (units < NUM_SOURCES || coordinates < NUM_SOURCES)
        return;
    // As in the show: the pictures the window's size (read texel for pixel), the glows and
    // the pictures under smaller (filtered); into a corner of the window, which is where the
    // pass draws.
    cRTProxy pictures[3], smaller[5];
    for (cRTProxy& target : pictures)
        target = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    for (cRTProxy& target : smaller)
        target = get_tmp_rt(cRenderTargetManager::RTT_QUATER);
    const auto picture = [&](const sLayerShape& shape, int k) {
        return sLayerPicture{pictures[k].get_rt(), shape.glow ? smaller[2 * k].get_rt() : nullptr,
                             shape.mode, 1.0f, shape.under ? smaller[2 * k + 1].get_rt() : nullptr};
    };
    const sLayerPicture top = picture(layer, 0), centre = picture(middle, 1);
    const sLayerPicture under = {pictures[2].get_rt(), below.glow ? smaller[4].get_rt() : nullptr,
                                 below.mode, 1.0f};
    if (ready_for_two(top, centre, under, below_is_bottom))
        return; // built and drawn already
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_SCISSOR_BIT | GL_ENABLE_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport[0], viewport[1], 4, 4);
    draw(top, under, below_is_bottom, &centre);
    glPopAttrib();
    glFinish();
}

bool cPostComp::usable_as_bottom(int mode)
{
    return mode == BLEND_OVER || mode == BLEND_ADD || mode == BLEND_SCREEN;
}

void cPostComp::draw(const sLayerPicture& layer, const sLayerPicture& below, bool below_is_bottom,
                     const sLayerPicture* middle)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();

    // The colour-buffer group too: the colour mask is changed below.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_ALPHA_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_BLEND); // the shader computes the blend; its output is written as it is
    begin_fsq_keep_colour();

    assert((layer.picture || below_is_bottom) && "a layer needs a picture unless alone");
    iRenderTarget* const sources[NUM_SOURCES] = {layer.picture,
                                                 below.picture,
                                                 layer.glow,
                                                 below_is_bottom ? below.glow : nullptr,
                                                 layer.under,
                                                 middle ? middle->picture : nullptr,
                                                 middle ? middle->glow : nullptr,
                                                 middle ? middle->under : nullptr};
    for (int u = NUM_SOURCES - 1; u >= 0; --u) {
        if (sources[u])
            bind_source(*sources[u], GL_TEXTURE0 + GLenum(u));
    }
    const int mode = layer.mode;
    if (mode == 2) {
        assert(0 && "blendmode not yet supported");
    } else if (is_blend(mode)) {
        const int variant = variant_of(layer, below, below_is_bottom, middle);
        register_comp(mode, variant); // built when first needed
        shaders->bind(cShdComp::name_of(mode, variant));
    } // other values: drawn with whatever shading is current

    glColor4f(1, 1, 1, layer.opacity);
    draw_sources(sources, below_is_bottom ? below.opacity : 1.0f, middle ? middle->opacity : 0.0f);

    end_fsq();
    for (int u = 0; u < NUM_SOURCES; ++u) {
        if (sources[u])
            sources[u]->unbind_as_texture();
    }
    glPopAttrib();
    shaders->pop_shader();
    check_gl_error("comp");
}
