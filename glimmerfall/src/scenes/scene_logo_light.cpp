// The logo light (see scene_logo_light.h).
#include "scenes/scene_logo_light.h"

#include <algorithm>
#include <cmath>

#include "effects/interpolator.h"
#include "effects/var.h"
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
const GLfloat backdrop[4] = {0.015f, 0.0f, 0.04f, 1.0f};

// A column-major rotation by `degrees` about a unit axis.
void rotation(float degrees, float x, float y, float z, float out[16])
{
    const float len = std::sqrt(x * x + y * y + z * z);
    x /= len, y /= len, z /= len;
    const float a = degrees * PI / 180.0f, c = std::cos(a), s = std::sin(a), t = 1.0f - c;
    const float m[16] = {t * x * x + c,
                         t * x * y + s * z,
                         t * x * z - s * y,
                         0,
                         t * x * y - s * z,
                         t * y * y + c,
                         t * y * z + s * x,
                         0,
                         t * x * z + s * y,
                         t * y * z - s * x,
                         t * z * z + c,
                         0,
                         0,
                         0,
                         0,
                         1};
    std::copy(m, m + 16, out);
}

} // namespace

cSceneLogoLight::cSceneLogoLight(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat ambient[4] = {0.25f, 0.2f, 0.3f, 1};
    m_draw_state = sDrawState()
                       .with_depth_test()
                       .with_depth_writes()
                       .with_culling()
                       .with_blending()
                       .with_lighting()
                       .with_ambient(ambient);
    m_camera.eye = Vec3<float>(0, 0.6f, 4.2f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 50.0f;
    m_camera.znear = 0.3f;
    m_camera.zfar = 30.0f;
}

float cSceneLogoLight::shell_extrusion(int in_shell, float in_phase, float in_max)
{
    const float p = in_phase + float(in_shell) / float(SHELLS);
    return (p - std::floor(p)) * in_max;
}

void cSceneLogoLight::load()
{
    m_logo = cMeshManager::get_instance()->get("logo_cubes.bzobj", true, true, false);
    m_bubble = cTextureManager::get_instance()->get_texture("sphere_soapbubble01.png", true,
                                                            GL_CLAMP_TO_EDGE, 0);
    if (!cShaderManager_GLSL::get_instance()->get_shader("normext_shader"))
        register_normext_shader();
}

void cSceneLogoLight::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, 4)) {
        const int t = demo_time();
        add_interpolator(new cEaseOut<float>(&m_kick, t, t + 400, 1.0f, 0.0f));
    }
}

bool cSceneLogoLight::update()
{
    update_interpolators();
    return false;
}

void cSceneLogoLight::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "cur_t", &m_cur_t, 0.0f, 1.0f);
    add_slider(in_gui, "max-ext", &m_max_ext, 0.0f, 3.0f);
}

void cSceneLogoLight::draw_logo(float in_extrude, float in_reach, const float (&in_inner)[16],
                                const float (&in_outer)[16], float in_alpha)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    float extrude = in_extrude, reach = std::max(in_reach, 0.001f);
    cVar<float> extrude_var(&extrude), reach_var(&reach);
    cFloatsVar inner_var(in_inner), outer_var(in_outer);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_EXTRUDE, &extrude_var);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_MAX_EXTRUDE, &reach_var);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_INNER_MAT, &inner_var);
    shaders->set_parameter("normext_shader", cShdNormExt::SP_OUTER_MAT, &outer_var);
    const GLfloat colour[4] = {1, 1, 1, in_alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, colour);
    shaders->bind("normext_shader");
    m_logo->draw();
}

cRTProxy cSceneLogoLight::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    cRTProxy out = bind_full_target_cleared(backdrop[0], backdrop[1], backdrop[2], backdrop[3]);

    begin_drawing();
    m_camera.apply_camera();
    const GLfloat key_pos[4] = {0.5f, 0.8f, 1.0f, 0};
    const GLfloat key[4] = {1.0f, 0.9f, 1.0f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, key_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
    glLightfv(GL_LIGHT0, GL_SPECULAR, key);
    const GLfloat specular[4] = {0.8f, 0.8f, 0.8f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
    if (m_logo) {
        float inner[16], outer[16];
        rotation(40.0f * seconds, 0.3f, 1.0f, 0.2f, inner);
        rotation(15.0f * std::sin(seconds * 0.7f), 0, 0, 1, outer);
        m_bubble.bind(GL_TEXTURE0);
        // The logo itself, opaque; then the shells, additive and without depth writes.
        draw_logo(0.0f, 1.0f, inner, outer, 1.0f);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
        const float reach = m_max_ext * (1.0f + 0.8f * m_kick);
        const float phase = 0.35f * seconds + m_cur_t;
        for (int i = 0; i < SHELLS; ++i)
            draw_logo(shell_extrusion(i, phase, reach), reach, inner, outer,
                      0.55f + 0.45f * m_kick);
        m_bubble.unbind();
        cShaderManager_GLSL::get_instance()->disable();
    }
    end_drawing();
    out->unbind_as_target();
    return out;
}
