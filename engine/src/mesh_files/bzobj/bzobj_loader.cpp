// Compressed binary mesh reader (see bzobj_loader.h). Every read goes through a cursor bounded
// by the payload; counts, indices and names that do not fit are rejected before anything is
// allocated or copied.
#include "mesh_files/bzobj/bzobj_loader.h"

#include <zlib.h>

#include <cassert>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "fatal.h"
#include "mesh_files/mesh_obj.h"
#include "resource_path.h"

namespace {

// Deflate cannot expand data by more than about 1032:1; a declared size beyond that cannot be
// reached and is not allocated.
constexpr uint64_t MAX_INFLATE_RATIO = 1040;
constexpr size_t MATERIAL_RECORD_MIN = 6 + 3 * 16 + 4 * 4;

[[noreturn]] void reject(const std::string& source, const std::string& why)
{
    std::cerr << "## ERROR in bobj_load_compressed: \"" << source << "\": " << why << std::endl;
    vnt::fatal_exit(-1);
}

// Little-endian reads from a buffer that never step past its end.
class cByteCursor
{
public:
    cByteCursor(const uint8_t* data, size_t size, const std::string& source)
        : m_data(data), m_size(size), m_source(source)
    {
    }

    size_t remaining() const { return m_size - m_pos; }

    void need(uint64_t bytes, const char* what) const
    {
        if (bytes > remaining())
            reject(m_source, std::string("payload ends inside ") + what + " (" +
                                 std::to_string(bytes) + " bytes needed, " +
                                 std::to_string(remaining()) + " left)");
    }
    uint8_t u8(const char* what)
    {
        need(1, what);
        return m_data[m_pos++];
    }
    int8_t s8(const char* what) { return int8_t(u8(what)); }
    uint32_t u32(const char* what)
    {
        need(4, what);
        const uint8_t* p = m_data + m_pos;
        m_pos += 4;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    int32_t s32(const char* what) { return int32_t(u32(what)); }
    float f32(const char* what)
    {
        const uint32_t bits = u32(what);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    void floats(std::vector<float>& out, size_t count, const char* what)
    {
        need(uint64_t(count) * 4, what);
        out.resize(count);
        for (size_t i = 0; i < count; ++i)
            out[i] = f32(what);
    }
    // `size` bytes taken as a zero-terminated string: a zero byte ends it early.
    std::string name(size_t size, const char* what)
    {
        need(size, what);
        const char* p = reinterpret_cast<const char*>(m_data + m_pos);
        m_pos += size;
        return std::string(p, strnlen(p, size));
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    const std::string& m_source;
};

void read_index_planes(cMeshObj& mesh, cByteCursor& in, int32_t no_verts, int32_t no_faces,
                       const std::string& source)
{
    // Three planes of no_faces values each; corner k of face i is at plane k, entry i.
    std::vector<int32_t> planes(size_t(no_faces) * 3);
    for (int32_t& v : planes)
        v = in.s32("the index planes");
    mesh.m_elem.resize(size_t(no_faces) * 3);
    for (int k = 0; k < 3; ++k) {
        uint32_t sum = 0; // wrapping 32-bit running sum
        const int32_t* plane = &planes[size_t(k) * size_t(no_faces)];
        for (int32_t i = 0; i < no_faces; ++i) {
            sum += uint32_t(plane[i]);
            const int32_t index = int32_t(sum);
            if (index < 0 || index >= no_verts)
                reject(source, "face " + std::to_string(i) + " corner " + std::to_string(k) +
                                   " uses vertex " + std::to_string(index) + " of " +
                                   std::to_string(no_verts));
            mesh.m_elem[size_t(i) * 3 + size_t(k)] = uint32_t(index);
        }
    }
}

// Marked faces switch to the next material of the table, in table order.
int32_t read_material_markers(cMeshObj& mesh, cByteCursor& in, int32_t no_faces,
                              const std::string& source)
{
    mesh.m_matranges.emplace_back(0, 0);
    int32_t material = 0;
    for (int32_t i = 0; i < no_faces; ++i) {
        const int32_t marker = in.s32("the material markers");
        if (i == 0)
            continue;
        if (marker < 0)
            reject(source, "material marker of face " + std::to_string(i) + " is negative (" +
                               std::to_string(marker) + "): input_d_matID[i] >= 0");
        if (marker != 0)
            mesh.m_matranges.emplace_back(uint32_t(i) * 3, ++material);
    }
    mesh.m_matranges.emplace_back(uint32_t(no_faces) * 3, -1);
    return material;
}

void read_material(cMeshObj& mesh, cByteCursor& in, const std::string& source)
{
    static const char* size_names[6] = {"matNameSize",  "ambNameSize",  "diffNameSize",
                                        "specNameSize", "bumpNameSize", "transNameSize"};
    int sizes[6];
    for (int i = 0; i < 6; ++i) {
        sizes[i] = in.s8("a material record");
        if (sizes[i] < 0)
            reject(source,
                   std::string("material name size below zero: ") + size_names[i] + " >= 0");
    }
    cMaterial_GL m;
    m.m_name = in.name(size_t(sizes[0]), "a material name");
    m.m_tex_ambient = in.name(size_t(sizes[1]), "a material name");
    m.m_tex_diffuse = in.name(size_t(sizes[2]), "a material name");
    m.m_tex_specular = in.name(size_t(sizes[3]), "a material name");
    m.m_tex_bump = in.name(size_t(sizes[4]), "a material name");
    m.m_tex_transparency = in.name(size_t(sizes[5]), "a material name");
    in.need(3 * 16 + 4 * 4, "a material record");
    for (float* colour : {m.m_ambient, m.m_diffuse, m.m_specular}) {
        for (int c = 0; c < 4; ++c)
            colour[c] = in.f32("a material colour");
    }
    for (float& e : m.m_emission)
        e = 0.0f;
    m.m_shininess = in.f32("a material");
    m.m_illum = in.s32("a material");
    m.m_dissolve = in.f32("a material");
    m.m_optical_density = in.f32("a material");
    mesh.m_materials.push_back(m);
}

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "# ERROR opening file " << path << " in "
                  << "bobj_load_compressed" << std::endl;
        vnt::fatal_exit(-1);
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

} // namespace

void bobj_parse_payload(cMeshObj& mesh, const uint8_t* payload, size_t size,
                        const std::string& source)
{
    mesh.m_pos.clear();
    mesh.m_norm.clear();
    mesh.m_tex0.clear();
    mesh.m_elem.clear();
    mesh.m_matranges.clear();
    mesh.m_materials.clear();

    cByteCursor in(payload, size, source);
    mesh.m_flags = in.u8("the header");
    const int32_t no_verts = in.s32("the header");
    const int32_t no_faces = in.s32("the header");
    const int32_t no_materials = in.s32("the header");
    if (no_verts <= 0)
        reject(source, "no_verts > 0 (" + std::to_string(no_verts) + ")");
    if (no_faces <= 0)
        reject(source, "no_faces > 0 (" + std::to_string(no_faces) + ")");
    if (no_materials < 0)
        reject(source, "no_materials >= 0 (" + std::to_string(no_materials) + ")");

    // The counts must fit the payload before anything is sized by them.
    const bool normals = mesh.checktypebit(iMeshType::T_NORMALS_BIT);
    const bool texcoords = mesh.checktypebit(iMeshType::T_DTEX_BIT);
    const uint64_t vertex_bytes =
        uint64_t(no_verts) * (12 + (normals ? 12 : 0) + (texcoords ? 8 : 0));
    const uint64_t needed =
        vertex_bytes + uint64_t(no_faces) * 16 + uint64_t(no_materials) * MATERIAL_RECORD_MIN;
    if (needed > in.remaining())
        reject(source, "counts (" + std::to_string(no_verts) + " vertices, " +
                           std::to_string(no_faces) + " faces, " + std::to_string(no_materials) +
                           " materials) need at least " + std::to_string(needed) +
                           " bytes, the payload holds " + std::to_string(in.remaining()));

    in.floats(mesh.m_pos, size_t(no_verts) * 3, "the positions");
    if (normals)
        in.floats(mesh.m_norm, size_t(no_verts) * 3, "the normals");
    if (texcoords)
        in.floats(mesh.m_tex0, size_t(no_verts) * 2, "the texture coordinates");
    read_index_planes(mesh, in, no_verts, no_faces, source);
    const int32_t last_material = read_material_markers(mesh, in, no_faces, source);
    for (int32_t i = 0; i < no_materials; ++i)
        read_material(mesh, in, source);

    // Drawing per range binds material k for the k-th change: the table must hold them all.
    if (mesh.checktypebit(iMeshType::T_MATERIALS_BIT) && last_material >= no_materials)
        reject(source, "material changes need " + std::to_string(last_material + 1) +
                           " materials, the table holds " + std::to_string(no_materials));
}

void bobj_load_compressed(cMeshObj& mesh, const uint8_t* bytes, size_t size,
                          const std::string& source)
{
    if (size < 8)
        reject(source, "file of " + std::to_string(size) + " bytes has no header");
    cByteCursor header(bytes, size, source);
    const uint32_t P = header.u32("the header");
    const uint32_t Z = header.u32("the header");
    if (uint64_t(Z) > size - 8)
        reject(source, "compressed stream of " + std::to_string(Z) + " bytes, the file holds " +
                           std::to_string(size - 8));

    const uint64_t reachable = uint64_t(Z) * MAX_INFLATE_RATIO + 1024;
    uLongf length = uLongf(std::min<uint64_t>(P, reachable));
    std::vector<uint8_t> payload;
    try {
        payload.resize(length);
    } catch (const std::bad_alloc&) {
        reject(source, "cannot hold a payload of " + std::to_string(length) + " bytes");
    }
    const int result = uncompress(payload.data(), &length, bytes + 8, uLong(Z));
    if (result != Z_OK) {
        std::cerr << "# warning: zlib caused an error: " << result << std::endl;
        vnt::fatal_exit(1);
    }
    // Reads are bounded by what the stream really held, which is at most P.
    bobj_parse_payload(mesh, payload.data(), size_t(length), source);
}

void bobj_load_compressed(cMeshObj& mesh, const std::string& path)
{
    const std::vector<uint8_t> bytes = read_file(path);
    bobj_load_compressed(mesh, bytes.data(), bytes.size(), path);
}

cMeshObj* BzObjLoader::create(const std::string& name)
{
    std::unique_ptr<cMeshObj> mesh(new cMeshObj());
    const std::string fullpath = cResourcePath::get_instance()->get_fullpath(name);
    if (fullpath.empty())
        std::cerr << "# ERROR - couldn't find " << name << " from BzObjLoader::create" << std::endl;
    bobj_load_compressed(*mesh, fullpath);
    for (cMaterial_GL& material : mesh->m_materials)
        material.load_textures();
    return mesh.release();
}
