// The 2D kaleidoscope pass: a finished picture drawn onto a flat "mirror" mesh whose texture
// coordinates fold, mirror or repeat parts of it. Type 0 is a plain copy, 1 to 7 pick a mesh.
// A sheet of many small cells is drawn once into a fold map (where each pixel reads the
// picture) and then read through it in one full-screen pass: the same pixels, without a
// software rasteriser setting up thousands of triangles every frame.
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
    // From this many triangles on a sheet is read through its fold map.
    static constexpr size_t FOLD_MAP_TRIANGLES = 256;
    // Fold maps kept (the least recently made goes first).
    static constexpr size_t MAX_FOLD_MAPS = 4;
    size_t fold_map_count() const { return m_maps.size(); }

private:
    friend class vnt::tSingleton<cPostKaleidoscope>;
    // Loads the seven mirror meshes through the mesh manager.
    cPostKaleidoscope();
    ~cPostKaleidoscope();

    // A sheet's fold map for one picture size and one size of the target: a float texture of
    // the target's size holding the sheet's texture coordinates, a large negative where it
    // has none.
    struct sFoldMap
    {
        size_t mesh;
        int source_width, source_height, width, height;
        unsigned int texture, framebuffer;
    };
    // Draws mesh `in_mesh` over the bound target with `source`'s pixels as its coordinates.
    void draw_sheet(iRenderTarget& source, size_t in_mesh);
    // The fold map of mesh `in_mesh` for `source` and the bound target's viewport, made at the
    // first call; 0 where the driver has no float targets (the sheet is then drawn as it is).
    unsigned int fold_map(iRenderTarget& source, size_t in_mesh);
    // The pass through a fold map.
    void draw_folded(iRenderTarget& source, unsigned int in_map);

    std::vector<iMesh*> m_meshes; // owned by the mesh manager
    std::vector<sFoldMap> m_maps; // oldest first
};
