// The mandala gate (see scene_mandala_gate.h).
#include "scenes/scene_mandala_gate.h"

#include <algorithm>
#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

constexpr float PI = 3.14159265358979f;
const GLfloat haze[4] = {0.03f, 0.0f, 0.07f, 1.0f}; // deep indigo

} // namespace

cSceneMandalaGate::cSceneMandalaGate(const cClock* in_clock) : cScene(in_clock)
{
    // The petals are seen from inside and, at the mouth, from outside: no culling.
    const GLfloat ambient[4] = {0.5f, 0.42f, 0.55f, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_normalize()
                       .with_lighting()
                       .with_ambient(ambient)
                       .with_fog(2.0f, 17.0f, haze);
    m_camera.eye = Vec3<float>(0, 0, eye_z(0.0f));
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 70.0f;
    m_camera.znear = 0.05f;
    m_camera.zfar = 60.0f;
}

cSceneMandalaGate::~cSceneMandalaGate()
{
    if (m_quadric)
        gluDeleteQuadric(m_quadric);
}

float cSceneMandalaGate::eye_z(float in_cur_t)
{
    return 2.8f - 13.5f * std::clamp(in_cur_t, 0.0f, 1.0f);
}

float cSceneMandalaGate::streak_phase(int in_time_ms, float in_rep_t)
{
    const double shifted = double(in_time_ms) + double(in_rep_t);
    const double phase = std::fmod(shifted, double(STREAK_PERIOD_MS)) / STREAK_PERIOD_MS;
    return float(phase < 0.0 ? phase + 1.0 : phase);
}

void cSceneMandalaGate::load()
{
    cMeshManager* meshes = cMeshManager::get_instance();
    m_wall = meshes->get("mandala_tunnel_bg.bzobj", true, false, false);
    m_streaks = meshes->get("mandala_tunnel_streak.bzobj", true, true, false);
    if (!m_quadric) {
        m_quadric = gluNewQuadric();
        gluQuadricOrientation(m_quadric, GLU_INSIDE);
    }
}

void cSceneMandalaGate::init()
{
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
}

bool cSceneMandalaGate::update()
{
    update_interpolators();
    return false;
}

void cSceneMandalaGate::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
}

tVarList cSceneMandalaGate::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    add_slider(vars, "rep_t", &m_rep_t, -1500.0f, 1.0f);
    return vars;
}

void cSceneMandalaGate::draw_gate_light(float in_seconds, float in_eye_z)
{
    // A white-gold light far down the tunnel with slow magenta rays around it.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    const float z = in_eye_z - 22.0f;
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(1.0f, 0.92f, 0.7f, 0.95f);
    glVertex3f(0, 0, z);
    glColor4f(1.0f, 0.3f, 0.8f, 0.0f);
    for (int i = 0; i <= 48; ++i) {
        const float a = 2.0f * PI * float(i) / 48.0f;
        glVertex3f(std::cos(a) * 6.0f, std::sin(a) * 6.0f, z);
    }
    glEnd();
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 16; ++i) {
        const float a = 2.0f * PI * float(i) / 16.0f + 0.15f * in_seconds;
        glColor4f(1.0f, 0.5f, 0.9f, 0.35f);
        glVertex3f(0, 0, z);
        glColor4f(1.0f, 0.2f, 0.7f, 0.0f);
        glVertex3f(std::cos(a - 0.05f) * 14.0f, std::sin(a - 0.05f) * 14.0f, z);
        glVertex3f(std::cos(a + 0.05f) * 14.0f, std::sin(a + 0.05f) * 14.0f, z);
    }
    glEnd();
    glPopAttrib();
}

void cSceneMandalaGate::draw_streaks(int in_time_ms, float in_eye_z)
{
    if (!m_streaks)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_FOG_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    // The streaks live inside the tunnel: nothing in front of its mouth (z > 0).
    const GLdouble inside[4] = {0, 0, -1, 0};
    glClipPlane(GL_CLIP_PLANE0, inside);
    glEnable(GL_CLIP_PLANE0);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    // Additive light fades into black, not into the haze.
    const GLfloat black[4] = {0, 0, 0, 1};
    glFogfv(GL_FOG_COLOR, black);
    // Three copies one segment apart, run towards the viewer: when the phase wraps, each
    // copy stands where its neighbour stood, so the run never jumps.
    const float shift = streak_phase(in_time_ms, m_rep_t) * SEGMENT;
    for (int copy = 0; copy < 3; ++copy) {
        for (int turn = 0; turn < 2; ++turn) {
            glPushMatrix();
            glTranslatef(0, 0, in_eye_z + 2.0f + shift - SEGMENT * float(copy));
            glRotatef(turn ? 97.0f : 0.0f, 0, 0, 1);
            if (turn)
                glColor4f(0.2f, 0.9f, 1.0f, 0.8f);
            else
                glColor4f(1.0f, 0.8f, 0.3f, 0.8f);
            m_streaks->draw();
            glPopMatrix();
        }
    }
    glPopAttrib();
}

cRTProxy cSceneMandalaGate::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(haze[0], haze[1], haze[2], haze[3]);

    begin_drawing();
    const float z = eye_z(m_cur_t);
    m_camera.eye =
        Vec3<float>(0.25f * std::sin(seconds * 0.4f), 0.2f * std::cos(seconds * 0.3f), z);
    m_camera.ctr = Vec3<float>(0, 0, z - 10.0f);
    m_camera.roll = 8.0 * std::sin(seconds * 0.25);
    m_camera.apply_camera();
    const GLfloat eye_pos[4] = {0, 0, 0, 1};
    const GLfloat white[4] = {1.0f, 0.95f, 1.0f, 1};
    glPushMatrix();
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, eye_pos);
    glPopMatrix();
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.06f);
    glEnable(GL_LIGHT0);

    draw_gate_light(seconds, z);
    if (m_wall) {
        // Segments from the one around the eye inwards, as far as the haze lets one see; each
        // turns slowly against the next.
        const int first = std::max(0, int(std::floor((-z - 1.0f) / SEGMENT)));
        for (int k = first; k < first + 3; ++k) {
            glPushMatrix();
            glTranslatef(0, 0, -SEGMENT * float(k));
            glRotatef((k % 2 ? -1.0f : 1.0f) * 9.0f * seconds, 0, 0, 1);
            m_wall->draw();
            glPopMatrix();
        }
    }
    if (m_quadric) {
        // A deep violet tube just behind the petals: the gaps between them show a wall, not
        // the void.
        const GLfloat violet[4] = {0.2f, 0.05f, 0.4f, 1};
        const GLfloat black[4] = {0, 0, 0, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, violet);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
        glPushMatrix();
        glRotatef(180.0f, 1, 0, 0); // the tube runs down -z from the mouth
        gluCylinder(m_quadric, 1.75, 1.75, 3.0 * SEGMENT, 48, 36);
        glPopMatrix();
    }
    draw_streaks(in_time_ms, z);
    end_drawing();
    out->unbind_as_target();
    return out;
}
