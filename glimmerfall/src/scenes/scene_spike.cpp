// The spike ball (see scene_spike.h).
#include "scenes/scene_spike.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

// A repeatable pseudo-random number in 0..1 for an index and a salt.
float hashed(int in_index, int in_salt)
{
    uint32_t h = uint32_t(in_index) * 747796405u + uint32_t(in_salt) * 2891336453u;
    h = ((h >> ((h >> 28u) + 4u)) ^ h) * 277803737u;
    h ^= h >> 22u;
    return float(h >> 8u) / float(0xffffff);
}

} // namespace

cSceneSpike::cSceneSpike(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_depth_test().with_depth_writes().with_culling();
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

void cSceneSpike::draw_burst(float in_seconds)
{
    // Behind the ball, facing the viewer: rays of light turning slowly, and streaks rushing out
    // from the middle as if the ball were flying at the viewer; the clap lengthens and lights
    // the rays and sends a shock ring out.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(m[12], m[13], m[14] - 3.0f);
    const int RAYS = 28;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < RAYS; ++i) {
        const float a = 2.0f * PI * float(i) / RAYS + 0.12f * in_seconds * (i % 2 ? 1.0f : -0.6f);
        const float flicker =
            0.5f + 0.5f * std::sin(in_seconds * (1.1f + hashed(i, 1)) + 6.0f * hashed(i, 2));
        const float reach = (6.0f + 6.0f * hashed(i, 3)) * (1.0f + 0.35f * m_pump);
        const float half = 0.05f + 0.05f * hashed(i, 4);
        const float* c = i % 3 ? magenta : palette[i % 4];
        glColor4f(c[0], c[1], c[2], (0.10f + 0.10f * flicker) * (1.0f + 1.5f * m_pump));
        glVertex3f(0, 0, 0);
        glColor4f(c[0], c[1], c[2], 0.0f);
        glVertex3f(std::cos(a - half) * reach, std::sin(a - half) * reach, 0);
        glVertex3f(std::cos(a + half) * reach, std::sin(a + half) * reach, 0);
    }
    glEnd();

    const int STREAKS = 150;
    glBegin(GL_LINES);
    for (int i = 0; i < STREAKS; ++i) {
        const float a = 2.0f * PI * hashed(i, 5);
        // Each streak runs from the middle to the edge in 1.5 to 3 s, again and again.
        const float run = in_seconds / (1.5f + 1.5f * hashed(i, 6)) + hashed(i, 7);
        const float f = run - std::floor(run);
        const float r = 1.5f + 14.0f * f * f;
        const float length = 0.2f + 2.5f * f * f;
        const float* c = palette[i % 4];
        const float alpha = std::min(1.0f, f * 4.0f) * 0.55f;
        glColor4f(c[0], c[1], c[2], 0.0f);
        glVertex3f(std::cos(a) * r, std::sin(a) * r, 0);
        glColor4f(0.6f + 0.4f * c[0], 0.6f + 0.4f * c[1], 0.6f + 0.4f * c[2], alpha);
        glVertex3f(std::cos(a) * (r + length), std::sin(a) * (r + length), 0);
    }
    glEnd();

    if (m_pump > 0.01f) {
        // The shock ring: out from the ball while the clap's pulse falls.
        const float r = 2.0f + 7.0f * (1.0f - m_pump), w = 0.25f + 0.6f * (1.0f - m_pump);
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i <= 64; ++i) {
            const float a = 2.0f * PI * float(i) / 64.0f;
            glColor4f(1.0f, 0.85f, 1.0f, 0.0f);
            glVertex3f(std::cos(a) * (r - w), std::sin(a) * (r - w), 0);
            glColor4f(1.0f, 0.85f, 1.0f, 0.7f * m_pump);
            glVertex3f(std::cos(a) * r, std::sin(a) * r, 0);
        }
        glEnd();
    }
    glPopMatrix();
}

cRTProxy cSceneSpike::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    begin_drawing();
    // The camera circles the ball, leaning in and out.
    const sCamera resting = m_camera;
    const float yaw = 0.3f * seconds, lean = 0.5f + 0.5f * std::sin(seconds * 0.45f);
    const float distance = std::hypot(m_camera.eye.x, m_camera.eye.z) * (1.05f - 0.22f * lean);
    m_camera.eye.x = distance * std::sin(yaw);
    m_camera.eye.z = distance * std::cos(yaw);
    m_camera.eye.y += 1.2f * std::sin(seconds * 0.37f);
    m_camera.apply_camera();
    m_camera = resting;
    glRotatef(6.0f * std::sin(seconds * 0.3f), 0, 0, 1);

    // Light first, additive and without depth writes.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    draw_burst(seconds);
    draw_halo(4.2f + 1.6f * m_pump, magenta, 0.3f + 0.45f * m_pump);
    const float ring_tilt = 22.0f;
    // Two rings: the inner one dodges on the hats, the outer one turns the other way, tilted
    // against it.
    auto satellite_place = [&](int k) {
        const bool outer = k >= SATELLITES;
        const int j = k % SATELLITES;
        const float a = 2.0f * PI * (float(j) + (outer ? 0.5f : 0.0f)) / SATELLITES +
                        seconds * (outer ? -0.35f : 0.5f);
        const float r = (outer ? 4.6f : 3.0f) + m_dodgering * m_dodge * (j % 2 ? 1.2f : 0.8f);
        glRotatef(outer ? -ring_tilt - 30.0f : ring_tilt, 1, 0, 0);
        glTranslatef(std::cos(a) * r, std::sin(a) * r, (j % 2 ? 0.35f : -0.35f) * m_dodge);
    };
    for (int k = 0; k < 2 * SATELLITES; ++k) {
        glPushMatrix();
        satellite_place(k);
        draw_halo(k < SATELLITES ? 1.2f : 0.8f, palette[k % 4], 0.3f + 0.2f * m_dodge);
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
        const float pump = 1.35f * (1.0f + 0.3f * m_pump);
        glRotatef(m_rotspeed * seconds, 0.3f, 1.0f, 0.2f);
        glScalef(pump, pump, pump);
        draw_ball(magenta, 1.35f + 0.9f * m_pump);
        glPopMatrix();
        // The rings of small ones, each turning on its own.
        for (int k = 0; k < 2 * SATELLITES; ++k) {
            glPushMatrix();
            satellite_place(k);
            glRotatef(90.0f * seconds + 45.0f * float(k), 1, 0.5f, 0);
            const float size = k < SATELLITES ? 0.45f : 0.3f;
            glScalef(size, size, size);
            draw_ball(palette[k % 4], 1.3f + 0.6f * m_dodge);
            glPopMatrix();
        }
        m_glow.unbind();
        cShaderManager_GLSL::get_instance()->disable();
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
