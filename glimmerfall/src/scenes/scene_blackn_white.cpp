// Black and white (see scene_blackn_white.h).
#include "scenes/scene_blackn_white.h"

#include <algorithm>
#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

cSceneBlacknWhite::cSceneBlacknWhite(const cClock* in_clock) : cScene(in_clock)
{
    // The materials are flat emissive colours: lighting on, no lights, no ambient.
    // Exclusive or of the colours (white over white is black); the alpha stays opaque.
    const GLfloat none[4] = {0, 0, 0, 1};
    m_draw_state = sDrawState().with_lighting().with_ambient(none).with_blending(
        GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_ZERO, GL_ONE);
    m_camera.eye = Vec3<float>(0, 0, 6.0f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 50.0f;
    m_camera.znear = 1.0f;
    m_camera.zfar = 20.0f;
}

int cSceneBlacknWhite::star_count(float in_cur_t)
{
    return std::clamp(2 + int(std::floor(std::clamp(in_cur_t, 0.0f, 1.0f) * 2.0f + 0.5f)), 2,
                      MAX_STARS);
}

void cSceneBlacknWhite::load()
{
    m_star = cMeshManager::get_instance()->get("blacknwhite_star.bzobj", true, false, false);
}

bool cSceneBlacknWhite::update()
{
    update_interpolators();
    return false;
}

void cSceneBlacknWhite::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "speed", &m_speed, -90.0f, 90.0f);
}

tVarList cSceneBlacknWhite::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    return vars;
}

cRTProxy cSceneBlacknWhite::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(0, 0, 0, 1);

    begin_drawing();
    m_camera.apply_camera();
    if (m_star) {
        const float t = std::clamp(m_cur_t, 0.0f, 1.0f);
        const int stars = star_count(t);
        const float zoom = 3.2f + 2.6f * t;
        // The ground: one star so large that its bands fill the frame, turning slowly.
        glPushMatrix();
        glRotatef(-0.3f * m_speed * seconds, 0, 0, 1);
        glScalef(11.0f, 11.0f, 11.0f);
        m_star->draw();
        glPopMatrix();
        for (int i = 0; i < stars; ++i) {
            // Pairs turn against each other; each one is a little off the centre, circling.
            const float dir = i % 2 ? -1.0f : 1.0f;
            const float phase = seconds * (0.35f + 0.1f * float(i)) + float(i) * 2.1f;
            const float wander = 0.12f + 0.25f * t;
            glPushMatrix();
            glTranslatef(std::cos(phase) * wander * float(i > 0),
                         std::sin(phase * 1.3f) * wander * float(i > 0), 0);
            glRotatef(dir * m_speed * seconds * (1.0f + 0.25f * float(i)) + 7.5f * float(i), 0, 0,
                      1);
            const float s = zoom * (1.0f - 0.07f * float(i)) *
                            (1.0f + 0.04f * std::sin(seconds * 2.4f + float(i)));
            glScalef(s, s, s);
            m_star->draw();
            glPopMatrix();
        }
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
