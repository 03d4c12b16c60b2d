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
    if (n == 0) {
        RenderFSQ(source);
    } else {
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
        m_meshes[n - 1]->draw();
        source.unbind_as_texture();
        end_fsq();
        glPopMatrix();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

    glPopAttrib();
    shaders->pop_shader();
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
