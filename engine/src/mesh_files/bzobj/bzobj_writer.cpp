// Compressed binary mesh writer (see bzobj_writer.h).
#include "mesh_files/bzobj/bzobj_writer.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "mesh_files/mesh_obj.h"

namespace {

class cByteSink
{
public:
    explicit cByteSink(std::vector<uint8_t>& out) : m_out(out) {}
    void u8(uint8_t v) { m_out.push_back(v); }
    void u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(uint8_t(v >> (8 * i)));
    }
    void s32(int32_t v) { u32(uint32_t(v)); }
    void f32(float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        u32(bits);
    }
    void bytes(const std::string& s) { m_out.insert(m_out.end(), s.begin(), s.end()); }

private:
    std::vector<uint8_t>& m_out;
};

// Face i starts material range k when a range begins at 3 i; the table lists, in order, the
// material of every range. Ranges already numbered 0, 1, 2, ... keep the table as it is.
bool plan_materials(const cMeshObj& mesh, std::vector<int32_t>& markers,
                    std::vector<const cMaterial_GL*>& table, std::string& error)
{
    const size_t faces = mesh.m_elem.size() / 3;
    markers.assign(faces, 0);
    table.clear();
    if (mesh.m_matranges.empty()) {
        for (const cMaterial_GL& m : mesh.m_materials)
            table.push_back(&m);
        return true;
    }
    // Ranges that hold no face cannot be written; they draw nothing either.
    std::vector<tMatRange> ranges;
    for (size_t i = 0; i + 1 < mesh.m_matranges.size(); ++i) {
        const tMatRange& r = mesh.m_matranges[i];
        const uint32_t end = mesh.m_matranges[i + 1].first;
        if (r.first % 3 || end % 3 || end < r.first || end > mesh.m_elem.size()) {
            error = "material range " + std::to_string(i) + " is not made of whole triangles";
            return false;
        }
        if (end > r.first)
            ranges.push_back(r);
    }
    if (ranges.empty() || ranges.front().first != 0) {
        error = "material ranges do not start at the first triangle";
        return false;
    }
    bool canonical = true;
    for (size_t k = 0; k < ranges.size(); ++k) {
        if (k > 0)
            markers[ranges[k].first / 3] = 1;
        canonical = canonical && ranges[k].second == int32_t(k);
    }
    if (canonical && mesh.m_materials.size() >= ranges.size()) {
        for (const cMaterial_GL& m : mesh.m_materials)
            table.push_back(&m);
        return true;
    }
    if (mesh.m_materials.empty())
        return true;
    for (const tMatRange& r : ranges) {
        if (r.second < 0 || size_t(r.second) >= mesh.m_materials.size()) {
            error = "material range uses material " + std::to_string(r.second) + " of " +
                    std::to_string(mesh.m_materials.size());
            return false;
        }
        table.push_back(&mesh.m_materials[size_t(r.second)]);
    }
    return true;
}

bool check_lists(const cMeshObj& mesh, std::string& error)
{
    const size_t vertices = mesh.m_pos.size() / 3;
    if (vertices == 0 || mesh.m_pos.size() % 3 || vertices > 0x7FFFFFFF) {
        error = "position list does not hold whole vertices";
        return false;
    }
    if (mesh.m_elem.empty() || mesh.m_elem.size() % 3 || mesh.m_elem.size() / 3 > 0x7FFFFFFF) {
        error = "index list does not hold whole triangles";
        return false;
    }
    if (mesh.checktypebit(iMeshType::T_NORMALS_BIT) && mesh.m_norm.size() != vertices * 3) {
        error = "normal list does not match the positions";
        return false;
    }
    if (mesh.checktypebit(iMeshType::T_DTEX_BIT) && mesh.m_tex0.size() != vertices * 2) {
        error = "texture-coordinate list does not match the positions";
        return false;
    }
    for (uint32_t i : mesh.m_elem) {
        if (i >= vertices) {
            error = "index " + std::to_string(i) + " outside the vertex list";
            return false;
        }
    }
    return true;
}

bool write_material(cByteSink& out, const cMaterial_GL& m, std::string& error)
{
    const std::string* names[6] = {&m.m_name,         &m.m_tex_ambient, &m.m_tex_diffuse,
                                   &m.m_tex_specular, &m.m_tex_bump,    &m.m_tex_transparency};
    for (const std::string* name : names) {
        if (name->size() > 127) {
            error = "name longer than 127 bytes: \"" + *name + "\"";
            return false;
        }
    }
    for (const std::string* name : names)
        out.u8(uint8_t(name->size()));
    for (const std::string* name : names)
        out.bytes(*name);
    for (const float* colour : {m.m_ambient, m.m_diffuse, m.m_specular}) {
        for (int c = 0; c < 4; ++c)
            out.f32(colour[c]);
    }
    out.f32(m.m_shininess);
    out.s32(m.m_illum);
    out.f32(m.m_dissolve);
    out.f32(m.m_optical_density);
    return true;
}

} // namespace

bool bobj_write_payload(const cMeshObj& mesh, std::vector<uint8_t>& bytes, std::string& error)
{
    bytes.clear();
    if (!check_lists(mesh, error))
        return false;
    std::vector<int32_t> markers;
    std::vector<const cMaterial_GL*> table;
    if (!plan_materials(mesh, markers, table, error))
        return false;
    size_t changes = 0;
    for (int32_t m : markers)
        changes += m != 0;
    if (mesh.checktypebit(iMeshType::T_MATERIALS_BIT) && changes >= table.size()) {
        error = "drawing per material needs " + std::to_string(changes + 1) +
                " materials, the mesh has " + std::to_string(table.size());
        return false;
    }

    const uint8_t flags = mesh.m_flags;
    const size_t vertices = mesh.m_pos.size() / 3;
    const size_t faces = mesh.m_elem.size() / 3;
    cByteSink out(bytes);
    out.u8(flags);
    out.s32(int32_t(vertices));
    out.s32(int32_t(faces));
    out.s32(int32_t(table.size()));
    for (float f : mesh.m_pos)
        out.f32(f);
    if (flags & iMeshType::T_NORMALS_BIT) {
        for (float f : mesh.m_norm)
            out.f32(f);
    }
    if (flags & iMeshType::T_DTEX_BIT) {
        for (float f : mesh.m_tex0)
            out.f32(f);
    }
    // Three planes, each delta-coded against the previous face of the same plane.
    for (size_t k = 0; k < 3; ++k) {
        uint32_t previous = 0;
        for (size_t i = 0; i < faces; ++i) {
            const uint32_t index = mesh.m_elem[i * 3 + k];
            out.u32(index - previous);
            previous = index;
        }
    }
    for (int32_t m : markers)
        out.s32(m);
    for (const cMaterial_GL* m : table) {
        if (!write_material(out, *m, error))
            return false;
    }
    return true;
}

bool bobj_write_compressed(const cMeshObj& mesh, std::vector<uint8_t>& out, std::string& error)
{
    std::vector<uint8_t> payload;
    if (!bobj_write_payload(mesh, payload, error))
        return false;
    uLongf length = compressBound(uLong(payload.size()));
    out.assign(8 + size_t(length), 0);
    const int result = compress2(out.data() + 8, &length, payload.data(), uLong(payload.size()), 9);
    if (result != Z_OK) {
        error = "zlib refused the payload: " + std::to_string(result);
        return false;
    }
    out.resize(8 + size_t(length));
    const uint32_t sizes[2] = {uint32_t(payload.size()), uint32_t(length)};
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < 4; ++i)
            out[size_t(s) * 4 + size_t(i)] = uint8_t(sizes[s] >> (8 * i));
    }
    return true;
}

bool bobj_save(const cMeshObj& mesh, const std::string& path, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!bobj_write_compressed(mesh, bytes, error))
        return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    // A per-process name: two builds may regenerate the same mesh at once.
    const fs::path tmp = target.parent_path() /
                         (".tmp_" + std::to_string(::getpid()) + "_" + target.filename().string());
    {
        std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!file) {
            error = "cannot write " + tmp.string();
            return false;
        }
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        error = "cannot rename " + tmp.string() + ": " + ec.message();
        return false;
    }
    return true;
}
