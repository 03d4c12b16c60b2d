// Mesh cache (see mesh_manager.h).
#include "mesh_manager.h"

#include <cassert>
#include <iostream>

#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/obj/obj_loader.h"

cMeshManager::cMeshManager() = default;

// The meshes' buffers are deleted here, while the OpenGL context still exists.
cMeshManager::~cMeshManager() = default;

std::string cMeshManager::file_part(const std::string& name)
{
    const std::string::size_type cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

cMeshManager::eMeshFormat cMeshManager::format_of(const std::string& name)
{
    const std::string file = file_part(name);
    const std::string::size_type dot = file.find_last_of('.');
    if (dot == std::string::npos)
        return MF_UNKNOWN;
    const std::string ext = file.substr(dot + 1);
    if (ext == "obj" || ext == ".obj")
        return MF_OBJ;
    if (ext == "bzobj" || ext == ".bzobj")
        return MF_BZOBJ;
    return MF_UNKNOWN;
}

iMesh* cMeshManager::get(const std::string& name, bool clear, bool drop_materials,
                         bool smooth_normals)
{
    const std::string key = file_part(name);
    auto it = m_meshes.find(key);
    if (it == m_meshes.end()) {
        load(name, clear, drop_materials, smooth_normals);
        it = m_meshes.find(key);
    }
    return it == m_meshes.end() ? nullptr : it->second.get();
}

void cMeshManager::load(const std::string& name, bool clear, bool drop_materials,
                        bool smooth_normals)
{
    cMeshObj* newmesh = nullptr;
    switch (format_of(name)) {
    case MF_OBJ:
        newmesh = ObjLoader::create(name);
        break;
    case MF_BZOBJ:
        newmesh = BzObjLoader::create(name);
        break;
    case MF_UNKNOWN:
        std::cerr << "## ERROR in cMeshManager::load: no loader for \"" << name << "\""
                  << std::endl;
        break;
    }
    assert(newmesh);
    std::unique_ptr<iMesh> owned(newmesh);

    if (drop_materials) {
        newmesh->m_flags &= uint8_t(~iMeshType::T_MATERIALS_BIT);
        newmesh->m_materials.clear();
    }
    if (smooth_normals) {
        ::smooth_normals(*newmesh);
        newmesh->m_flags |= iMeshType::T_NORMALS_BIT;
    }
    newmesh->upload(clear);
    m_meshes[file_part(name)] = std::move(owned);
}
