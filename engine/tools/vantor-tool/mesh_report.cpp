// The "mesh" verb: flags, counts, materials with their textures, material ranges and the
// bounding box of a mesh as the demo loads it, as text or as JSON.
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "format.h"
#include "input_files.h"
#include "json_writer.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_source.h"
#include "stream_redirect.h"
#include "verbs.h"

namespace vantor_tool {

const char* const MESH_USAGE =
    "usage: vantor-tool mesh FILE [--json]\n"
    "  A mesh (\".bzobj\", or \".obj\" with its \".mtl\") as the demo loads it: flags, vertex,\n"
    "  triangle and material counts, per material its name, illumination model and texture\n"
    "  names (and whether the demo will find them), the material ranges and the bounding box.\n"
    "  --json  the same as one JSON object on standard output (loader messages go to the\n"
    "          error stream)\n";

namespace {

struct sBounds
{
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    bool empty = true;
    std::size_t non_finite = 0; // coordinates that are NaN or infinite, left out of the box
};

sBounds bounds_of(const std::vector<float>& pos)
{
    sBounds b;
    for (std::size_t v = 0; v + 2 < pos.size(); v += 3) {
        const float* p = &pos[v];
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
            ++b.non_finite;
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            b.min[c] = b.empty ? p[c] : std::min(b.min[c], p[c]);
            b.max[c] = b.empty ? p[c] : std::max(b.max[c], p[c]);
        }
        b.empty = false;
    }
    return b;
}

// Triangles with a repeated corner or no area: they draw nothing and give no normal.
std::size_t count_degenerate(const cMeshObj& mesh)
{
    std::size_t n = 0;
    for (std::size_t t = 0; t + 2 < mesh.m_elem.size(); t += 3) {
        const uint32_t i[3] = {mesh.m_elem[t], mesh.m_elem[t + 1], mesh.m_elem[t + 2]};
        if (i[0] == i[1] || i[1] == i[2] || i[0] == i[2]) {
            ++n;
            continue;
        }
        const float* p[3];
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            inside = inside && std::size_t(i[k]) * 3 + 2 < mesh.m_pos.size();
            p[k] = inside ? &mesh.m_pos[std::size_t(i[k]) * 3] : nullptr;
        }
        if (!inside)
            continue;
        const double e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const double e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        const double c[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        n += c[0] * c[0] + c[1] * c[1] + c[2] * c[2] == 0.0;
    }
    return n;
}

struct sTextureSlot
{
    const char* kind;
    const std::string* name;
};

std::vector<sTextureSlot> textures_of(const cMaterial& m)
{
    std::vector<sTextureSlot> slots;
    const sTextureSlot all[5] = {{"ambient", &m.m_tex_ambient},
                                 {"diffuse", &m.m_tex_diffuse},
                                 {"specular", &m.m_tex_specular},
                                 {"bump", &m.m_tex_bump},
                                 {"transparency", &m.m_tex_transparency}};
    for (const sTextureSlot& s : all) {
        if (!s.name->empty())
            slots.push_back(s);
    }
    return slots;
}

std::string flag_names(uint8_t flags)
{
    std::string out;
    const std::pair<uint8_t, const char*> bits[] = {
        {iMeshType::T_DTEX_BIT, "texture coordinates"},
        {iMeshType::T_NORMALS_BIT, "normals"},
        {iMeshType::T_MATERIALS_BIT, "draw per material"}};
    for (const auto& b : bits) {
        if (flags & b.first)
            out += (out.empty() ? "" : ", ") + std::string(b.second);
    }
    return out.empty() ? "positions only" : out;
}

std::string hex(uint8_t v)
{
    const char* digits = "0123456789abcdef";
    return std::string("0x") + digits[v >> 4] + digits[v & 15];
}

std::string material_label(const cMeshObj& mesh, int32_t material)
{
    if (material >= 0 && std::size_t(material) < mesh.m_materials.size())
        return std::to_string(material) + " \"" +
               printable(mesh.m_materials[std::size_t(material)].m_name) + "\"";
    return std::to_string(material) + " (not in the table)";
}

void print_ranges(const cMeshObj& mesh)
{
    for (std::size_t i = 0; i + 1 < mesh.m_matranges.size(); ++i) {
        const uint32_t first = mesh.m_matranges[i].first / 3;
        const uint32_t end = mesh.m_matranges[i + 1].first / 3;
        if (end <= first)
            continue;
        std::cout << "  triangles " << first << "-" << end - 1 << ": material "
                  << material_label(mesh, mesh.m_matranges[i].second) << "\n";
    }
}

void print_text(const cMeshObj& mesh, const sMeshSource& src)
{
    std::cout << "file: " << src.path << " ("
              << (src.obj ? "Wavefront OBJ" : "compressed binary mesh") << ", " << src.bytes
              << " bytes)\n";
    if (src.obj) {
        const sObjSource& o = src.obj_source;
        std::cout << "obj: " << o.positions << " positions, " << o.texcoords
                  << " texture coordinates, " << o.normals << " normals, " << o.faces << " faces ("
                  << o.polygons << " with more than three corners)\n";
        for (const auto& lib : o.libraries)
            std::cout << "material library: " << printable(lib.first) << " ("
                      << (lib.second.empty() ? "not found" : lib.second) << ")\n";
    }
    std::cout << "flags: " << hex(mesh.m_flags) << " = " << flag_names(mesh.m_flags) << "\n";
    std::cout << "vertices: " << mesh.m_pos.size() / 3 << "\n";
    std::cout << "triangles: " << mesh.m_elem.size() / 3 << "\n";
    std::cout << "materials: " << mesh.m_materials.size() << "\n";
    for (std::size_t i = 0; i < mesh.m_materials.size(); ++i) {
        const cMaterial& m = mesh.m_materials[i];
        std::cout << "  " << i << " \"" << printable(m.m_name) << "\": illumination model "
                  << m.m_illum << ", diffuse " << format_vec3(m.m_diffuse) << ", dissolve "
                  << format_number(m.m_dissolve) << "\n";
        for (const sTextureSlot& t : textures_of(m)) {
            std::string found;
            const eTextureStatus status = texture_status(*t.name, src.path, found);
            std::cout << "      " << t.kind << " texture: " << printable(*t.name) << " ("
                      << texture_status_text(status) << ")\n";
        }
    }
    std::cout << "material ranges: " << count_ranges(mesh);
    if (!mesh.checktypebit(iMeshType::T_MATERIALS_BIT)) {
        std::cout << " (not used: without \"draw per material\" the mesh draws in one call)\n";
    } else {
        std::cout << "\n";
        print_ranges(mesh);
    }
    const sBounds b = bounds_of(mesh.m_pos);
    if (b.empty) {
        std::cout << "bounding box: none\n";
    } else {
        const float size[3] = {b.max[0] - b.min[0], b.max[1] - b.min[1], b.max[2] - b.min[2]};
        std::cout << "bounding box: min " << format_vec3(b.min) << ", max " << format_vec3(b.max)
                  << ", size " << format_vec3(size) << "\n";
    }
    if (b.non_finite)
        std::cout << "# warning: " << b.non_finite
                  << " vertices with a NaN or infinite coordinate, left out of the box\n";
    if (const std::size_t degenerate = count_degenerate(mesh))
        std::cout << "# note: " << degenerate
                  << " triangles without area (coincident or collinear corners)\n";
}

void print_json(const cMeshObj& mesh, const sMeshSource& src)
{
    cJsonWriter j(std::cout);
    j.begin_object();
    j.key("file");
    j.value(src.path);
    j.key("format");
    j.value(src.obj ? "obj" : "bzobj");
    j.key("bytes");
    j.value(src.bytes);
    if (src.obj) {
        const sObjSource& o = src.obj_source;
        j.key("obj");
        j.begin_object();
        j.key("positions");
        j.value(o.positions);
        j.key("texcoords");
        j.value(o.texcoords);
        j.key("normals");
        j.value(o.normals);
        j.key("faces");
        j.value(o.faces);
        j.key("polygons");
        j.value(o.polygons);
        j.key("libraries");
        j.begin_array();
        for (const auto& lib : o.libraries) {
            j.begin_object();
            j.key("name");
            j.value(lib.first);
            j.key("found");
            if (lib.second.empty())
                j.null();
            else
                j.value(lib.second);
            j.end_object();
        }
        j.end_array();
        j.end_object();
    }
    j.key("flags");
    j.value(unsigned(mesh.m_flags));
    j.key("texcoords");
    j.value(mesh.checktypebit(iMeshType::T_DTEX_BIT));
    j.key("normals");
    j.value(mesh.checktypebit(iMeshType::T_NORMALS_BIT));
    j.key("per_material");
    j.value(mesh.checktypebit(iMeshType::T_MATERIALS_BIT));
    j.key("vertices");
    j.value(mesh.m_pos.size() / 3);
    j.key("triangles");
    j.value(mesh.m_elem.size() / 3);
    j.key("degenerate_triangles");
    j.value(count_degenerate(mesh));

    j.key("materials");
    j.begin_array();
    for (const cMaterial& m : mesh.m_materials) {
        j.begin_object();
        j.key("name");
        j.value(m.m_name);
        j.key("illum");
        j.value(m.m_illum);
        j.key("ambient");
        j.numbers(m.m_ambient, 4);
        j.key("diffuse");
        j.numbers(m.m_diffuse, 4);
        j.key("specular");
        j.numbers(m.m_specular, 4);
        j.key("shininess");
        j.value(m.m_shininess);
        j.key("dissolve");
        j.value(m.m_dissolve);
        j.key("optical_density");
        j.value(m.m_optical_density);
        j.key("textures");
        j.begin_object();
        for (const sTextureSlot& t : textures_of(m)) {
            std::string found;
            const eTextureStatus status = texture_status(*t.name, src.path, found);
            j.key(t.kind);
            j.begin_object();
            j.key("name");
            j.value(*t.name);
            j.key("in_data");
            j.value(status == TEX_IN_DATA);
            j.key("found");
            if (found.empty())
                j.null();
            else
                j.value(found);
            j.end_object();
        }
        j.end_object();
        j.end_object();
    }
    j.end_array();

    j.key("ranges");
    j.begin_array();
    for (std::size_t i = 0; i + 1 < mesh.m_matranges.size(); ++i) {
        const uint32_t first = mesh.m_matranges[i].first / 3;
        const uint32_t end = mesh.m_matranges[i + 1].first / 3;
        if (end <= first)
            continue;
        j.begin_object();
        j.key("first_triangle");
        j.value(std::int64_t(first));
        j.key("triangles");
        j.value(std::int64_t(end - first));
        j.key("material");
        j.value(mesh.m_matranges[i].second);
        j.end_object();
    }
    j.end_array();

    const sBounds b = bounds_of(mesh.m_pos);
    j.key("bounds");
    if (b.empty) {
        j.null();
    } else {
        j.begin_object();
        j.key("min");
        j.numbers(b.min, 3);
        j.key("max");
        j.numbers(b.max, 3);
        j.end_object();
    }
    j.key("non_finite_vertices");
    j.value(b.non_finite);
    j.end_object();
}

} // namespace

int run_mesh(const tArgs& args)
{
    const cArguments a(args, {"--json"}, {});
    if (a.help()) {
        std::cout << MESH_USAGE;
        return STATUS_OK;
    }
    if (!a.ok())
        return usage_error("mesh", a.error(), MESH_USAGE);
    if (a.files().size() != 1)
        return usage_error("mesh", "one mesh file expected", MESH_USAGE);
    const bool json = a.has("--json");

    const std::string path = resolve_input(a.files()[0]);
    cMeshObj mesh;
    sMeshSource source;
    {
        // Loader messages must not mix into the JSON document.
        std::unique_ptr<cStreamRedirect> quiet;
        if (json)
            quiet = std::make_unique<cStreamRedirect>(std::cout, std::cerr);
        if (!load_mesh_file(path, mesh, source))
            return STATUS_FAILED;
    }
    if (json)
        print_json(mesh, source);
    else
        print_text(mesh, source);
    if (mesh.m_elem.empty()) {
        std::cout.flush();
        std::cerr << "## ERROR: " << path << " holds no triangles" << std::endl;
        return STATUS_FAILED;
    }
    return STATUS_OK;
}

} // namespace vantor_tool
