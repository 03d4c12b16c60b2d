// The hexagonal cube tunnel (see scene_cube_tunnel.h).
#include "scenes/scene_cube_tunnel.h"

#include <algorithm>
#include <cmath>

#include "clock.h"
#include "effects/interpolator.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

const GLfloat haze[4] = {0.02f, 0.0f, 0.05f, 1.0f}; // clear and fog colour: deep indigo

// The ring colours, one after the other along the tunnel: magenta, cyan, acid green, gold.
const float palette[4][3] = {
    {1.0f, 0.12f, 0.78f}, {0.08f, 0.85f, 1.0f}, {0.62f, 1.0f, 0.12f}, {1.0f, 0.72f, 0.12f}};

// The palette read smoothly at a position (one colour per unit).
void palette_colour(float in_at, float out_rgb[3])
{
    const float wrapped = in_at - 4.0f * std::floor(in_at / 4.0f);
    const int a = int(wrapped) % 4, b = (a + 1) % 4;
    const float f = wrapped - std::floor(wrapped);
    const float s = f * f * (3.0f - 2.0f * f);
    for (int c = 0; c < 3; ++c)
        out_rgb[c] = palette[a][c] * (1.0f - s) + palette[b][c] * s;
}

} // namespace

cSceneCubeTunnel::cSceneCubeTunnel(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat no_ambient[4] = {0, 0, 0, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_fog(3.0f, 27.0f, haze)
                       .with_lighting()
                       .with_ambient(no_ambient)
                       .with_colour_material();
    m_camera.eye = Vec3<float>(0, 0, 0);
    m_camera.ctr = Vec3<float>(0, 0, -1);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 90.0f;
    m_camera.znear = 0.1f;
    m_camera.zfar = 60.0f;
}

void cSceneCubeTunnel::load()
{
    m_ring = cMeshManager::get_instance()->get("hex_tunnel.bzobj", true, true, false);
}

void cSceneCubeTunnel::init()
{
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
}

void cSceneCubeTunnel::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, 4)) {
        const int t = demo_time();
        add_interpolator(new cEaseOut<float>(&m_flash, t, t + 300, 1.0f, 0.0f));
    }
}

bool cSceneCubeTunnel::update()
{
    update_interpolators();
    m_position += float(m_clock ? m_clock->delta() : 0) / 1000.0f * m_speed;
    return false;
}

void cSceneCubeTunnel::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "speed", &m_speed, 0.0f, 30.0f);
    add_slider(in_gui, "twist", &m_twist, -45.0f, 45.0f);
    add_slider(in_gui, "flash", &m_flash, 0.0f, 1.0f);
}

tVarList cSceneCubeTunnel::get_vars()
{
    tVarList vars;
    add_slider(vars, "fov", &m_camera.fov, 10.0f, 160.0f);
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    return vars;
}

void cSceneCubeTunnel::draw_rings(float in_seconds)
{
    const float presence = std::clamp(m_cur_t, 0.0f, 1.0f);
    // The rings open outwards and darken as the tunnel goes.
    const float opening = 1.0f + 1.6f * (1.0f - presence) * (1.0f - presence);
    const float travelled = m_position / RING_SPACING;
    const float step = std::floor(travelled);
    const float shift = (travelled - step) * RING_SPACING;
    for (int i = 0; i < NUM_RINGS; ++i) {
        // Rings keep their identity (colour, turn) while they travel: when `step` grows by one,
        // the ring in slot i moves to slot i - 1, so its number is i + step.
        const float id = float(i) + step;
        const float z = -float(i) * RING_SPACING + shift;
        float rgb[3];
        palette_colour(id * 0.25f + in_seconds * 0.15f, rgb);
        const float flash = m_flash * std::max(0.0f, 1.0f - float(i) / 14.0f);
        const float glow = (0.14f + 0.9f * flash) * presence;
        const GLfloat emission[4] = {rgb[0] * glow + flash * 0.5f, rgb[1] * glow + flash * 0.5f,
                                     rgb[2] * glow + flash * 0.5f, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
        glColor4f(rgb[0] * presence, rgb[1] * presence, rgb[2] * presence, 1);
        glPushMatrix();
        glTranslatef(0, 0, z);
        const float sway = (int(id) % 2 == 0 ? 1.0f : -1.0f) * 14.0f * in_seconds;
        glRotatef(id * m_twist + sway, 0, 0, 1);
        const float pulse = opening * (1.0f + 0.06f * flash);
        glScalef(pulse, pulse, 1.0f);
        m_ring->draw();
        glPopMatrix();
    }
    const GLfloat black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
}

void cSceneCubeTunnel::draw_core_light(float in_seconds)
{
    // A soft light at the far end of the tunnel: a disc, bright in the middle, fading out.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    const float presence = std::clamp(m_cur_t, 0.0f, 1.0f);
    float rgb[3];
    palette_colour(in_seconds * 0.15f + 2.0f, rgb);
    const float radius = 9.0f + 2.0f * m_flash;
    // Two rings of the fan: a white-hot centre, the tunnel's colour half way, nothing at the rim.
    const float strength = 0.8f * presence + 0.2f * m_flash;
    auto ring = [&](float r0, float a0, const float* c0, float r1, float a1, const float* c1) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i <= 48; ++i) {
            const float a = 2.0f * 3.14159265f * float(i) / 48.0f;
            glColor4f(c0[0], c0[1], c0[2], a0 * strength);
            glVertex3f(std::cos(a) * r0, std::sin(a) * r0, -26.0f);
            glColor4f(c1[0], c1[1], c1[2], a1 * strength);
            glVertex3f(std::cos(a) * r1, std::sin(a) * r1, -26.0f);
        }
        glEnd();
    };
    const float white[3] = {1.0f, 0.95f, 1.0f};
    ring(0.0f, 1.0f, white, radius * 0.3f, 0.7f, rgb);
    ring(radius * 0.3f, 0.7f, rgb, radius, 0.0f, rgb);
    glPopAttrib();
}

cRTProxy cSceneCubeTunnel::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(haze[0], haze[1], haze[2], 1.0f);

    begin_drawing();
    m_camera.roll = 10.0 * std::sin(seconds * 0.4);
    m_camera.apply_camera();
    // A white light at the viewer and a coloured one travelling through the tunnel.
    const GLfloat eye_pos[4] = {0, 0, 0, 1};
    const GLfloat white[4] = {1.0f, 0.95f, 1.0f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, eye_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.08f);
    const GLfloat shine[4] = {0.7f, 0.7f, 0.7f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, shine);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
    const float z1 = -4.0f - 10.0f * (0.5f + 0.5f * std::sin(seconds * 0.9f));
    const GLfloat travel_pos[4] = {0.0f, 0.0f, z1, 1};
    const GLfloat violet[4] = {0.6f, 0.2f, 1.0f, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, travel_pos);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, violet);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.05f);

    draw_core_light(seconds);
    if (m_ring)
        draw_rings(seconds);
    end_drawing();
    out->unbind_as_target();
    return out;
}
