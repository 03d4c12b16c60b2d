// Wavefront OBJ reader (see obj_loader.h).
#include "mesh_files/obj/obj_loader.h"

#include <array>
#include <cassert>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>

#include "fatal.h"
#include "math/defmath.h"
#include "mesh_files/obj/mtl_loader.h"
#include "mesh_files/obj/text_cursor.h"
#include "resource_path.h"

namespace {

using tTokens = std::vector<std::string_view>;

// Numbers after the keyword; tokens that are not numbers count as missing.
std::vector<float> numbers_of(const tTokens& tokens, size_t& bad)
{
    std::vector<float> values;
    bad = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        float v;
        if (vnt::parse_number(tokens[i], v))
            values.push_back(v);
        else
            ++bad;
    }
    return values;
}

// An OBJ index (1-based, or negative: counted back from the last one defined) as zero-based;
// -1 when it can address nothing.
int32_t resolve_index(std::string_view token, size_t defined)
{
    long v;
    if (!vnt::parse_number(token, v) || v == 0)
        return -1;
    if (v > 0)
        return v <= INT32_MAX ? int32_t(v - 1) : -1;
    const long back = long(defined) + v;
    return back >= 0 ? int32_t(back) : -1;
}

std::vector<std::string_view> split_corner(std::string_view token)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t slash = token.find('/', start);
        if (slash == std::string_view::npos) {
            parts.push_back(token.substr(start));
            break;
        }
        parts.push_back(token.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

void print_separator()
{
    std::cout << "---------------------------------------------------" << std::endl;
}

} // namespace

bool cObjLoader::load_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "## ERROR in " << __FILE__ << " line " << __LINE__
                  << ": file was not found in path: " << path << std::endl;
        vnt::fatal_exit(-1);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    parse(text.data(), text.size(), path);
    return true;
}

void cObjLoader::parse(const char* text, size_t size, const std::string& source)
{
    m_source = source;
    vnt::cTextCursor cursor(text, size);
    std::string_view line;
    while (cursor.next_line(line)) {
        const int n = cursor.line_number();
        const tTokens tokens = vnt::split_tokens(line);
        if (tokens.empty() || tokens[0].front() == '#')
            continue;
        const std::string_view tok = tokens[0];
        if (tok == "v") {
            read_vertex(tokens, n);
        } else if (tok == "vt") {
            read_texcoord(tokens, n);
        } else if (tok == "vn") {
            read_normal(tokens, n);
        } else if (tok == "f") {
            read_face(tokens, n);
        } else if (tok == "usemtl") {
            use_material(tokens, n);
        } else if (tok == "mtllib") {
            load_library(tokens);
        } else if (tok == "vp") {
            std::cerr << "# warning, \"" << tok << "\" in line" << n << " not supported... skipped!"
                      << std::endl;
        } else if (tok == "g" || tok == "s" || tok == "curv" || tok == "curv2" || tok == "surf") {
            std::cerr << "# warning: \"" << tok << "\" in line" << n << " not supported... skipped!"
                      << std::endl;
        } else if (tok == "p") {
            std::cerr << "TOK_P" << std::endl;
        } else if (tok == "l") {
            std::cerr << "TOK_L" << std::endl;
        } else {
            std::cerr << "# warning, unknown token: \"" << tok << "\" in line" << n
                      << "... skipped!" << std::endl;
        }
    }
    drop_faces_out_of_range();
    std::cout << "done reading obj." << std::endl;
    print_separator();
}

void cObjLoader::read_vertex(const tTokens& tokens, int line)
{
    size_t bad = 0;
    std::vector<float> v = numbers_of(tokens, bad);
    // A position needs 3 or 4 numbers; anything else is reported and padded (0, w = 1) or cut,
    // so later indices still address the vertices the file meant.
    if (bad || (v.size() != 3 && v.size() != 4))
        std::cerr << "## error, " << v.size() + bad << " position-coordinates in line:" << line
                  << std::endl;
    while (v.size() < 3)
        v.push_back(0.0f);
    if (v.size() == 3)
        v.push_back(1.0f);
    m_positions.insert(m_positions.end(), v.begin(), v.begin() + 4);
}

void cObjLoader::read_texcoord(const tTokens& tokens, int line)
{
    m_flags |= T_DTEX_BIT;
    size_t bad = 0;
    std::vector<float> t = numbers_of(tokens, bad);
    if (bad || t.size() < 2)
        std::cerr << "## error, " << t.size() + bad << " texture-coordinates in line:" << line
                  << std::endl;
    while (t.size() < 2)
        t.push_back(0.0f);
    m_texcoords.insert(m_texcoords.end(), t.begin(), t.begin() + 2);
}

void cObjLoader::read_normal(const tTokens& tokens, int line)
{
    m_flags |= T_NORMALS_BIT;
    size_t bad = 0;
    std::vector<float> v = numbers_of(tokens, bad);
    if (bad || v.size() != 3)
        std::cerr << "## error, " << v.size() + bad << " normal-coordinates in line:" << line
                  << std::endl;
    while (v.size() < 3)
        v.push_back(0.0f);
    m_normals.insert(m_normals.end(), v.begin(), v.begin() + 3);
}

void cObjLoader::read_face(const tTokens& tokens, int line)
{
    const bool tex = checktypebit(T_DTEX_BIT);
    const bool norm = checktypebit(T_NORMALS_BIT);
    sObjPolygon poly;
    poly.m_line = line;
    poly.m_material = m_current_material;
    bool varying = false;
    bool invalid = false;
    size_t elements = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::vector<std::string_view> parts = split_corner(tokens[i]);
        size_t count = 1;
        const int32_t v = resolve_index(parts[0], m_positions.size() / 4);
        invalid = invalid || v < 0;
        poly.m_Vindex.push_back(v);
        if (tex) {
            if (parts.size() >= 2 && !parts[1].empty()) {
                const int32_t t = resolve_index(parts[1], m_texcoords.size() / 2);
                invalid = invalid || t < 0;
                poly.m_Tindex.push_back(t);
                ++count;
            } else if (parts.size() < 2) {
                std::cerr << "# warning: \"" << tokens[i] << "\", missing / in line:" << line
                          << std::endl;
            }
        }
        if (norm) {
            if (parts.size() >= 3 && !parts[2].empty()) {
                const int32_t nn = resolve_index(parts[2], m_normals.size() / 3);
                invalid = invalid || nn < 0;
                poly.m_Nindex.push_back(nn);
                ++count;
            } else if (parts.size() < 3) {
                std::cerr << "# warning: \"" << tokens[i] << "\", missing / in line:" << line
                          << std::endl;
            }
        }
        if (i == 1)
            elements = count;
        varying = varying || count != elements;
    }
    const size_t corners = poly.m_Vindex.size();
    // Equal counts are not enough: every corner must carry the same kinds of index.
    varying = varying || (!poly.m_Tindex.empty() && poly.m_Tindex.size() != corners) ||
              (!poly.m_Nindex.empty() && poly.m_Nindex.size() != corners);
    if (varying) {
        std::cerr << "## Error in line:" << line
                  << " - varying number of elements in face-declaration. Skipping face..."
                  << std::endl;
        return;
    }
    if (invalid) {
        std::cerr << "## Error in line:" << line
                  << " - invalid index in face-declaration. Skipping face..." << std::endl;
        return;
    }
    if (corners > 3)
        m_flags |= T_NOTTRIS_BIT_;
    m_polys.push_back(std::move(poly));
}

void cObjLoader::drop_faces_out_of_range()
{
    const size_t positions = m_positions.size() / 4;
    const size_t texcoords = m_texcoords.size() / 2;
    const size_t normals = m_normals.size() / 3;
    std::vector<sObjPolygon> kept;
    kept.reserve(m_polys.size());
    for (sObjPolygon& p : m_polys) {
        bool inside = true;
        for (int32_t v : p.m_Vindex)
            inside = inside && size_t(v) < positions;
        for (int32_t t : p.m_Tindex)
            inside = inside && size_t(t) < texcoords;
        for (int32_t n : p.m_Nindex)
            inside = inside && size_t(n) < normals;
        if (inside) {
            kept.push_back(std::move(p));
        } else {
            std::cerr << "## Error in line:" << p.m_line
                      << " - index out of range in face-declaration. Skipping face..." << std::endl;
        }
    }
    m_polys.swap(kept);
}

void cObjLoader::use_material(const tTokens& tokens, int line)
{
    const std::string name = tokens.size() > 1 ? std::string(tokens[1]) : std::string();
    if (m_materials.empty()) {
        std::cerr << "# warning: No materials defined! \"usemtl " << name << "\" illegal in line"
                  << line << "... skipped!" << std::endl;
        return;
    }
    for (size_t i = 0; i < m_materials.size(); ++i) {
        if (m_materials[i].m_name == name) {
            m_current_material = int32_t(i);
            return;
        }
    }
    std::cerr << "# WARNING: unknown material \"" << name << "\" in line" << line << "... skipped!"
              << std::endl;
}

bool cObjLoader::read_library_file(const std::string& name, std::string& text) const
{
    std::string path = cResourcePath::get_instance()->get_fullpath(name);
    if (path.empty()) {
        // Exporters put the library beside the mesh.
        namespace fs = std::filesystem;
        const fs::path sibling = fs::path(m_source).parent_path() / name;
        std::error_code ec;
        if (!m_source.empty() && fs::is_regular_file(sibling, ec))
            path = sibling.string();
    }
    if (path.empty()) {
        std::cerr << "# WARNING in " << __FILE__ << " line " << __LINE__
                  << ": Can't find full path! .mtl might not load!" << std::endl;
        path = name;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "## ERROR: Couldn't open " << path << std::endl;
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void cObjLoader::load_library(const tTokens& tokens)
{
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string name(tokens[i]);
        std::string text;
        const bool ok = m_read_library ? m_read_library(name, text) : read_library_file(name, text);
        if (ok)
            cMtlLoader().parse(text.data(), text.size(), name, m_materials);
    }
}

void cObjLoader::fix_texcoords()
{
    if (!checktypebit(T_DTEX_BIT) || m_texcoords.empty())
        return;
    for (size_t i = 0; i < m_polys.size(); ++i) {
        sObjPolygon& p = m_polys[i];
        if (p.m_Tindex.size() == p.m_Vindex.size())
            continue;
        std::cerr << "# warning: missing texcoords in face" << i << ". Using first texcoord."
                  << std::endl;
        p.m_Tindex.assign(p.m_Vindex.size(), 0);
    }
}

void cObjLoader::triangulate()
{
    std::vector<sObjPolygon> out;
    out.reserve(m_polys.size());
    for (sObjPolygon& p : m_polys) {
        const size_t v_siz = p.m_Vindex.size();
        assert(p.m_Tindex.empty() || p.m_Tindex.size() == v_siz);
        assert(p.m_Nindex.empty() || p.m_Nindex.size() == v_siz);
        if (v_siz < 3) {
            std::cerr << "Malformed face." << v_siz << " vertices in face. Aborting triangulation"
                      << std::endl;
            std::cerr << "# warning: face of line " << p.m_line
                      << " dropped, the other faces are kept" << std::endl;
            continue;
        }
        // A fan around corner 0: (0, 1, 2), (0, 2, 3), ... keeps each polygon's triangles
        // together, so they stay inside its material range.
        for (size_t k = 1; k + 1 < v_siz; ++k) {
            sObjPolygon tri;
            tri.m_material = p.m_material;
            tri.m_line = p.m_line;
            for (size_t c : {size_t(0), k, k + 1}) {
                tri.m_Vindex.push_back(p.m_Vindex[c]);
                if (!p.m_Tindex.empty())
                    tri.m_Tindex.push_back(p.m_Tindex[c]);
                if (!p.m_Nindex.empty())
                    tri.m_Nindex.push_back(p.m_Nindex[c]);
            }
            out.push_back(std::move(tri));
        }
    }
    m_polys.swap(out);
    m_flags &= uint8_t(~T_NOTTRIS_BIT_);
}

void cObjLoader::smooth_normals()
{
    const size_t positions = m_positions.size() / 4;
    m_smooth.assign(positions * 3, 0.0f);
    for (const sObjPolygon& p : m_polys) {
        if (p.m_Vindex.size() < 3) {
            std::cerr << "Malformed polygon in "
                      << "cObjLoader::smooth_normals"
                      << " - exiting!" << std::endl;
            vnt::fatal_exit(-1);
        }
        // Sum of the fan's cross products: twice the area along the polygon's normal.
        float sum[3] = {0, 0, 0};
        const float* p0 = &m_positions[size_t(p.m_Vindex[0]) * 4];
        for (size_t k = 1; k + 1 < p.m_Vindex.size(); ++k) {
            float e1[3], e2[3], c[3];
            vnt::vec_sub(e1, &m_positions[size_t(p.m_Vindex[k]) * 4], p0);
            vnt::vec_sub(e2, &m_positions[size_t(p.m_Vindex[k + 1]) * 4], p0);
            vnt::vec_cross(c, e1, e2);
            vnt::vec_add(sum, sum, c);
        }
        for (int32_t v : p.m_Vindex) {
            float* n = &m_smooth[size_t(v) * 3];
            vnt::vec_add(n, n, sum);
        }
    }
    for (size_t i = 0; i + 2 < m_smooth.size(); i += 3)
        vnt::vec_normalize(&m_smooth[i]);
}

void cObjLoader::convert(cMeshObj& mesh)
{
    assert(!checktypebit(T_NOTTRIS_BIT_));
    bool missing_normals = !checktypebit(T_NORMALS_BIT);
    for (const sObjPolygon& p : m_polys)
        missing_normals = missing_normals || p.m_Nindex.empty();
    // Generated normals follow the file's own; faces without normal indices use them.
    std::vector<float> normals = m_normals;
    const int32_t generated = int32_t(normals.size() / 3);
    if (missing_normals) {
        std::cout << "warning, created smooth normals..." << std::endl;
        smooth_normals();
        normals.insert(normals.end(), m_smooth.begin(), m_smooth.end());
    }
    const bool tex = checktypebit(T_DTEX_BIT) && !m_texcoords.empty();

    mesh.m_pos.clear();
    mesh.m_norm.clear();
    mesh.m_tex0.clear();
    mesh.m_elem.clear();
    mesh.m_matranges.clear();
    mesh.m_materials = m_materials;

    bool any_material = false;
    bool any_without = false;
    for (const sObjPolygon& p : m_polys) {
        any_material = any_material || p.m_material >= 0;
        any_without = any_without || p.m_material < 0;
    }
    // Faces before the first "usemtl" get a plain default material of their own.
    const int32_t default_material = int32_t(mesh.m_materials.size());
    if (any_material && any_without) {
        mesh.m_materials.emplace_back();
        mesh.m_materials.back().m_name = "default";
    }

    std::map<std::array<int32_t, 3>, uint32_t> new_indices;
    for (const sObjPolygon& p : m_polys) {
        const size_t no_elems = p.m_Vindex.size();
        assert(no_elems == 3);
        int32_t material = p.m_material >= 0 ? p.m_material : (any_material ? default_material : 0);
        if (mesh.m_matranges.empty() || mesh.m_matranges.back().second != material)
            mesh.m_matranges.emplace_back(uint32_t(mesh.m_elem.size()), material);
        for (size_t c = 0; c < no_elems; ++c) {
            const int32_t v = p.m_Vindex[c];
            const int32_t n = p.m_Nindex.empty() ? generated + v : p.m_Nindex[c];
            const int32_t t = !tex ? -1 : (p.m_Tindex.empty() ? 0 : p.m_Tindex[c]);
            const std::array<int32_t, 3> tmp{v, n, t};
            auto found = new_indices.find(tmp);
            if (found == new_indices.end()) {
                found = new_indices.emplace(tmp, uint32_t(mesh.m_pos.size() / 3)).first;
                const float* pos = &m_positions[size_t(v) * 4];
                mesh.m_pos.insert(mesh.m_pos.end(), pos, pos + 3);
                const float* nrm = &normals[size_t(n) * 3];
                mesh.m_norm.insert(mesh.m_norm.end(), nrm, nrm + 3);
                if (tex) {
                    const float* uv = &m_texcoords[size_t(t) * 2];
                    mesh.m_tex0.insert(mesh.m_tex0.end(), uv, uv + 2);
                }
            }
            assert(new_indices.find(tmp) != new_indices.end());
            mesh.m_elem.push_back(found->second);
        }
    }
    assert(!(mesh.m_pos.size() % 3));
    assert(!(mesh.m_norm.size() % 3));
    assert(!(mesh.m_tex0.size() % 2));
    if (mesh.m_matranges.empty())
        mesh.m_matranges.emplace_back(0, 0);
    mesh.m_matranges.emplace_back(uint32_t(mesh.m_elem.size()), -1);

    mesh.m_flags = T_NORMALS_BIT;
    if (tex)
        mesh.m_flags |= T_DTEX_BIT;
    if (any_material)
        mesh.m_flags |= T_MATERIALS_BIT;
}

cMeshObj* ObjLoader::create(const std::string& name)
{
    const std::string fullpath = cResourcePath::get_instance()->get_fullpath(name);
    if (fullpath.empty()) {
        std::cerr << "# ERROR - couldn't find " << name << " from ObjLoader::create" << std::endl;
        vnt::fatal_exit(-1);
    }
    cObjLoader loader;
    loader.load_file(fullpath);
    loader.fix_texcoords();
    loader.triangulate();
    std::unique_ptr<cMeshObj> mesh(new cMeshObj());
    loader.convert(*mesh);
    for (cMaterial_GL& material : mesh->m_materials)
        material.load_textures();
    return mesh.release();
}
