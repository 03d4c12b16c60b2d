// Helpers of the mesh tests: little-endian payload building, the file container around a
// payload, and small meshes with known answers.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh_files/mesh_obj.h"

namespace mesh_test {

// Bytes written exactly as the format lays them out, so tests can also write lies.
struct sBytes
{
    std::vector<uint8_t> b;

    sBytes& u8(uint8_t v)
    {
        b.push_back(v);
        return *this;
    }
    sBytes& s32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    sBytes& f32(float f)
    {
        int32_t bits;
        std::memcpy(&bits, &f, 4);
        return s32(bits);
    }
    sBytes& text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

// A material record with the given name; colours are distinct per field.
inline void material_record(sBytes& out, const std::string& name, const std::string& diffuse_map,
                            int illum)
{
    out.u8(uint8_t(name.size())).u8(0).u8(uint8_t(diffuse_map.size())).u8(0).u8(0).u8(0);
    out.text(name).text(diffuse_map);
    for (float base : {0.1f, 0.2f, 0.3f})
        for (int c = 0; c < 4; ++c)
            out.f32(base + 0.01f * float(c));
    out.f32(12.0f).s32(illum).f32(0.75f).f32(1.5f);
}

// The container: P, Z and the zlib stream. `declared_payload` overrides P when not negative.
inline std::vector<uint8_t> container(const std::vector<uint8_t>& payload,
                                      int64_t declared_payload = -1)
{
    uLongf length = compressBound(uLong(payload.size()));
    std::vector<uint8_t> z(length);
    compress2(z.data(), &length, payload.data(), uLong(payload.size()), 9);
    z.resize(length);
    sBytes out;
    out.s32(int32_t(declared_payload >= 0 ? declared_payload : int64_t(payload.size())));
    out.s32(int32_t(z.size()));
    out.b.insert(out.b.end(), z.begin(), z.end());
    return out.b;
}

// An axis-aligned cube of side 2 around the origin, every face with its own four corners and
// a centre, drawn as four triangles around the centre (so each corner touches two triangles
// of each of its three faces). Counter-clockwise from outside.
inline void fanned_cube(cMeshObj_data& mesh)
{
    mesh.m_pos.clear();
    mesh.m_elem.clear();
    for (int axis = 0; axis < 3; ++axis) {
        for (int sign : {1, -1}) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const uint32_t base = uint32_t(mesh.m_pos.size() / 3);
            const float corners[5][2] = {{0, 0}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& c : corners) {
                float p[3];
                p[axis] = float(sign);
                p[u] = c[0] * float(sign);
                p[v] = c[1];
                mesh.m_pos.insert(mesh.m_pos.end(), p, p + 3);
            }
            for (uint32_t k = 0; k < 4; ++k)
                mesh.m_elem.insert(mesh.m_elem.end(), {base, base + 1 + k, base + 1 + (k + 1) % 4});
        }
    }
    mesh.m_norm.assign(mesh.m_pos.size(), 0.0f);
}

// A scratch folder for one test process. Death-test children (started afresh by the
// "threadsafe" style) find their parent's folder through `env` instead of making their own, so
// nothing is left behind; only the process that made it removes it.
class cScratchDir
{
public:
    explicit cScratchDir(const char* env) : m_env(env)
    {
        if (const char* inherited = std::getenv(env)) {
            m_path = inherited;
            return;
        }
        std::string tmpl = "/tmp/vnt_" + std::string(env) + "_XXXXXX";
        m_path = mkdtemp(tmpl.data());
        setenv(env, m_path.c_str(), 1);
        m_owner = true;
    }
    ~cScratchDir()
    {
        if (!m_owner)
            return;
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
        unsetenv(m_env.c_str());
    }
    bool owner() const { return m_owner; }
    const std::string& path() const { return m_path; }

private:
    std::string m_env;
    std::string m_path;
    bool m_owner = false;
};

} // namespace mesh_test
