// Scene base (see scene.h).
#include "scene.h"

#include <cassert>
#include <limits>

#include "clock.h"
#include "effects/interpolator.h"
#include "effects/var.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "gui/gui_node.h"
#include "gui/slider_entries.h"
#include "postprocessing/glow.h"
#include "postprocessing/post_comp.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "texture_manager.h"
#include "video_module.h"

void delete_var_list(tVarList& in_list)
{
    for (auto& entry : in_list) {
        delete entry.first;
        delete entry.second;
    }
    in_list.clear();
}

sCamera::sCamera()
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    eye = ctr = up = Vec3<float>(nan, nan, nan);
    eye = Vec3<float>(1, 1, 1);
    ctr = Vec3<float>(0, 0, 0);
    up = Vec3<float>(0, 0, 1);
    if (cVideoModule::has_instance()) {
        const cVideoModule* video = cVideoModule::get_instance();
        aspect = float(video->m_width) / float(video->m_height);
    }
}

void sCamera::apply_camera() const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, aspect, znear, zfar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(roll, 0, 0, -1);
    gluLookAt(eye.x, eye.y, eye.z, ctr.x, ctr.y, ctr.z, up.x, up.y, up.z);
}

void sCamera::add_camera_gui(iGuiNode* in_gui, float in_min, float in_max)
{
    add_vec3_slider(in_gui, "set_eye", &eye, in_min, in_max);
    add_vec3_slider(in_gui, "set_ctr", &ctr, in_min, in_max);
    add_slider(in_gui, "set_fov", &fov, 10.0f, 160.0f);
    add_slider(in_gui, "set_roll", &roll, -360.0f, 360.0f);
}

cScene::cScene(const cClock* in_clock) : m_clock(in_clock) {}

cScene::~cScene()
{
    for (cInterpolator* interpolator : m_interpolators)
        delete interpolator;
}

void cScene::add_gui(iGuiNode*) {}

tVarList cScene::get_vars()
{
    return tVarList();
}

void cScene::print_vars(std::ostream& os)
{
    tVarList vars = get_vars();
    for (const auto& entry : vars) {
        if (entry.first)
            os << entry.first->get_name() << " " << entry.first->to_string() << std::endl;
    }
    delete_var_list(vars);
}

int cScene::demo_time() const
{
    return m_clock ? m_clock->demo_time() : 0;
}

void cScene::add_interpolator(cInterpolator* in_interpolator)
{
    m_interpolators.push_back(in_interpolator);
}

void cScene::update_interpolators()
{
    run_interpolators(m_interpolators, demo_time(), m_last_round);
}

void cScene::draw()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    glPushAttrib(GL_ENABLE_BIT);
    cRTProxy result = render(demo_time());
    assert(result.isValid() && "render resulted in invalid rendertarget - unimplemented scene?");
    glPopAttrib();
    shaders->pop_shader();

    // The checker background, one texel per pixel.
    cRTProxy checker = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cRTProxy composed = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cTexProxy tile =
        cTextureManager::get_instance()->get_texture("checker.jpg", true, GL_REPEAT, 0);
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    checker->bind_as_target(true);
    begin_fsq();
    tile.bind(GL_TEXTURE0);
    const float w = float(checker->m_width), h = float(checker->m_height);
    const float tw = tile.get_target() == GL_TEXTURE_RECTANGLE_ARB ? 1.0f : float(tile.get_width());
    const float th =
        tile.get_target() == GL_TEXTURE_RECTANGLE_ARB ? 1.0f : float(tile.get_height());
    draw_quad(w / tw, h / th);
    tile.unbind();
    end_fsq();
    checker->unbind_as_target();

    const int over = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(*composed, *result, *checker, &over, 1.0f);

    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);
    RenderFSQ(*composed);
    glPopAttrib();
}

cRTProxy cScene::render(int in_time_ms)
{
    cRTProxy result = render_to_texture(in_time_ms);
    end_drawing();
    return result;
}

cRTProxy cScene::render_leaving_glow(int in_time_ms, cRTProxy& out_glow)
{
    {
        cRTProxy earlier(std::move(out_glow)); // back to the pool
    }
    m_glow_slot = &out_glow;
    cRTProxy result = render(in_time_ms);
    m_glow_slot = nullptr;
    return result;
}

cRTProxy cScene::render_leaving(int in_time_ms, cRTProxy& out_glow, iRenderTarget*& out_under)
{
    out_under = nullptr;
    m_under_slot = &out_under;
    cRTProxy result = render_leaving_glow(in_time_ms, out_glow);
    m_under_slot = nullptr;
    return result;
}

cRTProxy cScene::finish_over(cRTProxy in_picture, iRenderTarget& in_under)
{
    if (m_under_slot) {
        *m_under_slot = &in_under;
        m_under_slot = nullptr; // one per frame: a nested call lays its own
        return in_picture;
    }
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    const int over = cPostComp::BLEND_OVER;
    cPostComp::get_instance()->comp(*out, *in_picture, in_under, &over, 1.0f);
    return out;
}

cRTProxy cScene::finish_glow(cRTProxy in_picture, const glow_params& in_params)
{
    if (m_glow_slot) {
        *m_glow_slot = cPostGlow::get_instance()->glow_picture(*in_picture, in_params);
        m_glow_slot = nullptr; // one glow per frame: a nested call adds its own
        return in_picture;
    }
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    cPostGlow::get_instance()->glow(*in_picture, *out, in_params);
    return out;
}

void cScene::begin_drawing()
{
    if (m_drawing)
        return;
    m_drawing = true;
    push_drawing_state();
    m_draw_state.apply();
    init();
}

void cScene::end_drawing()
{
    if (!m_drawing)
        return;
    m_drawing = false;
    pop_drawing_state();
}

void cScene::push_drawing_state()
{
    cShaderManager_GLSL::get_instance()->push_shader();
    cShaderManager_GLSL::get_instance()->disable();
    glGetFloatv(GL_CURRENT_COLOR, m_colour_before);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_FOG_BIT | GL_COLOR_BUFFER_BIT |
                 GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT |
                 GL_TRANSFORM_BIT | GL_SCISSOR_BIT | GL_POINT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void cScene::pop_drawing_state()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    // Mesa can let a colour from glBegin/glEnd outlive the pop: set it back explicitly.
    glColor4fv(m_colour_before);
    cShaderManager_GLSL::get_instance()->pop_shader();
}

cRTProxy cScene::bind_full_target_cleared(float in_r, float in_g, float in_b, float in_a)
{
    return bind_target_cleared(cRenderTargetManager::RTT_FULL, in_r, in_g, in_b, in_a);
}

cRTProxy cScene::bind_target_cleared(int in_size, float in_r, float in_g, float in_b, float in_a)
{
    cRTProxy target = get_tmp_rt(in_size);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(in_r, in_g, in_b, in_a);
    glDepthMask(GL_TRUE);
    target->bind_as_target(true);
    glPopAttrib();
    return target;
}
