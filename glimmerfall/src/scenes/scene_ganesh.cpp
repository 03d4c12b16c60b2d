// The Ganesh sculpture (see scene_ganesh.h).
#include "scenes/scene_ganesh.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "effects/interpolator.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "resource_path.h"
#include "scenes/component_rose.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_mesh.h"
#include "texture_manager.h"

namespace {

const char* const kFolder = "../data/models/ganesh/";
const float kPi = 3.14159265f;
const float kCentreY = 1.2f; // the mandala turns about the vertical line x = 0, y = 1.2

// Where the camera stands with "cam_t" at 1: straight in front of the figure.
const Vec3<float> kPortraitEye(0.0f, 1.6f, 9.5f);
const Vec3<float> kPortraitCentre(0.0f, 1.4f, 0.0f);

// A flat piece of the mandala or a logo: where it stands in depth (the finale pushes the pieces
// behind the figure further back, in proportion), how fast it turns and how much a clap
// brightens it.
struct sPiece
{
    int mesh;
    float z;     // depth of the piece in the mesh, for the finale's spread
    float speed; // degrees per second about the mandala's axis
    float kick;  // extra brightness at a clap
};

Vec3<float> lerp(const Vec3<float>& a, const Vec3<float>& b, float t)
{
    return a + (b - a) * t;
}

void set_material(const GLfloat* ambient, const GLfloat* diffuse, const GLfloat* specular,
                  float shininess)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
}

void set_tint(float r, float g, float b, float a = 1.0f)
{
    const GLfloat c[4] = {r, g, b, a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
}

} // namespace

const char* const cSceneGanesh::path_files[NUM_PATHS] = {
    "g_cam02_60.txt", "g_cam03_50.txt",   "g_cam04_100.txt", "g_cam05_50.txt",
    "g_cam06_50.txt", "g_cam07_80_g.txt", "g_cam08_60.txt"};

const char* const cSceneGanesh::mesh_files[NUM_MESHES] = {"ganesh.bzobj",
                                                          "background_circles2.bzobj",
                                                          "plate_backgroundmandala.bzobj",
                                                          "frame.bzobj",
                                                          "whitecenter.bzobj",
                                                          "mandala_streaks.bzobj",
                                                          "mandala_leafs.bzobj",
                                                          "mandala_blob.bzobj",
                                                          "vantor_logo.bzobj",
                                                          "hand_logo2.bzobj",
                                                          "mandala_frames.bzobj",
                                                          "mandala_circles_inner.bzobj",
                                                          "mandala_circle_outer.bzobj"};

const char* const cSceneGanesh::diff_file = "ganesh_diff";

bool cSceneGanesh::diff_by_default()
{
#if defined(__OPTIMIZE__)
    return false;
#else
    return true;
#endif
}

cSceneGanesh::cSceneGanesh(const cClock* in_clock) : cScene(in_clock)
{
    const GLfloat ambient[4] = {0.12f, 0.06f, 0.2f, 1.0f};
    m_draw_state = sDrawState().with_depth_test().with_depth_writes().with_ambient(ambient);
    m_camera.eye = kPortraitEye;
    m_camera.ctr = kPortraitCentre;
    m_camera.up = Vec3<float>(0, 1, 0);
    m_camera.fov = 60.0f;
    m_camera.znear = 0.1f;
    m_camera.zfar = 100.0f;
    m_write_diff = diff_by_default() ? 1 : 0;
    m_trail.fade = 0.12f;
    // A soft ghost: half the picture's size does, for a quarter of the work.
    m_trail.half_size = true;
}

cSceneGanesh::~cSceneGanesh()
{
    if (cPostFeedback::has_instance())
        cPostFeedback::destroy_instance();
}

void cSceneGanesh::load()
{
    static_assert(NUM_MESHES == M_COUNT, "one file per mesh");
    for (int i = 0; i < M_COUNT; ++i)
        m_meshes[i] = cMeshManager::get_instance()->get(std::string(kFolder) + mesh_files[i], true,
                                                        true, false);

    cTextureManager* textures = cTextureManager::get_instance();
    m_gold = textures->get_texture("ganesh_gold.png", true, GL_CLAMP, 0);
    m_plate = textures->get_texture("ganesh_plate.png", true, GL_CLAMP, 0);
    m_ornament = textures->get_texture("ganesh_ornament.png", true, GL_CLAMP, 0);
    m_glow = textures->get_texture("ganesh_glow.png", true, GL_CLAMP, 0);

    // Shaders other scenes may have registered already are left as they are.
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    if (!shaders->get_shader("self_illum_shader"))
        register_self_illum_shader();
    if (!shaders->get_shader("rgba_shader"))
        register_rgba_shader();

    for (int i = 0; i < NUM_PATHS; ++i) {
        const std::string file =
            cResourcePath::get_instance()->get_fullpath(std::string(kFolder) + path_files[i]);
        if (!file.empty())
            m_paths[i].load(file);
    }

    m_rose.reset(new cComponentRose());
    m_rose->load();
    m_rose->m_pos = Vec3<float>(0.0f, 2.45f, -0.8f);
    m_rose->m_scale = 1.7f;
    m_rose->m_it = 5;
    m_rose->m_col = Vec3<float>(1.0f, 0.7f, 0.2f);
    m_rose->m_alpha = 0.45f;
}

void cSceneGanesh::init()
{
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
}

void cSceneGanesh::handle_event(cEvent* in_event)
{
    if (is_note_on(in_event, 4)) {
        const int t = demo_time();
        add_interpolator(new cEaseOut<float>(&m_kick, t, t + 300, 1.0f, 0.0f));
    }
}

bool cSceneGanesh::update()
{
    update_interpolators();
    if (m_rose) {
        m_rose->update(demo_time());
        m_rose->m_kick = m_kick;
    }
    return false;
}

void cSceneGanesh::add_gui(iGuiNode* in_gui)
{
    m_camera.add_camera_gui(in_gui, -5000.0f, 5000.0f);
    add_sliders(in_gui, sliders(m_trail));
    add_slider(in_gui, "kick", &m_kick, 0.0f, 1.0f);
    add_slider(in_gui, "ganesh_diff", &m_write_diff, 0.0f, 1.0f);
    if (m_rose) {
        tVarList rose;
        m_rose->get_vars(rose);
        add_entries(in_gui, rose);
    }
}

tVarList cSceneGanesh::get_vars()
{
    tVarList vars;
    add_slider(vars, "cam_t", &m_cam_t, 0.0f, 1.0f);
    add_slider(vars, "scene_t", &m_scene_t, 0.0f, 1.0f);
    add_slider(vars, "campath", &m_campath, 0.0f, float(NUM_PATHS - 1));
    add_slider(vars, "campath_t", &m_campath_t, 0.0f, 1.0f);
    return vars;
}

void cSceneGanesh::place_camera()
{
    Vec3<float> eye = kPortraitEye, centre = kPortraitCentre, up(0, 1, 0);
    const int index = std::clamp(m_campath, 0, NUM_PATHS - 1);
    if (!m_paths[index].empty()) {
        eye = m_paths[index].eye(m_campath_t);
        centre = m_paths[index].centre(m_campath_t);
        up = m_paths[index].up(m_campath_t);
    }
    const float t = std::clamp(m_cam_t, 0.0f, 1.0f);
    m_camera.eye = lerp(eye, kPortraitEye, t);
    m_camera.ctr = lerp(centre, kPortraitCentre, t);
    m_camera.up = lerp(up, Vec3<float>(0, 1, 0), t).normalized();
}

void cSceneGanesh::draw_mandala(float in_seconds)
{
    static const sPiece pieces[] = {
        {M_CIRCLES_BG, -3.0f, 4.0f, 0.0f},     {M_CIRCLE_OUTER, -2.9f, -7.0f, 0.3f},
        {M_FRAMES, -2.8f, 3.0f, 0.0f},         {M_STREAKS, -2.6f, -9.0f, 0.6f},
        {M_BLOB, -2.4f, 12.0f, 0.4f},          {M_PLATE, -2.2f, 2.0f, 0.0f},
        {M_LEAFS, -2.0f, -5.0f, 0.2f},         {M_FRAME, -1.9f, 0.0f, 0.0f},
        {M_CIRCLES_INNER, -1.5f, 15.0f, 0.8f}, {M_HAND_LOGO, -1.2f, 0.0f, 0.3f},
        {M_VANTOR_LOGO, 1.2f, 0.0f, 0.3f}};

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->bind("self_illum_shader");
    const float finale = std::clamp(m_scene_t, 0.0f, 1.0f);
    const float ease = finale * finale * (3.0f - 2.0f * finale);
    // The plate has a round edge in its alpha; the others are solid.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    // Front to back, so hidden parts of the pieces behind are never shaded.
    for (auto it = std::rbegin(pieces); it != std::rend(pieces); ++it) {
        const sPiece& piece = *it;
        iMesh* mesh = m_meshes[piece.mesh];
        if (!mesh)
            continue;
        cTexProxy& texture = piece.mesh == M_PLATE ? m_plate : m_ornament;
        texture.bind(GL_TEXTURE0);
        // The finale spins the mandala up and pushes the pieces apart in depth.
        const float angle =
            piece.speed * in_seconds * (1.0f + 2.5f * ease) + piece.speed * 40.0f * ease;
        const float push = piece.z < 0 ? piece.z * 1.8f * ease : 1.5f * ease;
        const float swell = 1.0f + 0.05f * piece.kick * m_kick + 0.25f * ease * (piece.z < -2.5f);
        const float light = 0.8f + piece.kick * m_kick + 0.3f * ease;
        set_tint(light, light, light);
        glPushMatrix();
        glTranslatef(0.0f, kCentreY, push);
        glRotatef(angle, 0, 0, 1);
        glScalef(swell, swell, 1.0f);
        glTranslatef(0.0f, -kCentreY, 0.0f);
        mesh->draw();
        glPopMatrix();
        texture.unbind();
    }
    glDisable(GL_ALPHA_TEST);
}

void cSceneGanesh::draw_figure()
{
    iMesh* figure = m_meshes[M_FIGURE];
    if (!figure)
        return;
    // A warm key light from above the viewer's right shoulder, in world space.
    const GLfloat position[4] = {4.0f, 7.0f, 9.0f, 1.0f};
    const GLfloat key[4] = {1.0f, 0.92f, 0.8f, 1.0f};
    const GLfloat ambient[4] = {0.25f, 0.12f, 0.35f, 1.0f};
    const GLfloat specular[4] = {1.0f, 0.9f, 0.7f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, key);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.0f);
    const GLfloat mat_ambient[4] = {0.8f, 0.7f, 0.9f, 1.0f};
    const GLfloat mat_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat mat_specular[4] = {0.7f, 0.6f, 0.45f, 1.0f};
    set_material(mat_ambient, mat_diffuse, mat_specular, 40.0f);

    cShaderManager_GLSL::get_instance()->bind("rgba_shader");
    m_gold.bind(GL_TEXTURE0);
    // A solid figure: its far side is never seen.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    figure->draw();
    glDisable(GL_CULL_FACE);
    m_gold.unbind();
}

void cSceneGanesh::draw_glow(float in_seconds)
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    // Light adds up; the alpha keeps the most opaque coverage so the glow shows over the layers
    // below as well.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    if (iMesh* centre = m_meshes[M_WHITECENTER]) {
        cShaderManager_GLSL::get_instance()->bind("self_illum_shader");
        m_glow.bind(GL_TEXTURE0);
        const float pulse = 0.55f + 0.1f * std::sin(in_seconds * 1.7f) + 0.45f * m_kick;
        set_tint(1.0f, 0.85f, 0.6f, pulse);
        centre->draw();
        m_glow.unbind();
    }
    glPopAttrib();
    if (m_rose)
        m_rose->draw();
}

void cSceneGanesh::set_trail()
{
    // Each frame the trail turns a little, spreads outwards from the centre and drops by one of
    // the picture's pixels (the transform works in the trail's).
    const float finale = std::clamp(m_scene_t, 0.0f, 1.0f);
    const float turn = (0.25f + 0.5f * finale) * kPi / 180.0f;
    const float zoom = 0.994f - 0.006f * finale;
    const float c = std::cos(turn) * zoom, s = std::sin(turn) * zoom;
    const float drop = m_trail.half_size ? -0.5f : -1.0f;
    const float m[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, drop, 0, 1};
    std::copy(m, m + 16, m_trail.transform);
    m_trail.fade = std::max(0.04f, 0.12f - 0.08f * finale);
}

cRTProxy cSceneGanesh::render_to_texture(int in_time_ms)
{
    if (m_write_diff)
        m_reference.capture();
    const float seconds = float(in_time_ms) / 1000.0f;

    // Transparent around the mandala: the trail and the layers below show there.
    cRTProxy picture = bind_full_target_cleared(0.0f, 0.0f, 0.0f, 0.0f);

    begin_drawing();
    place_camera();
    m_camera.apply_camera();
    // The figure first: it hides much of the mandala behind it.
    draw_figure();
    draw_mandala(seconds);
    draw_glow(seconds);
    end_drawing();
    picture->unbind_as_target();

    // The picture over its trail; the compositing may lay it over the trail as it draws it on.
    set_trail();
    cPostFeedback* trail = cPostFeedback::get_instance();
    trail->feed(*picture, m_trail);
    cRTProxy out = finish_over(std::move(picture), *trail->feedback());

    if (m_write_diff) {
        sGLstate after;
        after.capture();
        sGLstate::write_diff(diff_file, m_reference, after);
    }
    return out;
}
