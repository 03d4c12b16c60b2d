// Loading a mesh file for the author tools (see mesh_source.h).
#include "mesh_source.h"

#include <filesystem>
#include <iostream>

#include "input_files.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/obj/obj_loader.h"
#include "mesh_manager.h"

namespace vantor_tool {

namespace {

void load_obj(const std::string& path, cMeshObj& mesh, sObjSource& source)
{
    cObjLoader loader;
    // An exported model's library lies beside it; the demo's data folders come second.
    loader.m_read_library = [&](const std::string& name, std::string& text) {
        std::string found = find_beside(name, path);
        if (found.empty())
            found = find_in_data(name);
        source.libraries.emplace_back(name, found);
        if (found.empty()) {
            std::cerr << "# WARNING: material library \"" << name << "\" is neither beside " << path
                      << " nor in the demo's data folders; its materials are missing" << std::endl;
            return false;
        }
        if (!read_whole_file(found, text)) {
            std::cerr << "## ERROR: Couldn't open " << found << std::endl;
            return false;
        }
        return true;
    };
    loader.load_file(path);
    source.positions = loader.m_positions.size() / 4;
    source.texcoords = loader.m_texcoords.size() / 2;
    source.normals = loader.m_normals.size() / 3;
    source.faces = loader.m_polys.size();
    for (const sObjPolygon& p : loader.m_polys)
        source.polygons += p.m_Vindex.size() > 3;
    // The same steps as the mesh manager's OBJ path, less the texture loading.
    loader.fix_texcoords();
    loader.triangulate();
    loader.convert(mesh);
}

} // namespace

eTextureStatus texture_status(const std::string& name, const std::string& mesh_path,
                              std::string& found)
{
    found = find_in_data(name);
    if (!found.empty())
        return TEX_IN_DATA;
    found = find_beside(name, mesh_path);
    return found.empty() ? TEX_MISSING : TEX_BESIDE_ONLY;
}

const char* texture_status_text(eTextureStatus status)
{
    switch (status) {
    case TEX_IN_DATA:
        return "found in the data folders";
    case TEX_BESIDE_ONLY:
        return "beside the model only: the demo looks in its data folders";
    case TEX_MISSING:
        break;
    }
    return "not found";
}

bool load_mesh_file(const std::string& path, cMeshObj& mesh, sMeshSource& source)
{
    source = sMeshSource();
    source.path = path;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    source.bytes = ec ? 0 : std::size_t(size);
    switch (cMeshManager::format_of(path)) {
    case cMeshManager::MF_BZOBJ:
        bobj_load_compressed(mesh, path);
        return true;
    case cMeshManager::MF_OBJ:
        source.obj = true;
        load_obj(path, mesh, source.obj_source);
        return true;
    case cMeshManager::MF_UNKNOWN:
        break;
    }
    std::cerr << "## ERROR: no loader for \"" << path
              << "\": the demo reads meshes ending in \".bzobj\" or \".obj\"" << std::endl;
    return false;
}

std::size_t count_ranges(const cMeshObj& mesh)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < mesh.m_matranges.size(); ++i)
        n += mesh.m_matranges[i + 1].first > mesh.m_matranges[i].first;
    return n;
}

} // namespace vantor_tool
