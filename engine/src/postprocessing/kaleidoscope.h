// The 2D kaleidoscope pass: a finished picture drawn onto a flat "mirror" mesh whose texture
// coordinates fold, mirror or repeat parts of it. Type 0 is a plain copy, 1 to 7 pick a mesh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "singleton.h"

class iMesh;
class iRenderTarget;

class cPostKaleidoscope : public vnt::tSingleton<cPostKaleidoscope>
{
public:
    static constexpr int NUM_MIRRORS = 7;
    // The mesh files, in type order (type n draws the n-th).
    static const char* const mirror_files[NUM_MIRRORS];

    // Draws `source` into the bound target or the window through mirror mesh `type` (types
    // beyond the last mesh use the last). Fixed-function, or through the named shader (one
    // that samples unit 0 at texture coordinates 0 through its texture matrix), so that a
    // colour pass can ride along for free; shader, matrices and enables are restored afterwards.
    void apply(iRenderTarget& source, uint8_t type, const char* in_shader = nullptr);
    // Clears `target` to transparent black and applies the pass into it.
    void process(iRenderTarget& source, iRenderTarget& target, uint8_t type,
                 const char* in_shader = nullptr);

    size_t mesh_count() const { return m_meshes.size(); }

private:
    friend class vnt::tSingleton<cPostKaleidoscope>;
    // Loads the seven mirror meshes through the mesh manager.
    cPostKaleidoscope();
    ~cPostKaleidoscope() = default;

    std::vector<iMesh*> m_meshes; // owned by the mesh manager
};
