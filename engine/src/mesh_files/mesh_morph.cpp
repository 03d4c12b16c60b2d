// Morphing mesh (see mesh_morph.h).
#include "mesh_files/mesh_morph.h"

#include <cassert>
#include <iostream>

#include "mesh_manager.h"
#include "shader.h"
#include "shader_manager_glsl.h"

void cMeshMorph::load(const std::string& source, const std::string& target, bool clear,
                      bool drop_materials)
{
    cMeshManager* meshes = cMeshManager::get_instance();
    m_source = meshes->get(source, clear, drop_materials, false);
    m_target = dynamic_cast<cMeshObj*>(meshes->get(target, clear, drop_materials, false));
    m_flags = m_source ? m_source->m_flags : 0;

    // The shader reads the target per vertex of the source: both lists must line up.
    cMeshObj* source_obj = dynamic_cast<cMeshObj*>(m_source);
    if (source_obj && m_target &&
        (source_obj->get_vertex_count() != m_target->get_vertex_count() ||
         !m_target->checktypebit(T_NORMALS_BIT))) {
        std::cerr << "## ERROR in cMeshMorph::load: \"" << source << "\" ("
                  << source_obj->get_vertex_count() << " vertices) cannot morph into \"" << target
                  << "\" (" << m_target->get_vertex_count() << " vertices"
                  << (m_target->checktypebit(T_NORMALS_BIT) ? "" : ", no normals")
                  << "); drawing the source unchanged" << std::endl;
        m_target = source_obj->checktypebit(T_NORMALS_BIT) ? source_obj : nullptr;
    }
}

void cMeshMorph::upload(bool clear)
{
    assert(0);
}

void cMeshMorph::draw()
{
    assert(shader_inited);
    if (!m_source)
        return;
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->bind("morph_shader");
    if (m_target) {
        m_target->get_vbo(cMeshObj::VBO_POS)->bind_as_texcoord_array(GL_TEXTURE3);
        m_target->get_vbo(cMeshObj::VBO_NORM)->bind_as_texcoord_array(GL_TEXTURE4);
    }
    m_source->draw();
    for (GLenum unit : {GL_TEXTURE3, GL_TEXTURE4}) {
        glClientActiveTextureARB(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glClientActiveTextureARB(GL_TEXTURE0);
    shaders->pop_shader();
}
