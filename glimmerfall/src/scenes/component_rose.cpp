// The rose component (see component_rose.h).
#include "scenes/component_rose.h"

#include <algorithm>
#include <cmath>

#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_plain.h"

namespace {

constexpr float PI = 3.14159265358979f;

// Petal numbers of the layers, innermost first: r = cos(k theta).
const float layer_k[cComponentRose::MAX_LAYERS] = {5.0f, 3.0f, 7.0f, 4.0f, 9.0f, 6.0f, 11.0f, 8.0f};

// The layer colours turn around the hue circle from the base colour: the channels rotate a
// step per layer (magenta -> gold -> cyan for the default), each step half blended with the
// next so neighbouring layers stay related.
Vec3<float> layer_colour(const Vec3<float>& base, int layer)
{
    const Vec3<float> turns[3] = {base, Vec3<float>(base.z, base.x, base.y),
                                  Vec3<float>(base.y, base.z, base.x)};
    const Vec3<float>& a = turns[layer % 3];
    const Vec3<float>& b = turns[(layer + 1) % 3];
    return a * 0.8f + b * 0.2f;
}

// The traced points as sprites, each a disc with a soft rim: what smoothed points look like,
// without a software rasteriser's slowest path for them.
const char* const POINT_SHADER = "soft_point_shader";

class cShdSoftPoint : public cShdPlain
{
public:
    cShdSoftPoint(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShdPlain(in_context, in_vprof, in_fprof, "soft_point_vert.glsl", "soft_point_frag.glsl",
                    {})
    {
    }
};

} // namespace

void cComponentRose::load()
{
    m_octahedra = cMeshManager::get_instance()->get("octahedra.bzobj", true, true, false);
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    if (!shaders->get_shader(POINT_SHADER))
        shaders->add_shader<cShdSoftPoint>(POINT_SHADER);
}

void cComponentRose::update(int in_time_ms)
{
    m_time = float(in_time_ms) / 1000.0f;
}

void cComponentRose::trace_layer(int in_layer, float in_phase, std::vector<float>& out_points)
{
    const int layer = std::clamp(in_layer, 0, MAX_LAYERS - 1);
    const float k = layer_k[layer];
    out_points.resize(size_t(POINTS_PER_LAYER) * 3);
    for (int i = 0; i < POINTS_PER_LAYER; ++i) {
        const float theta = 2.0f * PI * float(i) / float(POINTS_PER_LAYER);
        const float r = std::cos(k * theta + in_phase);
        float* p = &out_points[size_t(i) * 3];
        p[0] = r * std::cos(theta);
        p[1] = r * std::sin(theta);
        p[2] = 0.12f * std::sin(2.0f * k * theta + 3.0f * in_phase);
    }
}

void cComponentRose::draw()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->disable();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT |
                 GL_LIGHTING_BIT | GL_POINT_BIT | GL_LINE_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    // Additive colour; the alpha channel keeps the most opaque coverage.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // The faint curves are not smoothed: thin and added up as they are, they look the same, and
    // thousands of smoothed segments are a software rasteriser's slow path.
    glDisable(GL_LINE_SMOOTH);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(m_pos.x, m_pos.y, m_pos.z);
    const float swell = 1.0f + 0.18f * m_kick;
    glScalef(m_scale * swell, m_scale * swell, m_scale * swell);

    const int layers = std::clamp(m_it, 1, MAX_LAYERS);
    for (int layer = 0; layer < layers; ++layer) {
        const float radius = 0.3f + 0.7f * float(layer + 1) / float(layers);
        const float dir = layer % 2 ? -1.0f : 1.0f;
        const Vec3<float> colour = layer_colour(m_col, layer);
        glPushMatrix();
        glRotatef(dir * (12.0f * m_time + 20.0f * float(layer)), 0, 0, 1);
        glScalef(radius, radius, radius);

        // The curve as a faint line, the points running along it brighter.
        trace_layer(layer, 0.35f * dir * m_time, m_points);
        glDisable(GL_LIGHTING);
        // Every petal passes through the centre: the points fade there so the middle does
        // not burn out.
        m_colours.resize(size_t(POINTS_PER_LAYER) * 4);
        for (int i = 0; i < POINTS_PER_LAYER; ++i) {
            const float* p = &m_points[size_t(i) * 3];
            const float fade = std::min(1.0f, std::hypot(p[0], p[1]) * 2.2f);
            float* c = &m_colours[size_t(i) * 4];
            c[0] = colour.x;
            c[1] = colour.y;
            c[2] = colour.z;
            c[3] = fade * fade * 0.35f * m_pt_alpha;
        }
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, m_points.data());
        glColorPointer(4, GL_FLOAT, 0, m_colours.data());
        glLineWidth(1.5f);
        glDrawArrays(GL_LINE_LOOP, 0, POINTS_PER_LAYER);
        for (int i = 0; i < POINTS_PER_LAYER; ++i) {
            float* c = &m_colours[size_t(i) * 4];
            for (int k = 0; k < 3; ++k)
                c[k] = std::min(1.0f, c[k] + 0.3f);
            c[3] = std::min(1.0f, c[3] / 0.35f);
        }
        // Every third point: a dotted trail that flows as the phase moves.
        const int shift = int(m_time * 40.0f) % 3;
        draw_soft_points(shift, POINTS_PER_LAYER - shift,
                         std::max(0.5f, m_pt_size * (1.0f + 0.6f * m_kick)));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);

        // The ring of octahedra, lit from the viewer's side, spinning against the layer.
        if (m_octahedra && m_alpha > 0.0f) {
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            glEnable(GL_NORMALIZE);
            const GLfloat ambient[4] = {0.25f, 0.25f, 0.25f, 1};
            const GLfloat diffuse[4] = {1, 1, 1, 1};
            const GLfloat position[4] = {0.3f, 0.5f, 1.0f, 0};
            glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
            glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
            glLightfv(GL_LIGHT0, GL_POSITION, position);
            const GLfloat material[4] = {colour.x, colour.y, colour.z, m_alpha};
            const GLfloat emission[4] = {colour.x * 0.3f, colour.y * 0.3f, colour.z * 0.3f, 1};
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, material);
            glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
            glPushMatrix();
            glRotatef(-dir * 45.0f * m_time, 0, 0, 1);
            glScalef(0.92f, 0.92f, 0.92f);
            m_octahedra->draw();
            glPopMatrix();
        }
        glPopMatrix();
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    shaders->pop_shader();
}

void cComponentRose::draw_soft_points(int in_first, int in_count, float in_diameter)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    glPushAttrib(GL_ENABLE_BIT | GL_POINT_BIT);
    if (shaders->get_shader(POINT_SHADER)) {
        shaders->push_shader();
        shaders->bind(POINT_SHADER);
        glEnable(GL_POINT_SPRITE);
        glDisable(GL_POINT_SMOOTH);
        // A pixel wider than the disc, for its rim.
        glPointSize(in_diameter + 1.0f);
        glDrawArrays(GL_POINTS, in_first, in_count);
        shaders->pop_shader();
    } else {
        glEnable(GL_POINT_SMOOTH);
        glPointSize(in_diameter);
        glDrawArrays(GL_POINTS, in_first, in_count);
    }
    glPopAttrib();
}

void cComponentRose::get_vars(tVarList& io_vars)
{
    add_vec3_slider(io_vars, "rose_pos", &m_pos, -10.0f, 10.0f);
    add_slider(io_vars, "rose_scale", &m_scale, 0.0f, 10.0f);
    add_slider(io_vars, "rose_pt_size", &m_pt_size, 0.5f, 16.0f);
    add_slider(io_vars, "rose_alpha", &m_alpha, 0.0f, 1.0f);
    add_slider(io_vars, "rose_pt_alpha", &m_pt_alpha, 0.0f, 1.0f);
    add_vec3_slider(io_vars, "rose_col", &m_col, 0.0f, 1.0f);
    add_slider(io_vars, "rose_it", &m_it, 1.0f, float(MAX_LAYERS));
}
