// The space sphere (see scene_spacesphere.h).
#include "scenes/scene_spacesphere.h"

#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "render_target.h"
#include "shader_manager_glsl.h"
#include "texture_manager.h"

namespace {

constexpr float PI = 3.14159265358979f;

// A small fixed sequence for the star field (the same sky every run).
uint32_t next_random(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

} // namespace

cSceneSpacesphere::cSceneSpacesphere(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat no_ambient[4] = {0, 0, 0, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_ambient(no_ambient)
                       .with_blending()
                       .with_lighting();
    m_camera.eye = Vec3<float>(0, -7.5f, 1.4f);
    m_camera.ctr = Vec3<float>(0, 0, 0.2f);
    m_camera.up = Vec3<float>(0, 0, 1);
    m_camera.fov = 50.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 100.0f;
    uint32_t state = 2024;
    for (int i = 0; i < NUM_STARS; ++i) {
        // Uniform on a sphere of radius 60.
        const float z = float(next_random(state) % 20001) / 10000.0f - 1.0f;
        const float a = float(next_random(state) % 62832) / 10000.0f;
        const float r = std::sqrt(1.0f - z * z);
        m_stars.insert(m_stars.end(), {60.0f * r * std::cos(a), 60.0f * r * std::sin(a), 60.0f * z,
                                       0.3f + 0.7f * float(next_random(state) % 1000) / 1000.0f});
    }
}

cSceneSpacesphere::~cSceneSpacesphere()
{
    if (m_quadric)
        gluDeleteQuadric(m_quadric);
}

void cSceneSpacesphere::load()
{
    m_horizon =
        cTextureManager::get_instance()->get_texture("sphere_horizon.jpg", true, GL_REPEAT, 0);
    if (!m_quadric) {
        m_quadric = gluNewQuadric();
        gluQuadricTexture(m_quadric, GL_TRUE);
        gluQuadricNormals(m_quadric, GLU_SMOOTH);
    }
}

bool cSceneSpacesphere::update()
{
    update_interpolators();
    return false;
}

void cSceneSpacesphere::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "spin", &m_spin, -90.0f, 90.0f);
}

void cSceneSpacesphere::draw_stars(float in_seconds)
{
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(2.0f);
    glBegin(GL_POINTS);
    for (size_t i = 0; i + 3 < m_stars.size(); i += 4) {
        const float twinkle = 0.75f + 0.25f * std::sin(in_seconds * 3.0f + float(i));
        const float b = m_stars[i + 3] * twinkle;
        glColor4f(b * 0.85f, b * 0.85f, b, 1.0f);
        glVertex3f(m_stars[i], m_stars[i + 1], m_stars[i + 2]);
    }
    glEnd();
    glPopAttrib();
}

void cSceneSpacesphere::draw_halo(const float in_centre[3], float in_inner, float in_outer)
{
    // A ring facing the viewer around a point: cyan at the planet's rim, fading outwards.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float x = m[0] * in_centre[0] + m[4] * in_centre[1] + m[8] * in_centre[2] + m[12];
    const float y = m[1] * in_centre[0] + m[5] * in_centre[1] + m[9] * in_centre[2] + m[13];
    const float z = m[2] * in_centre[0] + m[6] * in_centre[1] + m[10] * in_centre[2] + m[14];
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, z);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= 96; ++i) {
        const float a = 2.0f * PI * float(i) / 96.0f;
        // Magenta above, cyan below, like the horizon ring.
        const float up = 0.5f + 0.5f * std::sin(a);
        glColor4f(0.3f + 0.6f * up, 0.55f - 0.35f * up, 1.0f, 0.55f);
        glVertex3f(std::cos(a) * in_inner, std::sin(a) * in_inner, 0);
        glColor4f(0.2f, 0.1f, 0.6f, 0.0f);
        glVertex3f(std::cos(a) * in_outer, std::sin(a) * in_outer, 0);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

cRTProxy cSceneSpacesphere::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(0.0f, 0.0f, 0.012f, 1.0f);

    begin_drawing();
    // The camera drifts slowly around the planet.
    const float drift = 0.12f * std::sin(seconds * 0.15f);
    m_camera.eye = Vec3<float>(7.5f * std::sin(drift), -7.5f * std::cos(drift),
                               1.4f + 0.4f * std::sin(seconds * 0.21f));
    m_camera.apply_camera();
    draw_stars(seconds);

    // Sunlight from the upper left: a terminator crosses the planet; the horizon ring glows
    // on the night side too (emission).
    const GLfloat sun_pos[4] = {-1.0f, -0.6f, 0.5f, 0};
    const GLfloat sun[4] = {1.0f, 0.95f, 0.9f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, sun_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, sun);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLfloat glow[4] = {0.45f, 0.4f, 0.5f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, glow);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    m_horizon.bind(GL_TEXTURE0);
    if (m_quadric) {
        glPushMatrix();
        glRotatef(18.0f, 1, 0, 0);
        glRotatef(m_spin * seconds, 0, 0, 1);
        gluSphere(m_quadric, 2.0, 72, 48);
        glPopMatrix();
        // The moon, on a tilted orbit.
        glPushMatrix();
        glRotatef(-12.0f, 1, 0, 0);
        glRotatef(20.0f * seconds + 40.0f, 0, 0, 1);
        glTranslatef(3.6f, 0, 0);
        glRotatef(-40.0f * seconds, 0, 0, 1);
        gluSphere(m_quadric, 0.32, 24, 16);
        glPopMatrix();
    }
    m_horizon.unbind();
    glDisable(GL_LIGHTING);

    const float centre[3] = {0, 0, 0};
    draw_halo(centre, 2.02f, 3.0f);

    end_drawing();
    out->unbind_as_target();
    return out;
}
