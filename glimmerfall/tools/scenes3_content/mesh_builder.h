// Procedural geometry for the cave, mushroom and sculpture generators: a triangle list with
// normals, texture coordinates and material ranges, filled through an affine transform stack
// from parametric surfaces and simple solids, then written in the compressed mesh format.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "math/vec3.h"
#include "mesh_files/bzobj/bzobj_builder.h"
#include "mesh_files/material.h"

namespace content {

using vec = Vec3<double>;

constexpr double PI = 3.14159265358979323846;

inline vec lerp(const vec& a, const vec& b, double t)
{
    return a + (b - a) * t;
}

// Affine map: a 3x3 linear part (row-major) and a translation.
struct sXform
{
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    vec t;

    vec point(const vec& p) const;
    double determinant() const;
    vec direction(const vec& d) const;
    // Normals go through the inverse transpose of the linear part.
    vec normal(const vec& n) const;
    // this after `b`: (this * b)(p) = this(b(p)).
    sXform operator*(const sXform& b) const;

    static sXform translate(const vec& d);
    static sXform scale(double sx, double sy, double sz);
    static sXform scale(double s) { return scale(s, s, s); }
    // Right-handed rotation by `deg` degrees about a unit axis.
    static sXform rotate(double deg, const vec& axis);
    // Columns: where the x, y and z axes go.
    static sXform basis(const vec& x, const vec& y, const vec& z, const vec& origin);
};

// A material of one texture (the only map the scenes bind); colours for whoever draws it with
// its materials.
cMaterial_GL make_material(const std::string& name, const std::string& texture,
                           const float diffuse[4], int illum = 2);

// The engine's mesh builder with a transform stack, parametric surfaces and simple solids.
class cShapeBuilder : public cBobjBuilder
{
public:
    // Transforms applied to everything added until the matching pop (innermost last). A
    // singular or mirroring one is a mistake of the generator: save() then refuses the mesh.
    void push(const sXform& x);
    void pop();

    // A vertex through the current transform.
    uint32_t vertex(const vec& p, const vec& n, double u, double v);

    // A grid over (u, v) in [0, 1]^2 of nu x nv cells. Normals from the surface's derivatives
    // (cross of d/du and d/dv, reversed with `flip`); texture coordinates map (u, v) onto the
    // rectangle `uv` = (u0, v0, u1, v1) of the texture.
    void surface(int nu, int nv, const std::function<vec(double, double)>& f, bool flip = false,
                 const double uv[4] = nullptr);
    // Surface of revolution about +y: profile (radius, height) of s in [0, 1], s = 0 first.
    void revolve(int around, int along,
                 const std::function<void(double s, double& r, double& y)>& profile,
                 bool flip = false, const double uv[4] = nullptr);
    // Ellipsoid with radii (rx, ry, rz) about the origin.
    void ellipsoid(const vec& radii, int around, int along, const double uv[4] = nullptr);
    // A tube along the curve c(s), s in [0, 1], of radius r(s); frames carried along the
    // curve without twist; ends capped when the radius there is not zero.
    void tube(const std::function<vec(double)>& c, const std::function<double(double)>& r,
              int around, int along, const double uv[4] = nullptr);
    // Box from `lo` to `hi`.
    void box(const vec& lo, const vec& hi, const double uv[4] = nullptr);
    // Flat ring in the x-y plane facing +z, radii r0 < r1 (r0 = 0: a disc), texture
    // coordinates planar over the outer square.
    void ring(double r0, double r1, int segments, const double uv[4] = nullptr);
    // A flat prism: the 2D outline (counter-clockwise, convex or star-shaped about its first
    // point's centroid) in x-y extruded from z = 0 to z = depth, planar texture coordinates
    // over the square `extent` around the origin.
    void prism(const std::vector<vec>& outline, double depth, double extent,
               const double uv[4] = nullptr);

    // Turns the normals of the vertices from `first` on to face away from `centre` (given in
    // the current transform's space), and the winding of their triangles with them, for closed
    // shapes whose parametrisation runs either way.
    void face_away_from(size_t first, const vec& centre);

    bool save(const std::string& path, std::string& error) const;

private:
    sXform current() const;

    std::vector<sXform> m_stack;
    bool m_bad_transform = false; // a singular or mirroring transform was pushed
};

// Writes a camera path: one key per line, eye, centre and up in the file's z-up axes, each
// given here in the demo's y-up axes.
struct sCamKey
{
    vec eye, centre, up;
};
bool write_cam_path(const std::string& path, const std::vector<sCamKey>& keys);

} // namespace content
