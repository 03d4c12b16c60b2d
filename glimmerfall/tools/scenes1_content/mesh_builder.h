// The solids the scene content's models are made of, built through the engine's mesh builder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "math/vec3.h"
#include "mesh_files/bzobj/bzobj_builder.h"

namespace content {

using V3 = Vec3<float>;

// Surface colours of a material; illumination 0 is a flat emissive colour, 2 lit.
struct sMaterialDesc
{
    std::string name;
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    int illum = 2;
    std::string diffuse_map; // texture file name, may be empty
};

// The material as the mesh file stores it (ambient a quarter of the diffuse colour).
cMaterial_GL material_of(const sMaterialDesc& in_desc);

// The engine's mesh builder with the flat faces and the moves the solids below are made of.
class cSolidBuilder : public cBobjBuilder
{
public:
    using cBobjBuilder::begin_material;
    void begin_material(const sMaterialDesc& in_material)
    {
        begin_material(material_of(in_material));
    }

    // A flat triangle, counter-clockwise seen from the side its normal points to.
    void flat_triangle(const V3& in_a, const V3& in_b, const V3& in_c, const float in_uv[6]);
    // A flat quad a b c d (counter-clockwise), texture coordinates 0..1 over its corners.
    void flat_quad(const V3& in_a, const V3& in_b, const V3& in_c, const V3& in_d);

    // Moves every vertex by `in_offset`.
    void translate(const V3& in_offset);
    // Maps x, y and z onto the axes of a rotation (orthonormal, right-handed): positions and
    // normals turn together.
    void rotate(const V3& in_x, const V3& in_y, const V3& in_z);

    // Writes the compressed mesh file; false (with the reason on stderr) when it cannot.
    bool save(const std::string& in_path) const;
};

// Solids. Faceted ones have flat normals; smooth ones share their vertices.

// A box: centre, three half-axes (any orthogonal frame).
void add_box(cSolidBuilder& io_mesh, const V3& in_centre, const V3& in_ax, const V3& in_ay,
             const V3& in_az);
// A prism of `in_sides` faces around the segment a..b; `in_twist` turns its cross-section.
void add_beam(cSolidBuilder& io_mesh, const V3& in_a, const V3& in_b, float in_radius, int in_sides,
              float in_twist = 0.0f);
// A regular octahedron, corners on the axes of the frame (ax, ay, az give axis lengths).
void add_octahedron(cSolidBuilder& io_mesh, const V3& in_centre, const V3& in_ax, const V3& in_ay,
                    const V3& in_az);
// A double pyramid of `in_sides` around the axis a..b, widest (`in_radius`) at `in_waist`
// (0..1 along the axis): a crystal.
void add_bipyramid(cSolidBuilder& io_mesh, const V3& in_a, const V3& in_b, float in_radius,
                   int in_sides, float in_waist);
// A cone of `in_sides` from a base circle around `in_base` to `in_tip`; texture v runs from 0
// at the base to 1 at the tip.
void add_cone(cSolidBuilder& io_mesh, const V3& in_base, const V3& in_tip, float in_radius,
              int in_sides);
// An icosahedron subdivided `in_levels` times, projected on the sphere; smooth normals and
// spherical texture coordinates when `in_smooth`, else flat facets.
void add_icosphere(cSolidBuilder& io_mesh, const V3& in_centre, float in_radius, int in_levels,
                   bool in_smooth);
// The vertices and edges of the icosahedron subdivided `in_frequency` times per edge and
// projected on the unit sphere (a geodesic sphere).
void geodesic_sphere(int in_frequency, std::vector<V3>& out_nodes,
                     std::vector<std::pair<int, int>>& out_edges);
// A torus around the z axis: major radius R, minor radius r; smooth.
void add_torus(cSolidBuilder& io_mesh, float in_major, float in_minor, int in_segments,
               int in_sides);
// A smooth tube of radius `in_radius(s)` (s = 0..1 along the path) swept along a polyline
// with rotation-minimising frames; closed with caps at both ends.
void add_tube(cSolidBuilder& io_mesh, const std::vector<V3>& in_path,
              const std::function<float(float)>& in_radius, int in_sides);

} // namespace content
