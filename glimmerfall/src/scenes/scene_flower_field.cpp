// The flower field (see scene_flower_field.h).
#include "scenes/scene_flower_field.h"

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

const char* const FLOWER_FILES[cSceneFlowerField::NUM_VARIANTS] = {
    "lightflower_alpha050.bzobj", "lightflower_alpha075.bzobj", "lightflower_alpha100.bzobj"};
// Each mesh's opacity (as its name says) and the height of its heart above the ground.
const float VARIANT_ALPHA[cSceneFlowerField::NUM_VARIANTS] = {0.5f, 0.75f, 1.0f};
const float VARIANT_HEART[cSceneFlowerField::NUM_VARIANTS] = {1.12f, 0.87f, 0.67f};

// Magenta, cyan, acid green, gold.
const float PALETTE[4][3] = {
    {1.0f, 0.12f, 0.78f}, {0.1f, 0.85f, 1.0f}, {0.62f, 1.0f, 0.12f}, {1.0f, 0.74f, 0.18f}};

constexpr float GOLDEN_ANGLE = 2.39996323f; // radians

float ease(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

// A repeatable value in 0..1 for an index: sizes and turns that look random but never change.
float hash01(int i)
{
    uint32_t h = uint32_t(i) * 2654435761u;
    h ^= h >> 16;
    h *= 2246822519u;
    h ^= h >> 13;
    return float(h & 0xFFFFu) / 65535.0f;
}

cSceneFlowerField::sFlower make_flower(int i, float x, float z, int colour)
{
    cSceneFlowerField::sFlower f;
    f.x = x;
    f.z = z;
    f.yaw = 360.0f * hash01(i * 3 + 1);
    f.scale = 0.8f + 0.4f * hash01(i * 3 + 2);
    f.variant = int(hash01(i * 3 + 3) * 2.999f);
    f.colour = colour & 3;
    return f;
}

} // namespace

cSceneFlowerField::cSceneFlowerField(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state = sDrawState().with_depth_test().with_depth_writes().with_culling().with_blending(
        GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 55.0f;
    m_camera.znear = 0.1f;
    m_camera.zfar = 60.0f;
}

std::vector<cSceneFlowerField::sFlower> cSceneFlowerField::layout(int in_config)
{
    std::vector<sFlower> field;
    switch (std::clamp(in_config, 0, NUM_CONFIGS - 1)) {
    case 0: // sunflower spiral, gold at the heart to magenta outside
        for (int i = 1; i <= 120; ++i) {
            const float r = 0.5f * std::sqrt(float(i)), a = float(i) * GOLDEN_ANGLE;
            field.push_back(make_flower(i, r * std::cos(a), r * std::sin(a), r < 2.8f ? 3 : 0));
        }
        break;
    case 1: // concentric rings, each in its own colour
        for (int ring = 1, i = 0; ring <= 6; ++ring) {
            const int count = 6 * ring;
            const float r = 0.85f * float(ring);
            for (int k = 0; k < count; ++k, ++i) {
                const float a = 2.0f * PI * (float(k) + 0.5f * float(ring % 2)) / float(count);
                field.push_back(make_flower(i, r * std::cos(a), r * std::sin(a), ring));
            }
        }
        break;
    case 2: // six spiral arms, acid green and cyan
        for (int arm = 0, i = 0; arm < 6; ++arm) {
            for (int k = 0; k < 18; ++k, ++i) {
                const float r = 0.6f + 0.29f * float(k);
                const float a = 2.0f * PI * float(arm) / 6.0f + 0.42f * float(k);
                field.push_back(make_flower(i, r * std::cos(a), r * std::sin(a), 1 + (arm % 2)));
            }
        }
        break;
    default: // spiral seeds coloured by six sectors
        for (int i = 1; i <= 130; ++i) {
            const float r = 0.48f * std::sqrt(float(i)), a = float(i) * GOLDEN_ANGLE;
            const int sector = int(std::fmod(a, 2.0f * PI) / (PI / 3.0f));
            const int colours[3] = {0, 1, 3}; // magenta, cyan, gold, twice around
            field.push_back(make_flower(i, r * std::cos(a), r * std::sin(a), colours[sector % 3]));
        }
        break;
    }
    return field;
}

void cSceneFlowerField::load()
{
    register_sinewave_shader();
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int v = 0; v < NUM_VARIANTS; ++v)
        m_meshes[v] = meshes->get(FLOWER_FILES[v], true, true, false);
    m_leaf = cTextureManager::get_instance()->get_texture("leaf.png", true, GL_CLAMP_TO_EDGE, 0);
}

void cSceneFlowerField::warm_up()
{
    cRTProxy picture = render_to_texture(demo_time());
}

void cSceneFlowerField::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, 4)) {
        const int t = demo_time();
        add_interpolator(new cEaseOut<float>(&m_clap, t, t + 300, 1.0f, 0.0f));
    }
}

bool cSceneFlowerField::update()
{
    update_interpolators();
    return false;
}

void cSceneFlowerField::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "sway", &m_sway, 0.0f, 1.0f);
    add_slider(in_gui, "wave_speed", &m_wave_speed, 0.0f, 10.0f);
    add_slider(in_gui, "glow", &m_glow, 0.0f, 3.0f);
    add_slider(in_gui, "clap", &m_clap, 0.0f, 1.0f);
}

tVarList cSceneFlowerField::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_config", &m_cur_config, 0.0f, 3.0f);
    add_slider(vars, "cur_t", &m_cur_t, 0.0f, 1.0f);
    add_slider(vars, "outtro_t", &m_outtro_t, 0.0f, 1.0f);
    return vars;
}

float cSceneFlowerField::sink() const
{
    return ease(m_outtro_t);
}

void cSceneFlowerField::place_camera(float in_seconds)
{
    // From among the stems (cur_t 0) up to high above the field (cur_t 1), circling slowly.
    const float e = ease(m_cur_t);
    const float orbit = in_seconds * 0.1f;
    const float distance = 6.8f + (0.9f - 6.8f) * e;
    const float height = 0.85f + (9.0f - 0.85f) * e;
    m_camera.eye = Vec3<float>(distance * std::cos(orbit), height, distance * std::sin(orbit));
    m_camera.ctr = Vec3<float>(0.0f, 0.45f * (1.0f - e), 0.0f);
    m_camera.up = Vec3<float>(0, 1, 0);
}

void cSceneFlowerField::heart_position(const sFlower& in_flower, float in_seconds,
                                       float out[3]) const
{
    const float h = VARIANT_HEART[in_flower.variant];
    const float strength = m_sway * (1.0f + 1.5f * m_clap);
    const float phase = in_seconds * m_wave_speed + 0.9f * in_flower.x + 0.7f * in_flower.z;
    const float local[3] = {strength * h * h * std::sin(phase), h,
                            strength * h * h * std::cos(1.3f * phase)};
    const float yaw = in_flower.yaw * PI / 180.0f;
    const float s = in_flower.scale * (1.0f - sink());
    out[0] = in_flower.x + s * (std::cos(yaw) * local[0] + std::sin(yaw) * local[2]);
    out[1] = s * local[1];
    out[2] = in_flower.z + s * (-std::sin(yaw) * local[0] + std::cos(yaw) * local[2]);
}

void cSceneFlowerField::draw_horizon(float in_alpha) const
{
    if (in_alpha <= 0.0f)
        return;
    // A glow along the horizon in screen space, strongest where the ground meets the sky.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUAD_STRIP);
    // Rows of the gradient: screen height (-1..1), colour, alpha.
    const float rows[4][5] = {{-1.0f, 0.02f, 0.0f, 0.06f, 0.0f},
                              {0.22f, 0.55f, 0.08f, 0.5f, 0.7f},
                              {0.45f, 0.14f, 0.03f, 0.32f, 0.35f},
                              {1.0f, 0.02f, 0.0f, 0.08f, 0.0f}};
    for (const auto& row : rows) {
        glColor4f(row[1], row[2], row[3], row[4] * in_alpha);
        glVertex2f(-1.0f, row[0]);
        glVertex2f(1.0f, row[0]);
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void cSceneFlowerField::draw_ground(float in_fade) const
{
    // A dark disc under the field and rings of light where the flowers stand.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.08f, 0.02f, 0.18f, 0.75f * in_fade);
    glVertex3f(0, -0.01f, 0);
    for (int i = 0; i <= 72; ++i) {
        const float a = 2.0f * PI * float(i) / 72.0f;
        glColor4f(0.02f, 0.0f, 0.06f, 0.0f);
        glVertex3f(7.5f * std::cos(a), -0.01f, 7.5f * std::sin(a));
    }
    glEnd();
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    for (int ring = 1; ring <= 7; ++ring) {
        const float r = 0.85f * float(ring) - 0.42f;
        const float* c = PALETTE[ring % 4];
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= 96; ++i) {
            const float a = 2.0f * PI * float(i) / 96.0f;
            glColor4f(c[0], c[1], c[2], 0.22f * in_fade * (1.0f + m_clap));
            glVertex3f((r - 0.025f) * std::cos(a), 0.0f, (r - 0.025f) * std::sin(a));
            glVertex3f((r + 0.025f) * std::cos(a), 0.0f, (r + 0.025f) * std::sin(a));
        }
        glEnd();
    }
    glPopAttrib();
}

void cSceneFlowerField::draw_flowers(float in_seconds)
{
    const float shrink = 1.0f - sink();
    if (shrink <= 0.0f)
        return;
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->bind("sinewave_shader");
    float phase = in_seconds * m_wave_speed;
    float strength = m_sway * (1.0f + 1.5f * m_clap);
    cVar<float> phase_var(&phase);
    cVar<float> strength_var(&strength);
    shaders->set_parameter("sinewave_shader", 1, &phase_var);
    shaders->set_parameter("sinewave_shader", 3, &strength_var);

    const GLfloat light_pos[4] = {0.3f, 1.0f, 0.45f, 0.0f};
    const GLfloat white[4] = {1, 1, 1, 1};
    const GLfloat ambient[4] = {0.3f, 0.25f, 0.35f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    // Back to front, so the see-through flowers lie over what stands behind them.
    std::vector<std::pair<float, const sFlower*>> order;
    order.reserve(m_field.size());
    for (const sFlower& f : m_field) {
        const float dx = f.x - m_camera.eye.x, dz = f.z - m_camera.eye.z;
        order.emplace_back(-(dx * dx + dz * dz), &f);
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    m_leaf.bind(GL_TEXTURE0);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    const float flare = 1.0f + 1.2f * m_clap;
    for (const auto& [depth, f] : order) {
        iMesh* mesh = m_meshes[f->variant];
        if (!mesh)
            continue;
        const float* c = PALETTE[f->colour];
        const float alpha = VARIANT_ALPHA[f->variant] * shrink;
        const GLfloat emission[4] = {c[0] * 0.4f * m_glow * flare, c[1] * 0.4f * m_glow * flare,
                                     c[2] * 0.4f * m_glow * flare, 1};
        const GLfloat amb[4] = {c[0] * 0.7f, c[1] * 0.7f, c[2] * 0.7f, 1};
        const GLfloat dif[4] = {0.15f + 0.85f * c[0], 0.15f + 0.85f * c[1], 0.15f + 0.85f * c[2],
                                alpha};
        const GLfloat specular[4] = {0.6f, 0.6f, 0.6f, 1};
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, amb);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, dif);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 30.0f);
        float offset[3] = {f->x, 0.0f, f->z};
        cFloatsVar offset_var(offset);
        shaders->set_parameter("sinewave_shader", 2, &offset_var);
        glPushMatrix();
        glTranslatef(f->x, 0.0f, f->z);
        glRotatef(f->yaw, 0, 1, 0);
        const float s = f->scale * shrink;
        glScalef(s, s, s);
        mesh->draw();
        glPopMatrix();
    }
    m_leaf.unbind();
    shaders->disable();
}

void cSceneFlowerField::draw_halos(float in_seconds) const
{
    // Soft discs of light at every heart, turned to face the viewer.
    const float fwd[3] = {m_camera.ctr.x - m_camera.eye.x, m_camera.ctr.y - m_camera.eye.y,
                          m_camera.ctr.z - m_camera.eye.z};
    float right[3] = {fwd[1] * 0.0f - fwd[2] * 1.0f, fwd[2] * 0.0f - fwd[0] * 0.0f,
                      fwd[0] * 1.0f - fwd[1] * 0.0f};
    float rl = std::sqrt(right[0] * right[0] + right[1] * right[1] + right[2] * right[2]);
    if (rl < 1e-6f) {
        right[0] = 1, right[1] = 0, right[2] = 0, rl = 1;
    }
    for (float& v : right)
        v /= rl;
    float up[3] = {right[1] * fwd[2] - right[2] * fwd[1], right[2] * fwd[0] - right[0] * fwd[2],
                   right[0] * fwd[1] - right[1] * fwd[0]};
    const float ul = std::sqrt(up[0] * up[0] + up[1] * up[1] + up[2] * up[2]);
    for (float& v : up)
        v /= ul;

    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    const float fade = 1.0f - sink();
    const float outro_flare = 1.0f + 2.0f * std::sin(PI * std::clamp(m_outtro_t, 0.0f, 1.0f));
    for (const sFlower& f : m_field) {
        float p[3];
        heart_position(f, in_seconds, p);
        const float* c = PALETTE[f.colour];
        const float radius = 0.22f * f.scale * (1.0f + 0.7f * m_clap) * outro_flare;
        const float a = std::min(1.0f, 0.55f * m_glow * (1.0f + m_clap)) * fade;
        glBegin(GL_TRIANGLE_FAN);
        glColor4f(0.6f + 0.4f * c[0], 0.6f + 0.4f * c[1], 0.6f + 0.4f * c[2], a);
        glVertex3fv(p);
        for (int i = 0; i <= 16; ++i) {
            const float ang = 2.0f * PI * float(i) / 16.0f;
            const float ca = std::cos(ang) * radius, sa = std::sin(ang) * radius;
            glColor4f(c[0], c[1], c[2], 0.0f);
            glVertex3f(p[0] + ca * right[0] + sa * up[0], p[1] + ca * right[1] + sa * up[1],
                       p[2] + ca * right[2] + sa * up[2]);
        }
        glEnd();
    }
    glPopAttrib();
}

cRTProxy cSceneFlowerField::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f;
    if (m_field_config != m_cur_config) {
        m_field = layout(m_cur_config);
        m_field_config = m_cur_config;
    }
    cRTProxy out = bind_full_target_cleared(0, 0, 0, 0);

    begin_drawing();
    place_camera(seconds);
    m_camera.apply_camera();
    const float fade = 1.0f - sink();
    draw_horizon((1.0f - ease(m_cur_t * 1.6f)) * fade);
    draw_ground(fade);
    if (m_leaf.isValid())
        draw_flowers(seconds);
    draw_halos(seconds);
    end_drawing();
    out->unbind_as_target();
    return out;
}
