// The mandala (see scene_mandala.h).
#include "scenes/scene_mandala.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "postprocessing/color_correction.h"
#include "render_target.h"
#include "shader_glsl.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "texture_manager.h"

namespace {

constexpr float PI = 3.14159265358979f;

const char* const PLANE_FILES[cSceneMandala::NUM_PLANES] = {
    "mandala_plane01.bzobj", "mandala_plane02.bzobj", "mandala_plane03.bzobj",
    "mandala_plane04.bzobj"};

const char* const LOOKUP_FILES[cSceneMandala::NUM_CONFIGS - 1] = {
    "Mandala_slices_color_correction_bluegreen.png",
    "Mandala_slices_color_correction_greenblue.png",
    "Mandala_slices_color_correction_redyellow.png"};

constexpr const char* GRADE_SHADER = cSceneMandala::GRADE_SHADER;

// The colour correction and the hue-saturation-brightness adjustment in one pass (the
// correction's lookup on unit 1), the soft light of the backdrop and the rays added first from
// a smaller picture on unit 2 (see cSceneMandala::GRADE_SHADER for the parameters).
class cShdMandalaGrade : public cShader_GLSL
{
public:
    enum
    {
        ADJUST = cSceneMandala::GRADE_ADJUST,
        LIGHT_SCALE = cSceneMandala::GRADE_LIGHT_SCALE
    };
    cShdMandalaGrade(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        set_samplers({{"source", 0}, {"lookup", 1}, {"light", 2}});
        load_from_files("tex0_vert.glsl", "mandala_grade_frag.glsl");
    }

    void init_parameters() override
    {
        m_adjust = get_named_parameter("adjust");
        m_light_scale = get_named_parameter("light_scale");
    }
    void set_parameter(int in_parm_name, iVar* in_var) override
    {
        if (in_parm_name == LIGHT_SCALE) {
            if (const float* v = floats_parameter(in_var, 1, "mandala_grade_shader LIGHT_SCALE"))
                m_scale = v[0];
            return;
        }
        if (in_parm_name != ADJUST) {
            report_unknown_parameter(GRADE_SHADER, in_parm_name);
            return;
        }
        const float* v = floats_parameter(in_var, 3, "mandala_grade_shader parameter ADJUST");
        if (!v)
            return;
        // Degrees to inverted radians, percentages to a factor and an offset.
        m_values[0] = v[0] / -180.0f * PI;
        m_values[1] = v[1] / 100.0f + 1.0f;
        m_values[2] = v[2] / 100.0f;
    }
    void update_parameters() override
    {
        glUniform3f(m_adjust, m_values[0], m_values[1], m_values[2]);
        glUniform1f(m_light_scale, m_scale);
    }
    void disable_parameters() override {}

private:
    int m_adjust = -1;
    int m_light_scale = -1;
    float m_values[3] = {0, 1, 0};
    float m_scale = 0.5f;
};

// Magenta, cyan, acid green, gold.
const float PALETTE[4][3] = {
    {1.0f, 0.12f, 0.78f}, {0.1f, 0.85f, 1.0f}, {0.62f, 1.0f, 0.12f}, {1.0f, 0.74f, 0.18f}};

// The palette read smoothly, one colour per unit of `at`.
void palette(float at, float out[3])
{
    const float wrapped = at - 4.0f * std::floor(at / 4.0f);
    const int a = int(wrapped) % 4, b = (a + 1) % 4;
    const float f = wrapped - std::floor(wrapped);
    const float s = f * f * (3.0f - 2.0f * f);
    for (int c = 0; c < 3; ++c)
        out[c] = PALETTE[a][c] * (1.0f - s) + PALETTE[b][c] * s;
}

float smoothstep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

cSceneMandala::cSceneMandala(const cClock* in_clock) : cScene(in_clock)
{
    // Flat layers of light: no depth, no culling, everything adds up. Colour adds; alpha
    // gathers the coverage, so the layer below shows where nothing is.
    m_draw_state = sDrawState().with_blending(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    m_camera.eye = Vec3<float>(0, 0, 5.6f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 45.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 50.0f;
    m_hsb.saturation = 12.0f;
    // A soft glow: an eighth of the picture blurred once spreads as a quarter blurred three
    // times does, for a fraction of the work.
    m_glow.size = cRenderTargetManager::RTT_EIGHTH;
    m_glow.blurs = 1;
    m_glow.precut = 110.0f;
    m_glow.postcut = 200.0f;
}

cSceneMandala::~cSceneMandala() = default;

void cSceneMandala::load()
{
    register_rgba_shader();
    register_srccol_shader();
    register_srccoladd_shader();
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int k = 0; k < NUM_PLANES; ++k)
        m_planes[k] = meshes->get(PLANE_FILES[k], true, true, false);
    m_circle = meshes->get("mandala_circle_wide.bzobj", true, true, false);
    cTextureManager* textures = cTextureManager::get_instance();
    m_slices = textures->get_texture("Mandala_slices.png", true, GL_CLAMP_TO_EDGE, 0);
    m_string = textures->get_texture("mandala_string.jpg", true, GL_REPEAT, 0);
    cShaderManager_GLSL::get_instance()->add_shader<cShdMandalaGrade>(GRADE_SHADER);
    // The composition loads a scene once per layer: the lookups are made once.
    for (int i = 0; i < NUM_CONFIGS - 1; ++i) {
        if (!m_corrections[i])
            m_corrections[i] = std::make_unique<cPostColorCorrection>(LOOKUP_FILES[i]);
    }
}

bool cSceneMandala::update()
{
    update_interpolators();
    return false;
}

void cSceneMandala::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "spin", &m_spin, -4.0f, 4.0f);
    add_sliders(in_gui, sliders(m_hsb));
    add_sliders(in_gui, sliders(m_glow));
}

tVarList cSceneMandala::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_config", &m_cur_config, 0.0f, 3.0f);
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    add_slider(vars, "render_circles", &m_render_circles, 0.0f, 1.0f);
    return vars;
}

cPostColorCorrection* cSceneMandala::correction_for(int in_config) const
{
    if (in_config < 1 || in_config >= NUM_CONFIGS)
        return nullptr;
    return m_corrections[in_config - 1].get();
}

float cSceneMandala::plane_reveal(int in_plane, float in_cur_t)
{
    const float start = 0.1f * float(in_plane);
    return smoothstep(start, start + 0.3f, in_cur_t);
}

void cSceneMandala::draw_backdrop(float in_alpha) const
{
    // A deep indigo well behind the mandala, fading out towards the edges.
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.1f, 0.03f, 0.22f, 0.9f * in_alpha);
    glVertex3f(0, 0, -0.6f);
    for (int i = 0; i <= 64; ++i) {
        const float a = 2.0f * PI * float(i) / 64.0f;
        glColor4f(0.02f, 0.0f, 0.06f, 0.0f);
        glVertex3f(2.4f * std::cos(a), 2.4f * std::sin(a), -0.6f);
    }
    glEnd();
}

void cSceneMandala::draw_rays(float in_seconds) const
{
    // Light breaking out from behind the mandala as it opens: soft rays in the palette's
    // colours, two fans turning against each other, each ray swelling and fading on its own.
    const float strength = smoothstep(0.4f, 0.95f, m_cur_t);
    if (strength <= 0.0f)
        return;
    constexpr int RAYS = 24;
    glBegin(GL_TRIANGLES);
    for (int fan = 0; fan < 2; ++fan) {
        const float turn = (fan ? -7.0f : 11.0f) * in_seconds * PI / 180.0f;
        for (int i = 0; i < RAYS; ++i) {
            const float a = turn + 2.0f * PI * (float(i) + 0.5f * float(fan)) / RAYS;
            const float swell = 0.5f + 0.5f * std::sin(in_seconds * (0.9f + 0.13f * float(i % 5)) +
                                                       float(i) * 2.4f + float(fan));
            const float reach = 3.2f + 1.6f * swell, half = (0.035f + 0.03f * swell) * PI;
            float tint[3];
            palette(float(i) * 0.5f + in_seconds * 0.1f + 2.0f * float(fan), tint);
            glColor4f(tint[0], tint[1], tint[2], strength * (0.10f + 0.16f * swell));
            glVertex3f(0, 0, -0.8f);
            glColor4f(tint[0], tint[1], tint[2], 0.0f);
            glVertex3f(reach * std::cos(a - half), reach * std::sin(a - half), -0.8f);
            glVertex3f(reach * std::cos(a + half), reach * std::sin(a + half), -0.8f);
        }
    }
    glEnd();
}

void cSceneMandala::draw_heart(float in_seconds)
{
    // The innermost plane is lit: a light circling above it makes the slices shimmer.
    const float reveal = plane_reveal(0, m_cur_t);
    if (reveal <= 0.0f || !m_planes[0])
        return;
    const float a = in_seconds * 1.3f;
    const GLfloat light_pos[4] = {1.4f * std::cos(a), 1.4f * std::sin(a), 1.2f, 1.0f};
    const GLfloat light_col[4] = {1.0f, 0.95f, 0.9f, 1.0f};
    const GLfloat ambient[4] = {0.35f, 0.3f, 0.4f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_col);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light_col);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    float tint[3];
    palette(in_seconds * 0.2f + 3.0f, tint);
    const GLfloat diffuse[4] = {0.6f + 0.4f * tint[0], 0.6f + 0.4f * tint[1], 0.6f + 0.4f * tint[2],
                                reveal};
    const GLfloat specular[4] = {1, 1, 1, 1};
    const GLfloat none[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 24.0f);

    cShaderManager_GLSL::get_instance()->bind("rgba_shader");
    glPushMatrix();
    glRotatef(in_seconds * 20.0f * m_spin + m_cur_t * 90.0f, 0, 0, 1);
    const float s = 0.6f + 0.4f * reveal;
    glScalef(s, s, 1.0f);
    m_planes[0]->draw();
    glPopMatrix();
}

void cSceneMandala::draw_rings(float in_seconds)
{
    cShaderManager_GLSL::get_instance()->bind("srccol_shader");
    // Late in the unfolding the inner rings get an echo: a larger copy turning the other way in
    // another colour, whose slices cross the ring's own.
    const float echo = smoothstep(0.5f, 0.9f, m_cur_t);
    for (int k = 1; k < NUM_PLANES; ++k) {
        const float reveal = plane_reveal(k, m_cur_t);
        if (reveal <= 0.0f || !m_planes[k])
            continue;
        const float direction = (k % 2) ? -1.0f : 1.0f;
        // The rings turn faster as the mandala opens.
        const float turn =
            (in_seconds * (10.0f + 5.0f * float(k)) + m_cur_t * m_cur_t * 140.0f) * m_spin;
        for (int copy = 0; copy < 2; ++copy) {
            // The outermost ring has no echo: it would cover the whole screen once more.
            const float alpha = copy ? (k < NUM_PLANES - 1 ? 0.5f * echo * reveal : 0.0f) : reveal;
            if (alpha <= 0.0f)
                continue;
            float tint[3];
            palette(in_seconds * 0.15f + float(k) * 0.9f + float(m_cur_config) * 0.5f +
                        2.0f * float(copy),
                    tint);
            // Half towards white so the slices keep their own colours under the tint.
            glColor4f(0.5f + 0.5f * tint[0], 0.5f + 0.5f * tint[1], 0.5f + 0.5f * tint[2], alpha);
            glPushMatrix();
            // The rings stand apart in depth, so that they slide over each other as the
            // mandala tilts.
            glTranslatef(0, 0, -0.3f * float(k) - 0.08f * float(copy));
            const float d = copy ? -direction * 0.6f : direction;
            glRotatef(d * (turn + m_cur_t * 60.0f * float(k)), 0, 0, 1);
            // Each ring opens out of the one inside it.
            const float s = (0.7f + 0.3f * reveal) * (copy ? 1.08f : 1.0f);
            glScalef(s, s, 1.0f);
            m_planes[k]->draw();
            glPopMatrix();
        }
    }
}

void cSceneMandala::draw_circles(float in_seconds)
{
    const float reveal = smoothstep(0.45f, 0.8f, m_cur_t);
    if (!m_render_circles || reveal <= 0.0f || !m_circle)
        return;
    cShaderManager_GLSL::get_instance()->bind("srccoladd_shader");
    m_string.bind(GL_TEXTURE0);
    const float scales[3] = {0.2f, 0.395f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        float tint[3];
        palette(in_seconds * 0.25f + float(i) * 1.3f, tint);
        glColor4f(0.2f * tint[0], 0.2f * tint[1], 0.2f * tint[2], reveal);
        glPushMatrix();
        glTranslatef(0, 0, 0.05f);
        glRotatef((i % 2 ? 1.0f : -1.0f) * in_seconds * 8.0f * m_spin, 0, 0, 1);
        glScalef(scales[i], scales[i], 1.0f);
        m_circle->draw();
        glPopMatrix();
    }
    m_string.unbind();
}

void cSceneMandala::grade(cRTProxy& io_picture, cRTProxy in_light)
{
    cRTProxy adjusted = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    if (cPostColorCorrection* correction = correction_for(m_cur_config)) {
        assert(in_light.isValid() && "a lookup grades the light drawn apart in");
        // The light, the correction, then the adjustment: one pass.
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        const float values[3] = {m_hsb.hue, m_hsb.saturation, m_hsb.brightness};
        cFloatsVar adjust(values);
        shaders->set_parameter(GRADE_SHADER, cShdMandalaGrade::ADJUST, &adjust);
        const float scale[1] = {float(in_light->m_width) / float(io_picture->m_width)};
        cFloatsVar light_scale(scale);
        shaders->set_parameter(GRADE_SHADER, cShdMandalaGrade::LIGHT_SCALE, &light_scale);
        in_light->bind_as_texture(GL_TEXTURE2);
        correction->process(*io_picture, *adjusted, GRADE_SHADER);
        in_light->unbind_as_texture();
    } else {
        cPostHSB::get_instance()->process(*io_picture, *adjusted, m_hsb);
    }
    io_picture = finish_glow(std::move(adjusted), m_glow);
}

void cSceneMandala::apply_drifting_camera(float in_seconds)
{
    // The eye drifts on a small loop so that the layers slide over each other.
    const sCamera resting = m_camera;
    m_camera.eye.x += 0.5f * std::sin(in_seconds * 0.31f);
    m_camera.eye.y += 0.35f * std::cos(in_seconds * 0.23f);
    m_camera.apply_camera();
    m_camera = resting;
}

cRTProxy cSceneMandala::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    // The backdrop and the rays are soft light with no detail to lose at half size. Where a
    // lookup grades the picture they are drawn there and added as it is graded, which gives
    // what drawing them first would (their colours add, their coverages gather, in any order)
    // for a quarter of the pixels.
    const bool light_apart = correction_for(m_cur_config) != nullptr;
    cRTProxy light;
    if (light_apart) {
        light = bind_target_cleared(cRenderTargetManager::RTT_HALF, 0, 0, 0, 0);
        begin_drawing();
        apply_drifting_camera(seconds);
        draw_backdrop(smoothstep(0.0f, 0.3f, m_cur_t));
        draw_rays(seconds);
        end_drawing();
        light->unbind_as_target();
    }

    cRTProxy out = bind_full_target_cleared(0, 0, 0, 0);
    begin_drawing();
    apply_drifting_camera(seconds);
    if (!light_apart) {
        draw_backdrop(smoothstep(0.0f, 0.3f, m_cur_t));
        draw_rays(seconds);
    }
    // The whole mandala sways in depth and comes closer as it opens, breathing slowly.
    glRotatef(16.0f * std::sin(seconds * 0.53f), 1, 0, 0);
    glRotatef(13.0f * std::sin(seconds * 0.41f + 1.0f), 0, 1, 0);
    const float near = (0.9f + 0.22f * m_cur_t) * (1.0f + 0.04f * std::sin(seconds * 1.7f));
    glScalef(near, near, near);
    if (m_slices.isValid()) {
        m_slices.bind(GL_TEXTURE0);
        draw_rings(seconds);
        draw_heart(seconds);
        m_slices.unbind();
    }
    if (m_string.isValid())
        draw_circles(seconds);
    end_drawing();
    out->unbind_as_target();
    grade(out, std::move(light));
    return out;
}
