// Builds the fuzzers' seed corpora: the hand-made seeds, and inputs cut from the generated
// content (meshes as whole files and as bare payloads, meshes written out as OBJ/MTL text, the
// MIDI file, the marker script, the camera paths).
//   fuzz_make_corpus <hand-made seeds> <data folder> <output folder>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fatal.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t MAX_MESH_FILE = 32 * 1024;    // compressed meshes taken as seeds
constexpr size_t MAX_MESH_PAYLOAD = 64 * 1024; // payloads taken as seeds
constexpr size_t MAX_OBJ_TEXT = 8 * 1024;      // meshes written out as OBJ text
constexpr int MAX_OBJ_SEEDS = 16;

using tBytes = std::vector<uint8_t>;

tBytes read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return tBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_file(const fs::path& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    return bool(out);
}

// "models/ganesh/frame.bzobj" under data/ becomes "models_ganesh_frame".
std::string seed_name(const fs::path& data, const fs::path& file)
{
    std::string name = fs::relative(file, data).replace_extension().generic_string();
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return name;
}

std::vector<fs::path> files_with(const fs::path& dir, const std::string& ext)
{
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return out;
    for (const auto& entry : fs::recursive_directory_iterator(dir, ec)) {
        if (entry.is_regular_file() && entry.path().extension() == ext)
            out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The payload of a compressed mesh file; empty when it does not inflate.
tBytes inflate(const tBytes& file)
{
    if (file.size() < 8)
        return {};
    const uint32_t P = uint32_t(file[0]) | uint32_t(file[1]) << 8 | uint32_t(file[2]) << 16 |
                       uint32_t(file[3]) << 24;
    if (P > MAX_MESH_PAYLOAD)
        return {};
    tBytes payload(P);
    uLongf length = P;
    if (uncompress(payload.data(), &length, file.data() + 8, uLong(file.size() - 8)) != Z_OK)
        return {};
    payload.resize(length);
    return payload;
}

// A mesh as OBJ text, a zero byte and the MTL text of its material table.
std::string as_obj(const cMeshObj& mesh)
{
    std::ostringstream obj, mtl;
    const bool tex = mesh.checktypebit(iMeshType::T_DTEX_BIT);
    const bool norm = mesh.checktypebit(iMeshType::T_NORMALS_BIT);
    obj << "mtllib mesh.mtl\n";
    for (size_t i = 0; i + 2 < mesh.m_pos.size(); i += 3)
        obj << "v " << mesh.m_pos[i] << " " << mesh.m_pos[i + 1] << " " << mesh.m_pos[i + 2]
            << "\n";
    for (size_t i = 0; tex && i + 1 < mesh.m_tex0.size(); i += 2)
        obj << "vt " << mesh.m_tex0[i] << " " << mesh.m_tex0[i + 1] << "\n";
    for (size_t i = 0; norm && i + 2 < mesh.m_norm.size(); i += 3)
        obj << "vn " << mesh.m_norm[i] << " " << mesh.m_norm[i + 1] << " " << mesh.m_norm[i + 2]
            << "\n";
    size_t range = 0;
    for (size_t i = 0; i + 2 < mesh.m_elem.size(); i += 3) {
        while (range + 1 < mesh.m_matranges.size() && mesh.m_matranges[range].first <= i) {
            const int32_t m = mesh.m_matranges[range].second;
            if (m >= 0 && size_t(m) < mesh.m_materials.size())
                obj << "usemtl " << mesh.m_materials[size_t(m)].m_name << "\n";
            ++range;
        }
        obj << "f";
        for (size_t c = 0; c < 3; ++c) {
            const uint32_t v = mesh.m_elem[i + c] + 1;
            obj << " " << v;
            if (tex || norm)
                obj << "/" << (tex ? std::to_string(v) : "")
                    << (norm ? "/" + std::to_string(v) : "");
        }
        obj << "\n";
    }
    for (const cMaterial_GL& m : mesh.m_materials) {
        mtl << "newmtl " << m.m_name << "\n"
            << "Ka " << m.m_ambient[0] << " " << m.m_ambient[1] << " " << m.m_ambient[2] << "\n"
            << "Kd " << m.m_diffuse[0] << " " << m.m_diffuse[1] << " " << m.m_diffuse[2] << "\n"
            << "Ks " << m.m_specular[0] << " " << m.m_specular[1] << " " << m.m_specular[2] << "\n"
            << "Ns " << m.m_shininess << "\nillum " << m.m_illum << "\nd " << m.m_dissolve
            << "\nNi " << m.m_optical_density << "\n";
        if (!m.m_tex_diffuse.empty())
            mtl << "map_Kd " << m.m_tex_diffuse << "\n";
        if (!m.m_tex_transparency.empty())
            mtl << "map_d " << m.m_tex_transparency << "\n";
    }
    return obj.str() + '\0' + mtl.str();
}

struct sCorpus
{
    fs::path out;
    int written = 0;

    void add(const std::string& reader, const std::string& name, const void* data, size_t size)
    {
        const fs::path dir = out / reader;
        fs::create_directories(dir);
        if (write_file(dir / name, data, size))
            ++written;
        else
            std::cerr << "## ERROR: cannot write " << (dir / name).string() << std::endl;
    }
    void add(const std::string& reader, const std::string& name, const tBytes& bytes)
    {
        add(reader, name, bytes.data(), bytes.size());
    }
};

void add_meshes(const fs::path& data, sCorpus& corpus)
{
    int obj_seeds = 0;
    for (const fs::path& file : files_with(data, ".bzobj")) {
        const tBytes bytes = read_file(file);
        const std::string name = seed_name(data, file);
        if (bytes.size() <= MAX_MESH_FILE) {
            tBytes seed{0};
            seed.insert(seed.end(), bytes.begin(), bytes.end());
            corpus.add("bzobj", "file_" + name, seed);
        }
        const tBytes payload = inflate(bytes);
        if (payload.empty())
            continue;
        tBytes seed{1};
        seed.insert(seed.end(), payload.begin(), payload.end());
        corpus.add("bzobj", "payload_" + name, seed);

        if (obj_seeds >= MAX_OBJ_SEEDS)
            continue;
        cMeshObj mesh;
        try {
            bobj_parse_payload(mesh, payload.data(), payload.size(), file.string());
        } catch (const vnt::fatal_error&) {
            continue; // the engine refuses it; the payload seed above still stands
        }
        const std::string text = as_obj(mesh);
        if (text.size() > MAX_OBJ_TEXT)
            continue;
        corpus.add("obj", name, text.data(), text.size());
        const size_t split = text.find('\0');
        corpus.add("mtl", name, text.data() + split + 1, text.size() - split - 1);
        ++obj_seeds;
    }
}

void add_plain(const fs::path& data, const fs::path& dir, const std::string& ext,
               const std::string& reader, sCorpus& corpus)
{
    for (const fs::path& file : files_with(dir, ext))
        corpus.add(reader, seed_name(data, file), read_file(file));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: fuzz_make_corpus <seeds folder> <data folder> <output folder>"
                  << std::endl;
        return 2;
    }
    const fs::path seeds = argv[1], data = argv[2];
    sCorpus corpus{argv[3]};
    std::cout.rdbuf(nullptr); // the mesh reader's progress lines

    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(seeds, ec)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path rel = fs::relative(entry.path(), seeds);
        corpus.add(rel.begin()->string(), "seed_" + entry.path().filename().string(),
                   read_file(entry.path()));
    }
    if (fs::is_directory(data, ec)) {
        add_meshes(data, corpus);
        add_plain(data, data / "music", ".mid", "midi", corpus);
        add_plain(data, data / "script", ".txt", "markers", corpus);
        add_plain(data, data / "models", ".txt", "campath", corpus);
    } else {
        std::cerr << "# warning: no generated content in " << data.string()
                  << " (build the data target); the corpus holds the hand-made seeds only"
                  << std::endl;
    }
    std::cerr << "# fuzz corpus: " << corpus.written << " seeds in " << corpus.out.string()
              << std::endl;
    return 0;
}
