// The greetings (see scene_greets.h).
#include "scenes/scene_greets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "texture_manager.h"

namespace {

constexpr float START_STEP = 0.088f; // cur_t between two greetings
constexpr float FLIGHT = 0.2f;       // cur_t one flight takes
constexpr float RING_SPACING = 3.0f; // of the tunnel mesh

// Magenta, cyan, acid green, gold.
const float PALETTE[4][3] = {
    {1.0f, 0.12f, 0.78f}, {0.1f, 0.85f, 1.0f}, {0.62f, 1.0f, 0.12f}, {1.0f, 0.74f, 0.18f}};

float ease(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

// A repeatable pseudo-random number in 0..1 for an index and a salt.
float hashed(int in_index, int in_salt)
{
    uint32_t h = uint32_t(in_index) * 747796405u + uint32_t(in_salt) * 2891336453u;
    h = ((h >> ((h >> 28u) + 4u)) ^ h) * 277803737u;
    h ^= h >> 22u;
    return float(h >> 8u) / float(0xffffff);
}

} // namespace

cSceneGreets::cSceneGreets(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_depth_writes().with_blending();
    m_camera.eye = Vec3<float>(0, 0, 0);
    m_camera.ctr = Vec3<float>(0, 0, -1);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 60.0f;
    m_camera.znear = 0.2f;
    m_camera.zfar = 60.0f;
}

void cSceneGreets::load()
{
    register_self_illum_shader();
    register_rgbatex_shader();
    register_srccol_shader();
    cMeshManager* meshes = cMeshManager::get_instance();
    m_bg = meshes->get("greetings_bg_03.bzobj", true, false, false);
    for (int i = 0; i < NUM_GREETS; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "greet_%02d.bzobj", i + 1);
        m_greets[i] = meshes->get(name, true, true, false);
    }
    m_text_tex =
        cTextureManager::get_instance()->get_texture("greet_atlas.png", true, GL_CLAMP_TO_EDGE, 0);
}

bool cSceneGreets::update()
{
    update_interpolators();
    return false;
}

void cSceneGreets::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "tunnel_speed", &m_tunnel_speed, 0.0f, 20.0f);
    add_slider(in_gui, "text_light", &m_text_light, 0.0f, 2.0f);
}

tVarList cSceneGreets::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    return vars;
}

cSceneGreets::sFlight cSceneGreets::flight(int in_index, float in_cur_t)
{
    sFlight f;
    const float start = START_STEP * float(in_index);
    f.progress = (in_cur_t - start) / FLIGHT;
    f.shown = in_index >= 0 && in_index < NUM_GREETS && f.progress >= 0.0f && f.progress < 1.0f;
    if (!f.shown)
        return f;
    const float p = f.progress;
    const float side = (in_index % 2) ? 1.0f : -1.0f;
    // Out of the depths, slowing down while it reads, then away past the viewer's side.
    const float approach = 1.0f - std::pow(1.0f - std::min(p / 0.7f, 1.0f), 2.0f);
    const float away = ease((p - 0.62f) / 0.38f);
    f.z = -34.0f + 28.0f * approach + 3.0f * away;
    f.x = side * (0.6f * (1.0f - approach) + 7.0f * away * away);
    // Coming in above or below the name being read, so the two do not cross.
    f.y = (in_index % 2 ? 1.0f : -1.0f) * 5.0f * (1.0f - approach) - 0.4f * away;
    f.roll = side * (25.0f * (1.0f - approach) - 12.0f * away);
    f.yaw = side * 55.0f * away;
    f.alpha = ease(p / 0.3f) * (1.0f - ease((p - 0.85f) / 0.15f));
    return f;
}

void cSceneGreets::draw_tunnel(float in_seconds) const
{
    if (!m_bg)
        return;
    const float presence = ease(m_cur_t / 0.05f) * (1.0f - ease((m_cur_t - 0.95f) / 0.05f));
    cShaderManager_GLSL::get_instance()->bind("srccol_shader");
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    const float travel = std::fmod(in_seconds * m_tunnel_speed, RING_SPACING);
    for (int copy = 0; copy < 2; ++copy) {
        const float* c = PALETTE[(int(in_seconds * 0.5f) + copy * 2) % 4];
        const float* d = PALETTE[(int(in_seconds * 0.5f) + copy * 2 + 1) % 4];
        const float f = in_seconds * 0.5f - std::floor(in_seconds * 0.5f);
        glColor4f(c[0] + (d[0] - c[0]) * f, c[1] + (d[1] - c[1]) * f, c[2] + (d[2] - c[2]) * f,
                  0.8f * presence);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, travel);
        glRotatef((copy ? -1.0f : 1.0f) * in_seconds * 20.0f + 30.0f * float(copy), 0, 0, 1);
        const float s = copy ? 1.35f : 1.0f;
        glScalef(s, s, 1.0f);
        m_bg->draw();
        glPopMatrix();
    }
}

void cSceneGreets::draw_sparks(float in_seconds) const
{
    // Sparks rushing past down the tunnel, drawn as streaks as long as they travel in a quarter
    // of a second, so the flight feels fast and deep.
    const float presence = ease(m_cur_t / 0.05f) * (1.0f - ease((m_cur_t - 0.95f) / 0.05f));
    if (presence <= 0.0f)
        return;
    constexpr int SPARKS = 140;
    constexpr float DEPTH = 44.0f;
    cShaderManager_GLSL::get_instance()->disable();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    // Colour adds; alpha gathers the coverage, so the sparks show over the layers below.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (int i = 0; i < SPARKS; ++i) {
        const float speed = 14.0f + 16.0f * hashed(i, 1);
        const float a = 2.0f * 3.14159265f * hashed(i, 2), r = 0.8f + 1.6f * hashed(i, 3);
        const float run = in_seconds * speed / DEPTH + hashed(i, 4);
        const float z = -DEPTH + 2.0f + DEPTH * (run - std::floor(run));
        const float* c = PALETTE[i % 4];
        // Faint far away, bright close by, gone just before passing the viewer.
        const float alpha = presence * ease((z + DEPTH) / 12.0f) * (1.0f - ease((z + 1.5f) / 1.5f));
        glColor4f(c[0], c[1], c[2], 0.0f);
        glVertex3f(r * std::cos(a), r * std::sin(a), z - 0.25f * speed);
        glColor4f(0.5f + 0.5f * c[0], 0.5f + 0.5f * c[1], 0.5f + 0.5f * c[2], alpha);
        glVertex3f(r * std::cos(a), r * std::sin(a), z);
    }
    glEnd();
    glPopAttrib();
}

void cSceneGreets::draw_greet(int in_index, const sFlight& in_flight, float in_seconds)
{
    iMesh* text = m_greets[in_index];
    if (!text || in_flight.alpha <= 0.0f)
        return;
    const float* c = PALETTE[in_index % 4];
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();

    glDepthMask(GL_FALSE);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    // A soft glow in the name's colour behind it, so that it stands out from what is behind;
    // its alpha counts, so the composition shows it over the layers below.
    shaders->disable();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(in_flight.x, in_flight.y, in_flight.z - 1.2f);
    glRotatef(in_flight.roll, 0, 0, 1);
    glRotatef(in_flight.yaw, 0, 1, 0);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(c[0], c[1], c[2], 0.55f * in_flight.alpha);
    glVertex3f(0, 0, 0);
    glColor4f(c[0], c[1], c[2], 0.0f);
    for (int i = 0; i <= 32; ++i) {
        const float a = 2.0f * 3.14159265f * float(i) / 32.0f;
        glVertex3f(4.2f * std::cos(a), 1.3f * std::sin(a), 0);
    }
    glEnd();
    // As the name slows down to be read, a ring of light bursts out from behind it.
    const float burst = (in_flight.progress - 0.22f) / 0.3f;
    if (burst > 0.0f && burst < 1.0f) {
        const float rx = 2.0f + 9.0f * burst, ry = 0.7f + 3.0f * burst;
        const float fade = 0.8f * (1.0f - burst) * (1.0f - burst);
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i <= 48; ++i) {
            const float a = 2.0f * 3.14159265f * float(i) / 48.0f;
            glColor4f(0.6f + 0.4f * c[0], 0.6f + 0.4f * c[1], 0.6f + 0.4f * c[2], 0.0f);
            glVertex3f(0.8f * rx * std::cos(a), 0.8f * ry * std::sin(a), 0);
            glColor4f(0.6f + 0.4f * c[0], 0.6f + 0.4f * c[1], 0.6f + 0.4f * c[2], fade);
            glVertex3f(rx * std::cos(a), ry * std::sin(a), 0);
        }
        glEnd();
    }
    glPopMatrix();
    glPopAttrib();

    // A trail of fading echoes behind the name, self-lit and added onto what is there.
    shaders->bind("self_illum_shader");
    for (int k = 3; k >= 1; --k) {
        const float strength = 0.35f * in_flight.alpha / float(k);
        const GLfloat echo[4] = {strength * c[0], strength * c[1], strength * c[2], 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, echo);
        glPushMatrix();
        glTranslatef(in_flight.x, in_flight.y, in_flight.z - 0.7f * float(k));
        glRotatef(in_flight.roll * (1.0f + 0.15f * float(k)), 0, 0, 1);
        glRotatef(in_flight.yaw, 0, 1, 0);
        text->draw();
        glPopMatrix();
    }
    glDepthMask(GL_TRUE);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    shaders->bind("rgbatex_shader");
    // A glint sweeps across the name while it is read: the light passes from one side to the
    // other in front of it.
    const float sweep = -6.0f + 12.0f * std::clamp((in_flight.progress - 0.2f) / 0.6f, 0.0f, 1.0f);
    const GLfloat glint[4] = {in_flight.x + sweep, in_flight.y + 2.0f, in_flight.z + 14.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, glint);
    const float l = m_text_light;
    const GLfloat ambient[4] = {0.3f * l + 0.3f * c[0], 0.3f * l + 0.3f * c[1],
                                0.3f * l + 0.3f * c[2], in_flight.alpha};
    const GLfloat diffuse[4] = {0.85f * l, 0.85f * l, 0.85f * l, in_flight.alpha};
    const GLfloat specular[4] = {l, l, l, 1};
    const GLfloat emission[4] = {0.25f * c[0], 0.25f * c[1], 0.25f * c[2], 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
    glPushMatrix();
    glTranslatef(in_flight.x, in_flight.y, in_flight.z);
    glRotatef(in_flight.roll, 0, 0, 1);
    glRotatef(in_flight.yaw + 8.0f * std::sin(in_seconds * 1.3f + float(in_index)), 0, 1, 0);
    text->draw();
    glPopMatrix();
}

cRTProxy cSceneGreets::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(0, 0, 0, 0);

    begin_drawing();
    // The view rolls and bobs gently, as if flying.
    const sCamera resting = m_camera;
    m_camera.up = Vec3<float>(std::sin(0.08f * std::sin(seconds * 0.6f)),
                              std::cos(0.08f * std::sin(seconds * 0.6f)), 0.0f);
    m_camera.eye.y += 0.25f * std::sin(seconds * 0.9f);
    m_camera.apply_camera();
    m_camera = resting;
    draw_tunnel(seconds);
    draw_sparks(seconds);

    if (m_text_tex.isValid()) {
        const GLfloat light_pos[4] = {2.0f * std::sin(seconds * 0.8f), 3.0f, 2.0f, 1.0f};
        const GLfloat white[4] = {1, 1, 1, 1};
        const GLfloat ambient[4] = {0.5f, 0.45f, 0.55f, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        m_text_tex.bind(GL_TEXTURE0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        // Farthest (the latest started) first, so a fading name in front lies over the one
        // behind it.
        for (int i = NUM_GREETS - 1; i >= 0; --i) {
            const sFlight f = flight(i, m_cur_t);
            if (f.shown)
                draw_greet(i, f, seconds);
        }
        m_text_tex.unbind();
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
