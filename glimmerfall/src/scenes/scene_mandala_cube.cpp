// The mandala cube (see scene_mandala_cube.h).
#include "scenes/scene_mandala_cube.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "effects/var.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_morph.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "resource_path.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"

namespace {

constexpr float PI = 3.14159265358979f;
const char* const FOLDER = "../data/models/mandala_cube/";
const char* const TEXTURE_FOLDER = "../data/models/mandala_cube/tex_gray";

std::string layer_file(int in_layer, const char* in_state)
{
    char name[64];
    std::snprintf(name, sizeof(name), "layer%02d_%s.bzobj", in_layer + 2, in_state);
    return std::string(FOLDER) + name;
}

float ease(float x)
{
    return x * x * (3.0f - 2.0f * x);
}

// The material textures are found by their bare names: their folder joins the search paths
// once, however often the scene is loaded.
void add_texture_folder()
{
    cResourcePath* paths = cResourcePath::get_instance();
    const std::string probe = paths->get_fullpath("petal_gray.png");
    if (probe.empty())
        paths->push_searchpath(TEXTURE_FOLDER);
}

} // namespace

cSceneMandalaCube::cSceneMandalaCube(const cClock* in_clock) : cScene(in_clock)
{
    m_draw_state =
        sDrawState().with_depth_test().with_depth_writes().with_culling().with_lighting();
    m_camera.eye = Vec3<float>(0, 0.5f, 4.8f);
    m_camera.ctr = Vec3<float>(0, 0, 0);
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 50.0f;
    m_camera.znear = 0.5f;
    m_camera.zfar = 40.0f;
}

cSceneMandalaCube::~cSceneMandalaCube() = default;

void cSceneMandalaCube::load()
{
    add_texture_folder();
    register_morph_shader();
    register_dtex_shader();
    cMeshManager* meshes = cMeshManager::get_instance();
    m_faces = meshes->get(std::string(FOLDER) + "layer01_cubeface.bzobj", true, false, false);
    for (int i = 0; i < NUM_LAYERS; ++i) {
        if (m_layers[i])
            continue;
        m_layers[i] = std::make_unique<cMeshMorph>();
        m_layers[i]->load(layer_file(i, "in"), layer_file(i, "out"), true, false);
        m_layers[i]->shader_inited = true;
    }
}

void cSceneMandalaCube::init()
{
    glEnable(GL_LIGHT0);
}

bool cSceneMandalaCube::update()
{
    update_interpolators();
    return false;
}

void cSceneMandalaCube::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_slider(in_gui, "speed", &m_speed, 0.0f, 4.0f);
    add_slider(in_gui, "light", &m_light, 0.0f, 2.0f);
}

tVarList cSceneMandalaCube::get_vars()
{
    tVarList vars;
    add_slider(vars, "cur_config", &m_cur_config, 0.0f, 3.0f);
    return vars;
}

float cSceneMandalaCube::layer_weight(int in_config, int in_layer, float in_seconds)
{
    const float wave = 1.6f * in_seconds;
    switch (in_config) {
    case 1:
        // Rings open one after the other from the middle outwards, and fold back.
        return ease(0.5f + 0.5f * std::sin(wave - 0.55f * float(in_layer)));
    case 2:
        // Neighbouring rings in turn.
        return ease(0.5f + 0.5f * std::sin(wave + PI * float(in_layer % 2)));
    case 3:
        return 0.82f + 0.18f * std::sin(wave + 0.3f * float(in_layer));
    default:
        return 0.0f;
    }
}

void cSceneMandalaCube::draw_layer(int in_layer, float in_weight)
{
    if (in_layer < 0 || in_layer >= NUM_LAYERS || !m_layers[in_layer])
        return;
    float weight = std::clamp(in_weight, 0.0f, 1.0f);
    cVar<float> weight_var(&weight);
    cShaderManager_GLSL::get_instance()->set_parameter("morph_shader", cShdMorphDtex::SP_INTERP,
                                                       &weight_var);
    m_layers[in_layer]->draw();
}

cRTProxy cSceneMandalaCube::render_to_texture(int in_time_ms)
{
    const float seconds = float(in_time_ms) / 1000.0f * m_speed;
    cRTProxy out = bind_full_target_cleared(0, 0, 0, 0);

    begin_drawing();
    m_camera.apply_camera();

    // A soft indigo glow behind the cube, unlit and without depth.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(0.22f, 0.05f, 0.38f, 0.9f);
    glVertex3f(0, 0, -4);
    for (int i = 0; i <= 48; ++i) {
        const float a = 2.0f * PI * float(i) / 48.0f;
        glColor4f(0.0f, 0.0f, 0.05f, 0.0f);
        glVertex3f(7.0f * std::cos(a), 7.0f * std::sin(a), -4);
    }
    glEnd();
    glPopAttrib();

    // A warm key light from the upper left, a cool rim from behind, coloured ambient.
    const GLfloat key_pos[4] = {-3.0f, 4.0f, 5.0f, 1.0f};
    const GLfloat key_col[4] = {0.75f * m_light, 0.7f * m_light, 0.68f * m_light, 1.0f};
    const GLfloat ambient[4] = {1.0f, 0.95f, 1.05f, 1.0f};
    const GLfloat no_ambient[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, key_pos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key_col);
    glLightfv(GL_LIGHT0, GL_SPECULAR, key_col);
    glLightfv(GL_LIGHT0, GL_AMBIENT, no_ambient);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    glRotatef(18.0f * std::sin(seconds * 0.4f), 1, 0, 0);
    glRotatef(seconds * 17.0f, 0.3f, 1.0f, 0.15f);
    glRotatef(seconds * 7.0f, 1.0f, 0.0f, 0.0f);

    if (m_faces) {
        cShaderManager_GLSL::get_instance()->bind("dtex_shader");
        m_faces->draw();
    }
    for (int i = 0; i < NUM_LAYERS; ++i)
        draw_layer(i, layer_weight(m_cur_config, i, seconds));
    end_drawing();
    out->unbind_as_target();
    return out;
}
