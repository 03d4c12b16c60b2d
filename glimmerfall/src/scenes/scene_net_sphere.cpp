// The net spheres (see scene_net_sphere.h).
#include "scenes/scene_net_sphere.h"

#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "shader_manager_glsl.h"

namespace {

constexpr float PI = 3.14159265358979f;
const GLfloat backdrop[4] = {0.01f, 0.0f, 0.04f, 1.0f};

// Per net from the inside out: colour, radius, turn axis, degrees per second.
struct sNet
{
    float rgb[3];
    float radius;
    float axis[3];
    float speed;
};
const sNet nets[cSceneNetSphere::NETS] = {{{1.0f, 0.15f, 0.8f}, 1.05f, {0.2f, 1.0f, 0.3f}, 28.0f},
                                          {{0.1f, 0.85f, 1.0f}, 1.7f, {1.0f, -0.3f, 0.2f}, -18.0f},
                                          {{1.0f, 0.75f, 0.2f}, 2.5f, {0.1f, 0.3f, 1.0f}, 11.0f}};

} // namespace

cSceneNetSphere::cSceneNetSphere(const cClock* in_clock) : cScene(in_clock)
{
    // Depth fog into the backdrop: the far side of each net is dimmer.
    const GLfloat ambient[4] = {0.08f, 0.05f, 0.12f, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_normalize()
                       .with_lighting()
                       .with_colour_material()
                       .with_fog(5.0f, 11.0f, backdrop)
                       .with_ambient(ambient);
    m_camera.eye = Vec3<float>(0, -0.8f, 7.2f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 55.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 50.0f;
    m_glow.size = cRenderTargetManager::RTT_EIGHTH;
    m_glow.precut = 95.0f;
    m_glow.postcut = 200.0f;
}

cSceneNetSphere::~cSceneNetSphere()
{
    if (m_quadric)
        gluDeleteQuadric(m_quadric);
}

void cSceneNetSphere::load()
{
    m_net = cMeshManager::get_instance()->get("../data/models/netsphere.bzobj", true, true, false);
    if (!m_quadric)
        m_quadric = gluNewQuadric();
    // The glow works at an eighth of the screen: its three targets (picture, cut, blur) join
    // the pool while loading, not in the middle of the show.
    cRTProxy warm[3] = {get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size), get_tmp_rt(m_glow.size)};
}

bool cSceneNetSphere::update()
{
    update_interpolators();
    return false;
}

void cSceneNetSphere::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "spin", &m_spin, 0.0f, 4.0f);
    add_sliders(in_gui, sliders(m_glow));
}

void cSceneNetSphere::draw_core(float in_seconds)
{
    // A white-magenta core and a soft halo around it, both additive.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
    const float pulse = 0.5f + 0.5f * std::sin(in_seconds * 2.0f * PI * 0.6f);
    glColor4f(1.0f, 0.75f, 0.95f, 0.9f);
    if (m_quadric)
        gluSphere(m_quadric, 0.42 + 0.05 * pulse, 24, 16);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(m[12], m[13], m[14]);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(1.0f, 0.3f, 0.85f, 0.6f + 0.2f * pulse);
    glVertex3f(0, 0, 0);
    glColor4f(0.3f, 0.1f, 0.9f, 0.0f);
    for (int i = 0; i <= 48; ++i) {
        const float a = 2.0f * PI * float(i) / 48.0f;
        glVertex3f(std::cos(a) * 2.4f, std::sin(a) * 2.4f, 0);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

cRTProxy cSceneNetSphere::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy picture = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    begin_drawing();
    m_camera.apply_camera();
    const GLfloat key_pos[4] = {0.4f, 0.6f, 1.0f, 0};
    const GLfloat key[4] = {1.0f, 1.0f, 1.0f, 1};
    const GLfloat core_pos[4] = {0, 0, 0, 1};
    const GLfloat core[4] = {1.0f, 0.4f, 0.9f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, key_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
    glLightfv(GL_LIGHT0, GL_SPECULAR, key);
    glLightfv(GL_LIGHT1, GL_POSITION, core_pos);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, core);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.15f);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    const GLfloat shine[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, shine);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 70.0f);

    draw_core(seconds);
    if (m_net) {
        // One breath per bar of the song (120 beats a minute).
        const float breath = std::sin(seconds * 2.0f * PI * 120.0f / 60.0f / 4.0f);
        for (int i = 0; i < NETS; ++i) {
            const sNet& net = nets[i];
            const GLfloat emission[4] = {net.rgb[0] * 0.35f, net.rgb[1] * 0.35f, net.rgb[2] * 0.35f,
                                         1};
            glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
            glColor4f(net.rgb[0], net.rgb[1], net.rgb[2], 1);
            glPushMatrix();
            glRotatef(net.speed * m_spin * seconds, net.axis[0], net.axis[1], net.axis[2]);
            const float r = net.radius * (1.0f + 0.035f * breath * (i % 2 ? -1.0f : 1.0f));
            glScalef(r, r, r);
            m_net->draw();
            glPopMatrix();
        }
        const GLfloat black[4] = {0, 0, 0, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    }
    end_drawing();
    picture->unbind_as_target();

    glPushAttrib(GL_COLOR_BUFFER_BIT);
    cRTProxy out = finish_glow(std::move(picture), m_glow);
    glPopAttrib();
    return out;
}
