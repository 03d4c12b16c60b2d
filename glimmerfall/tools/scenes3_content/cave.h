// The mushroom cave: a winding tunnel that closes on itself, its three baked lightmaps
// (neutral light and the two mushroom groups), the mushrooms placed on its floor and walls,
// and the seven camera flights through it.
#pragma once

#include <string>
#include <vector>

#include "mesh_builder.h"

namespace content {

class cCave
{
public:
    cCave();

    // The centre line, s in [0, 1) around the loop, and its frame: tangent, side (to the
    // right of the flight) and up.
    vec centre(double s) const;
    void frame(double s, vec& tangent, vec& side, vec& up) const;
    // The wall at angle phi around the centre line (0: the side direction, pi/2: up), and the
    // normal there pointing into the cave.
    vec wall(double s, double phi) const;
    vec wall_normal(double s, double phi) const;
    // A point of the flat floor `lateral` units to the side of the centre line.
    vec floor_point(double s, double lateral) const;
    // Half the width of the flat floor at s.
    double floor_half_width(double s) const;
    // Depth of the floor below the centre line.
    static constexpr double kFloorDepth = 2.4;

    // Writes every mesh, lightmap and camera path of the cave; false with a message on failure.
    bool write(const std::string& data_dir, std::string& error) const;

    // The glowing mushrooms: where they stand, how big, which group lights them.
    struct sSite
    {
        double s = 0, lateral = 0, scale = 1, yaw = 0;
        int group = 0; // 0: A (magenta), 1: B (cyan)
    };
    const std::vector<sSite>& sites() const { return m_sites; }

    // The seven flights, in the scene's order, with their key counts.
    struct sFlight
    {
        std::string file;
        std::vector<sCamKey> keys;
        std::vector<double> s; // loop position of each key's eye
    };
    std::vector<sFlight> flights() const;
    // Shortest distance from `p` to the wall near s (s within +-0.03).
    double wall_clearance(const vec& p, double s) const;

private:
    double half_width(double s) const;
    double half_height(double s) const;
    // Radial scale of the rock at a point (1 = the smooth section).
    double bumps(const vec& p) const;
    vec site_light(const sSite& site) const;
    void build_cave(cShapeBuilder& b) const;
    void build_group(cShapeBuilder& b, int group, bool volumes) const;
    void build_low(cShapeBuilder& b) const;
    void build_tiny(cShapeBuilder& b) const;
    bool write_lightmaps(const std::string& dir, std::string& error) const;

    std::vector<sSite> m_sites;
};

} // namespace content
