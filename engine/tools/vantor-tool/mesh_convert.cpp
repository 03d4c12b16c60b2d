// The "convert" verb: an OBJ/MTL model (or a compressed mesh) read by the engine's loader,
// prepared as the mesh manager would prepare it, and written in the compressed format the
// demo loads, then read back to check what was written.
#include <filesystem>
#include <iostream>
#include <set>
#include <string>

#include "arguments.h"
#include "format.h"
#include "input_files.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "mesh_source.h"
#include "verbs.h"

namespace vantor_tool {

const char* const CONVERT_USAGE =
    "usage: vantor-tool convert IN.obj OUT.bzobj [--smooth-normals] [--drop-materials]\n"
    "  Reads a Wavefront model (with its .mtl beside it) with the demo's loader and writes it\n"
    "  in the compressed format the demo loads, with its material table and ranges; then reads\n"
    "  the written file back and prints both sets of counts. A \".bzobj\" input is rewritten.\n"
    "  Texture files are not copied: put them in the demo's data folders.\n"
    "  --smooth-normals  replace the normals by smooth ones (coincident corners share one)\n"
    "  --drop-materials  write no materials: the mesh draws in one call with the caller's state\n";

namespace {

std::string counts(const cMeshObj& mesh)
{
    return std::to_string(mesh.m_pos.size() / 3) + " vertices, " +
           std::to_string(mesh.m_elem.size() / 3) + " triangles, " +
           std::to_string(mesh.m_materials.size()) + " materials, " +
           std::to_string(count_ranges(mesh)) + " material ranges";
}

// The preparation the mesh manager applies on request, done before writing so the file holds
// it; dropped materials also drop their ranges, so the file has no material changes at all.
void prepare(cMeshObj& mesh, bool drop_materials, bool smooth)
{
    if (drop_materials) {
        mesh.m_flags &= uint8_t(~iMeshType::T_MATERIALS_BIT);
        mesh.m_materials.clear();
        mesh.m_matranges.clear();
        mesh.m_matranges.emplace_back(0, 0);
        mesh.m_matranges.emplace_back(uint32_t(mesh.m_elem.size()), -1);
    }
    if (smooth) {
        ::smooth_normals(mesh);
        mesh.m_flags |= iMeshType::T_NORMALS_BIT;
    }
}

bool same_table(const cMeshObj& a, const cMeshObj& b)
{
    if (a.m_materials.size() != b.m_materials.size())
        return false;
    for (std::size_t i = 0; i < a.m_materials.size(); ++i) {
        if (a.m_materials[i].m_name != b.m_materials[i].m_name)
            return false;
    }
    return true;
}

void report_textures(const cMeshObj& mesh, const std::string& in_path)
{
    std::set<std::string> reported;
    for (const cMaterial& m : mesh.m_materials) {
        for (const std::string* name : {&m.m_tex_ambient, &m.m_tex_diffuse, &m.m_tex_specular,
                                        &m.m_tex_bump, &m.m_tex_transparency}) {
            if (name->empty() || !reported.insert(*name).second)
                continue;
            std::string found;
            const eTextureStatus status = texture_status(*name, in_path, found);
            if (status != TEX_IN_DATA)
                std::cout << "# warning: texture \"" << printable(*name)
                          << "\": " << texture_status_text(status) << "\n";
        }
    }
}

} // namespace

int run_convert(const tArgs& args)
{
    const cArguments a(args, {"--smooth-normals", "--drop-materials"}, {});
    if (a.help()) {
        std::cout << CONVERT_USAGE;
        return STATUS_OK;
    }
    if (!a.ok())
        return usage_error("convert", a.error(), CONVERT_USAGE);
    if (a.files().size() != 2)
        return usage_error("convert", "an input and an output file expected", CONVERT_USAGE);
    const std::string in_path = resolve_input(a.files()[0]);
    const std::string out_path = a.files()[1];
    if (cMeshManager::format_of(out_path) != cMeshManager::MF_BZOBJ)
        return usage_error("convert",
                           "the output must end in \".bzobj\", the only mesh format the demo's "
                           "scenes load",
                           CONVERT_USAGE);

    cMeshObj mesh;
    sMeshSource source;
    if (!load_mesh_file(in_path, mesh, source))
        return STATUS_FAILED;
    prepare(mesh, a.has("--drop-materials"), a.has("--smooth-normals"));
    std::cout << "read " << in_path << ": " << counts(mesh) << "\n";

    std::string error;
    if (!bobj_save(mesh, out_path, error)) {
        std::cout.flush();
        std::cerr << "## ERROR: cannot write " << out_path << ": " << error << std::endl;
        return STATUS_FAILED;
    }

    // What the demo will load: the file read back by the engine's reader.
    cMeshObj written;
    bobj_load_compressed(written, out_path);
    std::error_code ec;
    std::cout << "wrote " << out_path << ": " << counts(written) << " ("
              << std::filesystem::file_size(out_path, ec) << " bytes)\n";
    if (!same_table(mesh, written))
        std::cout << "# note: the compressed format lists one material per range, in range "
                     "order: "
                  << written.m_materials.size() << " table entries from " << mesh.m_materials.size()
                  << " materials\n";
    report_textures(written, in_path);

    if (written.m_pos.size() != mesh.m_pos.size() || written.m_elem != mesh.m_elem ||
        written.m_flags != mesh.m_flags) {
        std::cout.flush();
        std::cerr << "## ERROR: " << out_path << " does not read back as written" << std::endl;
        return STATUS_FAILED;
    }
    return STATUS_OK;
}

} // namespace vantor_tool
