// The rose scene (see scene_rose.h).
#include "scenes/scene_rose.h"

#include <algorithm>
#include <cmath>

#include "effects/interpolator.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "postprocessing/kaleidoscope.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

const GLfloat backdrop[4] = {0.015f, 0.0f, 0.045f, 1.0f}; // deep indigo

} // namespace

cSceneRose::cSceneRose(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_blending();
    m_camera.eye = Vec3<float>(0, -1.2f, 7.0f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 50.0f;
    m_glow.size = cRenderTargetManager::RTT_EIGHTH;
    m_glow.precut = 110.0f;
    m_glow.postcut = 230.0f;
    m_rose.m_it = 5;
    m_rose.m_pt_size = 3.0f;
    m_rose.m_pt_alpha = 0.7f;
    m_rose.m_alpha = 0.55f;
}

void cSceneRose::load()
{
    m_rose.load();
    // The glow works at an eighth of the screen: its three targets (picture, cut, blur) join
    // the pool while loading, not in the middle of the show.
    cRTProxy warm[3] = {get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size)};
}

void cSceneRose::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, 4)) {
        const int t = demo_time();
        add_interpolator(new cEaseOut<float>(&m_rose.m_kick, t, t + 350, 1.0f, 0.0f));
    }
}

bool cSceneRose::update()
{
    update_interpolators();
    m_rose.update(demo_time());
    return false;
}

void cSceneRose::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_sliders(in_gui, sliders(m_glow));
    tVarList rose;
    m_rose.get_vars(rose);
    add_entries(in_gui, rose);
}

tVarList cSceneRose::get_vars()
{
    tVarList vars;
    add_slider(vars, "kaleido2d", &m_kaleido2d, 0.0f,
               float(cPostKaleidoscope::get_instance()->mesh_count()));
    add_slider(vars, "scale", &m_scale, 0.0f, 10.0f);
    return vars;
}

void cSceneRose::draw_sunburst(float in_seconds)
{
    // Thin rays from the centre, magenta and violet in turn, turning slowly: the folds of the
    // kaleidoscope have something to mirror between the petals.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotatef(-12.0f * in_seconds, 0, 0, 1);
    const int rays = 36;
    const float reach = 14.0f;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < rays; ++i) {
        const float a = 2.0f * 3.14159265f * float(i) / float(rays);
        const float half = 3.14159265f / float(rays) * (i % 2 ? 0.25f : 0.5f);
        const float breathe = 0.5f + 0.5f * std::sin(in_seconds * 1.3f + float(i) * 0.7f);
        // The clap's swell lights the rays up with the rose.
        const float lift = 1.0f + 1.5f * m_rose.m_kick;
        if (i % 3 == 1)
            glColor4f(0.1f, 0.75f, 1.0f, (0.12f + 0.10f * breathe) * lift);
        else if (i % 2)
            glColor4f(0.55f, 0.15f, 1.0f, (0.14f + 0.10f * breathe) * lift);
        else
            glColor4f(1.0f, 0.1f, 0.7f, (0.16f + 0.12f * breathe) * lift);
        glVertex3f(0, 0, -1.0f);
        glColor4f(0.1f, 0.0f, 0.3f, 0.0f);
        glVertex3f(std::cos(a - half) * reach, std::sin(a - half) * reach, -1.0f);
        glVertex3f(std::cos(a + half) * reach, std::sin(a + half) * reach, -1.0f);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

cRTProxy cSceneRose::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy picture = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);
    glDepthMask(GL_TRUE);
    picture->bind_as_target(true);
    glPopAttrib();

    begin_drawing();
    m_camera.apply_camera();
    draw_sunburst(seconds);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const float zoom = std::max(0.0f, m_scale) * 1.3f;
    // The rose wanders far from the middle, breathes and leans in depth: the kaleidoscope's
    // mirrored copies drift towards each other, meet at the seams and part again instead of
    // standing in a still grid.
    glTranslatef(2.4f * std::sin(seconds * 0.41f), 1.5f * std::sin(seconds * 0.53f + 1.0f), 0);
    const float breathe = zoom * (1.0f + 0.12f * std::sin(seconds * 1.1f));
    glScalef(breathe, breathe, breathe);
    glRotatef(24.0f * std::sin(seconds * 0.5f), 1, 0, 0);
    glRotatef(20.0f * std::sin(seconds * 0.37f + 2.0f), 0, 1, 0);
    m_rose.draw();
    glPopMatrix();
    end_drawing();
    picture->unbind_as_target();

    // The passes set their own clear colour; the caller's comes back afterwards.
    glPushAttrib(GL_COLOR_BUFFER_BIT);
    cRTProxy glowing = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    cPostGlow::get_instance()->glow(*picture, *glowing, m_glow);
    cRTProxy out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    const int type = std::clamp(m_kaleido2d, 0, 255);
    cPostKaleidoscope::get_instance()->process(*glowing, *out, uint8_t(type));
    glPopAttrib();
    return out;
}
