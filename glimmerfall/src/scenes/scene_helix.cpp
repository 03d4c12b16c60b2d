// The helix (see scene_helix.h).
#include "scenes/scene_helix.h"

#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

const GLfloat backdrop[4] = {0.01f, 0.0f, 0.035f, 1.0f};
const float palette[3][3] = {{1.0f, 0.15f, 0.8f}, {0.1f, 0.85f, 1.0f}, {0.65f, 1.0f, 0.15f}};

} // namespace

cSceneHelix::cSceneHelix(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_lighting()
                       .with_colour_material()
                       .with_fog(7.0f, 14.0f, backdrop);
    m_camera.eye = Vec3<float>(0, -2.5f, 8.0f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 55.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 50.0f;
    m_glow.size = cRenderTargetManager::RTT_EIGHTH;
    m_glow.precut = 110.0f;
    m_glow.postcut = 210.0f;
}

void cSceneHelix::load()
{
    m_helix = cMeshManager::get_instance()->get("helix.bzobj", true, true, false);
    // The glow works at an eighth of the screen: its three targets (picture, cut, blur) join
    // the pool while loading, not in the middle of the show.
    cRTProxy warm[3] = {get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size)};
}

void cSceneHelix::init()
{
    glEnable(GL_LIGHT0);
}

bool cSceneHelix::update()
{
    update_interpolators();
    return false;
}

void cSceneHelix::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "spin", &m_spin, -360.0f, 360.0f);
    add_sliders(in_gui, sliders(m_glow));
}

cRTProxy cSceneHelix::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy picture = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    begin_drawing();
    m_camera.apply_camera();
    const GLfloat key_pos[4] = {0.2f, 0.5f, 1.0f, 0};
    const GLfloat white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, key_pos);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 50.0f);
    if (m_helix) {
        glRotatef(10.0f * seconds, 0, 0, 1);
        for (int i = 0; i < SPOKES; ++i) {
            const float* c = palette[i % 3];
            const GLfloat emission[4] = {c[0] * 0.3f, c[1] * 0.3f, c[2] * 0.3f, 1};
            glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
            glColor4f(c[0], c[1], c[2], 1);
            glPushMatrix();
            glRotatef(360.0f / SPOKES * float(i), 0, 0, 1);
            // Lay the helix along x, out from the centre, and spin it about that axis.
            glTranslatef(3.1f + 0.25f * std::sin(seconds * 2.0f + float(i)), 0, 0);
            glRotatef(90.0f, 0, 1, 0);
            glRotatef(m_spin * seconds * (i % 2 ? -1.0f : 1.0f), 0, 0, 1);
            glScalef(0.85f, 0.85f, 0.85f);
            m_helix->draw();
            glPopMatrix();
        }
    }
    end_drawing();
    picture->unbind_as_target();

    glPushAttrib(GL_COLOR_BUFFER_BIT);
    cRTProxy out = finish_glow(std::move(picture), m_glow);
    glPopAttrib();
    return out;
}
