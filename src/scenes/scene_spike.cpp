// The spike ball (see scene_spike.h).
#include "scenes/scene_spike.h"

#include <algorithm>
#include <cmath>

#include "effects/interpolator.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "texture_manager.h"

namespace {

constexpr float PI = 3.14159265358979f;
const GLfloat backdrop[4] = {0.012f, 0.0f, 0.035f, 1.0f};

const float magenta[3] = {1.0f, 0.2f, 0.8f};
const float palette[4][3] = {
    {0.1f, 0.85f, 1.0f}, {0.65f, 1.0f, 0.15f}, {1.0f, 0.75f, 0.15f}, {0.6f, 0.3f, 1.0f}};

} // namespace

cSceneSpike::cSceneSpike(const cClock* in_clock) : cScene(in_clock)
{
    m_camera.eye = Vec3<float>(0, -1.8f, 8.0f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 55.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 50.0f;
}

void cSceneSpike::load()
{
    m_ball = cMeshManager::get_instance()->get("spikeball2.bzobj", true, true, false);
    m_glow =
        cTextureManager::get_instance()->get_texture("spike_glow.png", true, GL_CLAMP_TO_EDGE, 0);
    if (!cShaderManager_GLSL::get_instance()->get_shader("self_illum_shader"))
        register_self_illum_shader();
}

void cSceneSpike::init()
{
    push_drawing_state();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

void cSceneSpike::deinit()
{
    pop_drawing_state();
}

void cSceneSpike::handle_event(cEvent* in_event)
{
    const int t = demo_time();
    if (is_note_on(in_event, 10))
        add_interpolator(new cEaseOut<float>(&m_dodge, t, t + 180, 1.0f, 0.0f));
    if (is_note_on(in_event, 4))
        add_interpolator(new cEaseOut<float>(&m_pump, t, t + 300, 1.0f, 0.0f));
}

bool cSceneSpike::update()
{
    update_interpolators();
    return false;
}

void cSceneSpike::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "dodgering", &m_dodgering, 0.0f, 2.0f);
    add_slider(in_gui, "rotspeed", &m_rotspeed, 0.0f, 360.0f);
}

void cSceneSpike::draw_ball(const float in_rgb[3], float in_brightness)
{
    // The shader takes its tint from the material's diffuse colour.
    const GLfloat tint[4] = {in_rgb[0] * in_brightness, in_rgb[1] * in_brightness,
                             in_rgb[2] * in_brightness, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, tint);
    m_ball->draw();
}

void cSceneSpike::draw_halo(float in_radius, const float in_rgb[3], float in_alpha)
{
    // A soft disc facing the viewer: the modelview's rotation is dropped, its position kept.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(m[12], m[13], m[14]);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(in_rgb[0], in_rgb[1], in_rgb[2], in_alpha);
    glVertex3f(0, 0, 0);
    glColor4f(in_rgb[0], in_rgb[1], in_rgb[2], 0.0f);
    for (int i = 0; i <= 40; ++i) {
        const float a = 2.0f * PI * float(i) / 40.0f;
        glVertex3f(std::cos(a) * in_radius, std::sin(a) * in_radius, 0);
    }
    glEnd();
    glPopMatrix();
}

cRTProxy cSceneSpike::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    init();
    m_camera.apply_camera();
    glRotatef(6.0f * std::sin(seconds * 0.3f), 0, 0, 1);

    // Halos first, additive and without depth writes.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    draw_halo(4.2f + 0.8f * m_pump, magenta, 0.28f + 0.25f * m_pump);
    const float ring_tilt = 22.0f;
    auto satellite_place = [&](int k) {
        const float a = 2.0f * PI * float(k) / SATELLITES + seconds * 0.5f;
        const float r = 3.0f + m_dodgering * m_dodge * (k % 2 ? 1.2f : 0.8f);
        glRotatef(ring_tilt, 1, 0, 0);
        glTranslatef(std::cos(a) * r, std::sin(a) * r, (k % 2 ? 0.35f : -0.35f) * m_dodge);
    };
    for (int k = 0; k < SATELLITES; ++k) {
        glPushMatrix();
        satellite_place(k);
        draw_halo(1.2f, palette[k % 4], 0.3f);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);

    if (m_ball) {
        cShaderManager_GLSL::get_instance()->bind("self_illum_shader");
        m_glow.bind(GL_TEXTURE0);
        // The big ball.
        glPushMatrix();
        const float pump = 1.35f * (1.0f + 0.22f * m_pump);
        glRotatef(m_rotspeed * seconds, 0.3f, 1.0f, 0.2f);
        glScalef(pump, pump, pump);
        draw_ball(magenta, 1.35f + 0.5f * m_pump);
        glPopMatrix();
        // The ring of small ones, each turning on its own.
        for (int k = 0; k < SATELLITES; ++k) {
            glPushMatrix();
            satellite_place(k);
            glRotatef(90.0f * seconds + 45.0f * float(k), 1, 0.5f, 0);
            glScalef(0.45f, 0.45f, 0.45f);
            draw_ball(palette[k % 4], 1.3f + 0.6f * m_dodge);
            glPopMatrix();
        }
        m_glow.unbind();
        cShaderManager_GLSL::get_instance()->disable();
    }
    deinit();
    out->unbind_as_target();
    return out;
}
