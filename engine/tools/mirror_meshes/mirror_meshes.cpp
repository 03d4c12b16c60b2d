// Writes the seven mirror sheets of the 2D kaleidoscope: sheets over 0..1 in x and z whose
// texture coordinates fold, mirror and repeat the picture. Usage: mirror_meshes <folder>
#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <string>

#include "mesh_files/bzobj/bzobj_writer.h"
#include "mesh_files/mesh_obj.h"
#include "sheet_builder.h"

using mirrors::cSheet;
using mirrors::sCorner;

namespace {

constexpr double PI = 3.14159265358979323846;
// The demo's screen is 16:9; round shapes are laid out in screen proportions so they stay
// round once the sheet covers the screen.
constexpr double ASPECT = 16.0 / 9.0;

// A mirrored triangle wave: 0..1 over [0, 1], back to 0 over [1, 2], and so on.
double fold(double t)
{
    const double m = std::fmod(std::fabs(t), 2.0);
    return m <= 1.0 ? m : 2.0 - m;
}

// A grid of cells over the square; `map` gives the texture coordinate of a grid point, which
// must be affine inside every cell (folds fall on cell borders).
void add_grid(cSheet& sheet, int columns, int rows,
              const std::function<void(double x, double z, double& u, double& v)>& map)
{
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            std::vector<sCorner> quad;
            for (auto [di, dj] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                sCorner c;
                c.x = double(i + di) / columns;
                c.z = double(j + dj) / rows;
                map(c.x, c.z, c.u, c.v);
                quad.push_back(c);
            }
            sheet.add_polygon(quad);
        }
    }
}

// Picture stretched around a cylinder: each half shows the whole width, squeezed towards the
// edges as a cylindrical mirror squeezes it, the right half mirroring the left.
cSheet cylinder_mirror()
{
    cSheet sheet;
    add_grid(sheet, 96, 1, [](double x, double z, double& u, double& v) {
        u = 0.5 - 0.5 * std::cos(2.0 * PI * x);
        v = z;
    });
    return sheet;
}

// The left half of the picture and its mirror image on the right.
cSheet hz_mirror()
{
    cSheet sheet;
    add_grid(sheet, 2, 1, [](double x, double z, double& u, double& v) {
        u = 0.5 * fold(2.0 * x);
        v = z;
    });
    return sheet;
}

// Mirrored about both centre lines: the lower-left quarter four times.
cSheet dual_mirror()
{
    cSheet sheet;
    add_grid(sheet, 2, 2, [](double x, double z, double& u, double& v) {
        u = 0.5 * fold(2.0 * x);
        v = 0.5 * fold(2.0 * z);
    });
    return sheet;
}

// Three mirrors around a triangle: the plane tiled with equilateral triangles, each the
// mirror image of its neighbours, all showing one triangle cut from the picture.
cSheet triple_mirror()
{
    cSheet sheet;
    const double side = 0.42; // in screen heights
    const double ex[2] = {side, 0.0};
    const double ey[2] = {side / 2.0, side * std::sqrt(3.0) / 2.0};
    const double centre[2] = {ASPECT / 2.0, 0.5};
    // The triangle of the picture every tile shows, by corner label.
    const double tex[3][2] = {{0.15, 0.12}, {0.85, 0.12}, {0.5, 0.88}};
    auto corner = [&](int i, int j) {
        const double X = centre[0] + i * ex[0] + j * ey[0];
        const double Y = centre[1] + i * ex[1] + j * ey[1];
        // Three-colouring of the lattice: neighbours always differ, so every tile has one
        // corner of each label and shares its edge labels with the tile it mirrors.
        const int label = ((i - j) % 3 + 3) % 3;
        return sCorner{X / ASPECT, Y, tex[label][0], tex[label][1]};
    };
    const int reach = 8;
    for (int j = -reach; j < reach; ++j) {
        for (int i = -2 * reach; i < 2 * reach; ++i) {
            sheet.add_polygon({corner(i, j), corner(i + 1, j), corner(i, j + 1)});
            sheet.add_polygon({corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)});
        }
    }
    return sheet;
}

// A 3 x 3 matrix of the whole picture, every other copy mirrored, so neighbours meet at
// their mirror lines.
cSheet matrix_mirror()
{
    cSheet sheet;
    add_grid(sheet, 3, 3, [](double x, double z, double& u, double& v) {
        u = fold(3.0 * x);
        v = fold(3.0 * z);
    });
    return sheet;
}

// Polar cells around the screen centre: `sectors` slices of `steps` cells each and rings of
// `ring` screen heights out to the corners. `map` turns (sector, position 0..1 inside the
// sector, radius in screen heights) into the texture coordinate.
void add_polar(cSheet& sheet, int sectors, int steps, double ring,
               const std::function<void(int sector, double t, double r, double& u, double& v)>& map)
{
    const double reach = std::sqrt(ASPECT * ASPECT / 4.0 + 0.25) + ring;
    const int rings = int(std::ceil(reach / ring));
    for (int s = 0; s < sectors; ++s) {
        for (int a = 0; a < steps; ++a) {
            for (int k = 0; k < rings; ++k) {
                std::vector<sCorner> cell;
                for (auto [da, dk] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                    const double t = double(a + da) / steps;
                    const double r = (k + dk) * ring;
                    const double angle = 2.0 * PI * (s + t) / sectors;
                    sCorner c;
                    c.x = (ASPECT / 2.0 + r * std::cos(angle)) / ASPECT;
                    c.z = 0.5 + r * std::sin(angle);
                    map(s, t, r, c.u, c.v);
                    if (cell.empty() || c.x != cell.back().x || c.z != cell.back().z)
                        cell.push_back(c);
                }
                // The cells at the centre lose a corner and are triangles.
                sheet.add_polygon(cell);
            }
        }
    }
}

// The picture's width wrapped eight times around the centre, its height running outwards.
cSheet circular_repeat()
{
    cSheet sheet;
    const double corner = std::sqrt(ASPECT * ASPECT / 4.0 + 0.25);
    add_polar(sheet, 8, 8, 1.0 / 32.0, [corner](int, double t, double r, double& u, double& v) {
        u = t;
        v = std::min(r / corner, 1.0);
    });
    return sheet;
}

// A mandala: sixteen slices mirrored in turn around the centre, and rings that mirror the
// picture's height outwards every half screen height.
cSheet mandala_circle()
{
    cSheet sheet;
    add_polar(sheet, 16, 6, 1.0 / 32.0, [](int s, double t, double r, double& u, double& v) {
        u = (s % 2) ? 1.0 - t : t;
        v = fold(r / 0.5);
    });
    return sheet;
}

bool save(const cSheet& sheet, const std::string& folder, const std::string& name)
{
    cMeshObj mesh;
    sheet.fill(mesh);
    std::string error;
    if (!bobj_save(mesh, folder + "/" + name, error)) {
        std::cerr << "## ERROR: mirror_meshes: " << name << ": " << error << std::endl;
        return false;
    }
    std::cout << "# mirror_meshes: " << name << " (" << sheet.triangle_count() << " triangles)"
              << std::endl;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: mirror_meshes <output folder>" << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    ok = save(cylinder_mirror(), folder, "plane_cylinder_mirror.bzobj") && ok;
    ok = save(hz_mirror(), folder, "plane_hz_mirror.bzobj") && ok;
    ok = save(dual_mirror(), folder, "plane_dual_mirror.bzobj") && ok;
    ok = save(triple_mirror(), folder, "plane_triple_mirror.bzobj") && ok;
    ok = save(matrix_mirror(), folder, "plane_matrix_mirror.bzobj") && ok;
    ok = save(circular_repeat(), folder, "plane_circular_repeat.bzobj") && ok;
    ok = save(mandala_circle(), folder, "plane_mandala_circle2.bzobj") && ok;
    return ok ? 0 : 1;
}
