// 2D kaleidoscope pass (see kaleidoscope.h).
#include "postprocessing/kaleidoscope.h"

#include <algorithm>

#include "fsq.h"
#include "gl_extensions.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "render_target.h"
#include "resource_path.h"
#include "shader.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_post.h"

namespace {

// What a fold map holds where no part of the sheet lies (post_fold_frag.glsl tells it apart).
constexpr float FOLD_MAP_NONE = -1.0e6f;

} // namespace

const char* const cPostKaleidoscope::mirror_files[NUM_MIRRORS] = {
    "plane_cylinder_mirror.bzobj", "plane_hz_mirror.bzobj",     "plane_dual_mirror.bzobj",
    "plane_triple_mirror.bzobj",   "plane_matrix_mirror.bzobj", "plane_circular_repeat.bzobj",
    "plane_mandala_circle2.bzobj"};

cPostKaleidoscope::cPostKaleidoscope()
{
    cMeshManager* meshes = cMeshManager::get_instance();
    for (const char* file : mirror_files) {
        std::string path = cResourcePath::get_instance()->get_fullpath(file);
        if (path.empty())
            path = file; // the loader reports the missing file
        // Sheets draw with their texture coordinates only: no materials, no normals needed.
        m_meshes.push_back(meshes->get(path, true, true, false));
    }
}

cPostKaleidoscope::~cPostKaleidoscope()
{
    for (const sFoldMap& map : m_maps) {
        glDeleteFramebuffersEXT(1, &map.framebuffer);
        glDeleteTextures(1, &map.texture);
    }
}

void cPostKaleidoscope::apply(iRenderTarget& source, uint8_t type, const char* in_shader)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    if (in_shader)
        shaders->bind(in_shader);
    else
        shaders->disable();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_BLEND);

    const size_t n = std::min<size_t>(type, m_meshes.size());
    const auto* sheet = n > 0 ? dynamic_cast<const cMeshObj*>(m_meshes[n - 1]) : nullptr;
    // A colour pass riding along has its own shader: such a sheet is drawn as it is.
    const bool many_cells = sheet && sheet->get_element_count() / 3 >= FOLD_MAP_TRIANGLES;
    const unsigned int map = !in_shader && many_cells ? fold_map(source, n - 1) : 0;
    if (n == 0)
        RenderFSQ(source);
    else if (map)
        draw_folded(source, map);
    else
        draw_sheet(source, n - 1);

    glPopAttrib();
    shaders->pop_shader();
}

void cPostKaleidoscope::draw_sheet(iRenderTarget& source, size_t in_mesh)
{
    // The sheets' 0..1 texture coordinates address the rectangle texture in pixels.
    glActiveTextureARB(GL_TEXTURE0);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glScalef(float(source.m_width), float(source.m_height), 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    begin_fsq();
    glDisable(GL_CULL_FACE);
    source.bind_as_texture(GL_TEXTURE0);
    // The sheet turns from the x-z plane into the screen plane and overlaps the borders.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(1.01f, 1.01f, 1.01f);
    m_meshes[in_mesh]->draw();
    source.unbind_as_texture();
    end_fsq();
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

unsigned int cPostKaleidoscope::fold_map(iRenderTarget& source, size_t in_mesh)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int sw = int(source.m_width), sh = int(source.m_height);
    for (const sFoldMap& map : m_maps) {
        if (map.mesh == in_mesh && map.source_width == sw && map.source_height == sh &&
            map.width == viewport[2] && map.height == viewport[3])
            return map.texture;
    }
    if (m_maps.size() >= MAX_FOLD_MAPS) {
        glDeleteFramebuffersEXT(1, &m_maps.front().framebuffer);
        glDeleteTextures(1, &m_maps.front().texture);
        m_maps.erase(m_maps.begin());
    }
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    if (!shaders->has_shader("fold_shader"))
        register_fold_shaders();

    GLint framebuffer = 0, texture = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &texture);
    sFoldMap map = {in_mesh, sw, sh, viewport[2], viewport[3], 0, 0};
    glGenTextures(1, &map.texture);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, map.texture);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RG32F, map.width, map.height, 0, GL_RG, GL_FLOAT,
                 nullptr);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, GLuint(texture));
    glGenFramebuffersEXT(1, &map.framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, map.framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                              GL_TEXTURE_RECTANGLE_ARB, map.texture, 0);
    const bool complete =
        glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    if (complete) {
        // The same sheet through the same transforms, so the same triangle covers each pixel
        // and leaves the same coordinates there.
        glPushAttrib(GL_VIEWPORT_BIT | GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, map.width, map.height);
        // A float target keeps the value; the sheet's own coordinates may dip a hair below 0.
        glClearColor(FOLD_MAP_NONE, FOLD_MAP_NONE, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        shaders->push_shader();
        shaders->bind("fold_bake_shader");
        draw_sheet(source, in_mesh);
        shaders->pop_shader();
        glPopAttrib();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(framebuffer));
    if (!complete) {
        glDeleteFramebuffersEXT(1, &map.framebuffer);
        glDeleteTextures(1, &map.texture);
        return 0;
    }
    m_maps.push_back(map);
    return map.texture;
}

void cPostKaleidoscope::draw_folded(iRenderTarget& source, unsigned int in_map)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    begin_fsq();
    source.bind_as_texture(GL_TEXTURE0);
    glActiveTextureARB(GL_TEXTURE1);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &bound);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, in_map);
    glActiveTextureARB(GL_TEXTURE0);
    cShaderManager_GLSL::get_instance()->bind("fold_shader");
    // The map's own pixels on unit 1: each pixel reads its own texel.
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glMultiTexCoord2fARB(GL_TEXTURE1, c[0] * float(viewport[2]), c[1] * float(viewport[3]));
        glVertex2f(c[0], c[1]);
    }
    glEnd();
    glActiveTextureARB(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, GLuint(bound));
    glActiveTextureARB(GL_TEXTURE0);
    source.unbind_as_texture();
    end_fsq();
}

void cPostKaleidoscope::process(iRenderTarget& source, iRenderTarget& target, uint8_t type,
                                const char* in_shader)
{
    // The target starts transparent black; the caller's clear colour is put back.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 0);
    target.bind_as_target(true);
    apply(source, type, in_shader);
    target.unbind_as_target();
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}
