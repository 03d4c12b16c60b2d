// The title (see scene_title.h).
#include "scenes/scene_title.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

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
constexpr float LOGO_HALF_WIDTH = 3.25f; // 65 cells of 0.1
constexpr float LOGO_BOTTOM = -0.35f;
constexpr float MIRROR_Y = LOGO_BOTTOM - 0.04f;

float ease(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

float mixf(float a, float b, float t)
{
    return a + (b - a) * t;
}

} // namespace

cSceneTitle::cSceneTitle(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_depth_writes().with_blending(GL_SRC_ALPHA, GL_ONE, GL_ONE,
                                                                  GL_ONE_MINUS_SRC_ALPHA);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 40.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 60.0f;
}

void cSceneTitle::load()
{
    register_self_illum_shader();
    register_rgbatex_shader();
    register_srccol_shader();
    register_masked_shader();
    cMeshManager* meshes = cMeshManager::get_instance();
    m_bg = meshes->get("intro_bg.bzobj", true, false, false);
    m_logo = meshes->get("intro_logo.bzobj", true, true, false);
    m_logo_tex = cTextureManager::get_instance()->get_texture("intro_logo_atlas.png", true,
                                                              GL_CLAMP_TO_EDGE, 0);
}

bool cSceneTitle::update()
{
    update_interpolators();
    return false;
}

void cSceneTitle::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "ray_speed", &m_ray_speed, -30.0f, 30.0f);
    add_slider(in_gui, "reflection", &m_reflection, 0.0f, 1.0f);
    add_slider(in_gui, "rays", &m_rays, 0.0f, 2.0f);
}

tVarList cSceneTitle::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    return vars;
}

void cSceneTitle::warm_up()
{
    const float cur_t = m_cur_t;
    m_cur_t = 0.5f;
    cRTProxy picture = render_to_texture(demo_time());
    m_cur_t = cur_t;
}

float cSceneTitle::reveal(float in_cur_t)
{
    return ease((in_cur_t - 0.25f) / 0.4f);
}

float cSceneTitle::reveal_edge(float in_reveal)
{
    return -LOGO_HALF_WIDTH - 0.1f + (2.0f * LOGO_HALF_WIDTH + 0.2f) * in_reveal;
}

void cSceneTitle::place_camera(float in_seconds)
{
    // From low on the left, close to the first letters, round to the front; then a slow push.
    const float e = ease(m_cur_t / 0.7f);
    const float push = ease((m_cur_t - 0.7f) / 0.3f);
    m_camera.eye = Vec3<float>(mixf(-3.6f, 0.0f, e) + 0.15f * std::sin(in_seconds * 0.5f),
                               mixf(-0.2f, 0.35f, e), mixf(4.2f, 8.6f, e) - 1.0f * push);
    m_camera.ctr = Vec3<float>(mixf(-1.6f, 0.0f, e), -0.15f, 0.0f);
    m_camera.up = Vec3<float>(0, 1, 0);
}

int cSceneTitle::project_x(float in_x) const
{
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble wx = 0, wy = 0, wz = 0;
    if (gluProject(in_x, 0.0, 0.0, model, proj, view, &wx, &wy, &wz) != GL_TRUE)
        return view[0] + view[2];
    return int(std::clamp(wx, double(view[0]), double(view[0] + view[2])));
}

void cSceneTitle::draw_rays(float in_seconds) const
{
    if (!m_bg)
        return;
    const float presence = ease(m_cur_t / 0.25f) * m_rays;
    const float bloom = 0.55f + 0.45f * ease((m_cur_t - 0.6f) / 0.3f);
    cShaderManager_GLSL::get_instance()->bind("srccol_shader");
    // Two suns turning against each other: magenta and, smaller, cyan.
    const float tints[2][3] = {{1.0f, 0.2f, 0.8f}, {0.2f, 0.8f, 1.0f}};
    for (int i = 0; i < 2; ++i) {
        glColor4f(tints[i][0], tints[i][1], tints[i][2], presence * bloom * (i ? 0.8f : 1.0f));
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -1.5f - 0.3f * float(i));
        glRotatef((i ? -1.0f : 1.0f) * in_seconds * m_ray_speed + m_cur_t * 40.0f, 0, 0, 1);
        const float s = (i ? 0.8f : 1.05f) * (0.85f + 0.15f * presence);
        glScalef(s, s, 1.0f);
        m_bg->draw();
        glPopMatrix();
    }
}

void cSceneTitle::draw_halo(float in_seconds) const
{
    // A soft light behind the name: a wide ellipse, magenta at the left end, cyan at the right,
    // growing as the name comes out and breathing slowly.
    const float shown = reveal(m_cur_t);
    const float strength = (0.25f + 0.35f * shown + 0.25f * ease((m_cur_t - 0.7f) / 0.3f)) *
                           (0.9f + 0.1f * std::sin(in_seconds * 2.1f)) * ease(m_cur_t / 0.2f);
    constexpr int STEPS = 48;
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.9f, 0.5f, 0.9f, 0.9f * strength * m_rays);
    glVertex3f(0.0f, 0.0f, -0.6f);
    for (int i = 0; i <= STEPS; ++i) {
        const float a = 2.0f * PI * float(i) / float(STEPS);
        const float x = std::cos(a), y = std::sin(a);
        const float right = 0.5f + 0.5f * x;
        glColor4f(1.0f - 0.9f * right, 0.15f + 0.7f * right, 0.8f + 0.2f * right, 0.0f);
        glVertex3f(4.6f * x, 1.5f * y, -0.6f);
    }
    glEnd();
}

void cSceneTitle::draw_logo(float in_seconds, float in_light, bool in_mirrored)
{
    const float glint = 0.08f + 0.1f * ease((m_cur_t - 0.65f) / 0.2f);
    const GLfloat ambient[4] = {0.45f * in_light, 0.42f * in_light, 0.5f * in_light,
                                in_mirrored ? 0.35f : 1.0f};
    const GLfloat diffuse[4] = {0.9f * in_light, 0.9f * in_light, 0.9f * in_light,
                                in_mirrored ? 0.35f : 1.0f};
    const GLfloat specular[4] = {in_light, in_light, in_light, 1};
    const GLfloat emission[4] = {glint * in_light, glint * in_light, glint * in_light, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 60.0f);
    cShaderManager_GLSL::get_instance()->bind("rgbatex_shader");
    glPushMatrix();
    if (in_mirrored) {
        glTranslatef(0.0f, 2.0f * MIRROR_Y, 0.0f);
        glScalef(1.0f, -1.0f, 1.0f);
        glFrontFace(GL_CW);
    }
    m_logo->draw();
    glFrontFace(GL_CCW);
    glPopMatrix();
}

void cSceneTitle::draw_scan_line(float in_edge) const
{
    // The etching line: a bright bar across the letters and a thin horizontal flare.
    glBegin(GL_QUADS);
    for (int side : {-1, 1}) {
        const float outer = in_edge + 0.07f * float(side);
        glColor4f(0.7f, 0.95f, 1.0f, 1.0f);
        glVertex3f(in_edge, -0.75f, 0.2f);
        glVertex3f(in_edge, 0.75f, 0.2f);
        glColor4f(0.2f, 0.5f, 1.0f, 0.0f);
        glVertex3f(outer, 0.75f, 0.2f);
        glVertex3f(outer, -0.75f, 0.2f);
        const float far = in_edge + 2.2f * float(side);
        glColor4f(1.0f, 0.85f, 1.0f, 0.9f);
        glVertex3f(in_edge, -0.012f, 0.22f);
        glVertex3f(in_edge, 0.012f, 0.22f);
        glColor4f(1.0f, 0.3f, 0.9f, 0.0f);
        glVertex3f(far, 0.004f, 0.22f);
        glVertex3f(far, -0.004f, 0.22f);
    }
    glEnd();
}

cRTProxy cSceneTitle::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(0, 0, 0, 0);

    begin_drawing();
    place_camera(seconds);
    m_camera.apply_camera();
    draw_rays(seconds);
    cShaderManager_GLSL::get_instance()->disable();
    draw_halo(seconds);

    const float shown = reveal(m_cur_t);
    const float edge = reveal_edge(shown);
    if (m_logo && m_logo_tex.isValid() && shown > 0.0f) {
        const int edge_px = project_x(edge);
        GLint view[4];
        glGetIntegerv(GL_VIEWPORT, view);
        // Lit letters behind the moving edge only.
        const float sweep = 6.0f * std::sin(seconds * 0.6f);
        const GLfloat light_pos[4] = {sweep, 2.5f, 4.0f, 1.0f};
        const GLfloat white[4] = {1, 1, 1, 1};
        const GLfloat ambient[4] = {0.5f, 0.45f, 0.55f, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

        glEnable(GL_SCISSOR_TEST);
        glScissor(view[0], view[1], std::max(0, edge_px - view[0]), view[3]);
        m_logo_tex.bind(GL_TEXTURE0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        draw_logo(seconds, m_reflection, true);
        glDisable(GL_BLEND);
        draw_logo(seconds, 1.0f, false);
        glEnable(GL_BLEND);

        // The letters glow white-hot just behind the etching line.
        if (shown < 1.0f) {
            const int band = std::max(1, view[2] / 24);
            glScissor(std::max(view[0], edge_px - band), view[1], std::min(band, edge_px - view[0]),
                      view[3]);
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
            const GLfloat hot[4] = {0.9f, 0.9f, 0.9f, 1.0f};
            glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, hot);
            cShaderManager_GLSL::get_instance()->bind("self_illum_shader");
            m_logo->draw();
        }
        m_logo_tex.unbind();
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        cShaderManager_GLSL::get_instance()->disable();

        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        if (shown < 1.0f)
            draw_scan_line(edge);
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
