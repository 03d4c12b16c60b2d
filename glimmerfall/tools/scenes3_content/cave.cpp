// The mushroom cave (see cave.h).
#include "cave.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "image_writer.h"
#include "mushrooms.h"
#include "noise.h"

namespace content {

namespace {

constexpr int kAlong = 320;           // rings of the tunnel
constexpr int kAround = 48;           // vertices per ring
constexpr int kMapW = 1024;           // lightmap texels along the loop
constexpr int kMapH = 256;            // lightmap texels around the tunnel
constexpr double kLightReach = 14.0;  // no mushroom lights the rock beyond this distance
constexpr double kEyeClearance = 1.0; // least distance from a camera eye to the rock

const vec kUp(0, 1, 0);
const vec kColourA(1.0, 0.22, 0.78); // magenta
const vec kColourB(0.1, 0.85, 1.0);  // cyan

double ridge(double n, double width)
{
    return 1.0 - std::min(1.0, std::fabs(n) / width);
}

double wrap01(double s)
{
    return s - std::floor(s);
}

} // namespace

cCave::cCave()
{
    // Fourteen glowing mushrooms along the loop, the groups alternating, on both sides.
    const int sides[14] = {1, -1, -1, 1, 1, -1, 1, -1, -1, 1, -1, 1, 1, -1};
    for (int i = 0; i < 14; ++i) {
        sSite site;
        site.s = (i + 0.5) / 14.0 + 0.012 * std::sin(i * 2.7);
        site.group = i % 2;
        const double room = floor_half_width(site.s);
        site.lateral = sides[i] * std::min(std::max(2.3, 0.62 * room), room - 0.5);
        site.scale = 1.0 + 0.22 * std::sin(i * 1.9 + 0.4);
        site.yaw = std::fmod(i * 137.5, 360.0);
        m_sites.push_back(site);
    }
}

vec cCave::centre(double s) const
{
    const double a = 2 * PI * s;
    return {30.0 * std::cos(a) + 6.0 * std::cos(3 * a),
            3.0 * std::sin(2 * a + 0.5) + 1.5 * std::sin(5 * a),
            22.0 * std::sin(a) + 5.0 * std::sin(2 * a)};
}

void cCave::frame(double s, vec& tangent, vec& side, vec& up) const
{
    const double e = 1e-4;
    tangent = (centre(s + e) - centre(s - e)).normalized();
    side = tangent.cross(kUp).normalized();
    up = side.cross(tangent);
}

double cCave::half_width(double s) const
{
    const double a = 2 * PI * s;
    return 7.0 + 1.2 * std::sin(3 * a + 1.0) + 0.4 * std::sin(7 * a);
}

double cCave::half_height(double s) const
{
    return 5.2 + 0.8 * std::sin(2 * PI * 4 * s + 2.0);
}

double cCave::bumps(const vec& p) const
{
    return 1.0 + 0.17 * fbm3(p.x * 0.2, p.y * 0.2, p.z * 0.2, 4, 101u) +
           0.05 * fbm3(p.x * 1.1, p.y * 1.1, p.z * 1.1, 3, 202u);
}

vec cCave::wall(double s, double phi) const
{
    vec t, side, up;
    frame(s, t, side, up);
    const vec c = centre(s);
    double x = std::cos(phi) * half_width(s), y = std::sin(phi) * half_height(s);
    const double k = bumps(c + side * x + up * y);
    x *= k;
    y *= k;
    if (y < -kFloorDepth) {
        // The floor is flat but for a little grit.
        const vec p = c + side * x - up * kFloorDepth;
        y = -kFloorDepth + 0.06 * fbm3(p.x * 0.8, p.y * 0.8, p.z * 0.8, 2, 303u);
    }
    return c + side * x + up * y;
}

vec cCave::wall_normal(double s, double phi) const
{
    const double e = 1e-4;
    const vec ds = wall(s + e, phi) - wall(s - e, phi);
    const vec dp = wall(s, phi + e) - wall(s, phi - e);
    vec n = ds.cross(dp).normalized();
    if (n.dot(centre(s) - wall(s, phi)) < 0)
        n = -n;
    return n;
}

vec cCave::floor_point(double s, double lateral) const
{
    vec t, side, up;
    frame(s, t, side, up);
    return centre(s) + side * lateral - up * kFloorDepth;
}

double cCave::floor_half_width(double s) const
{
    // Where the smooth section meets the floor, shrunk for the deepest bumps.
    const double h = half_height(s) * 0.8;
    const double c = std::sqrt(std::max(0.0, 1.0 - std::pow(kFloorDepth / h, 2)));
    return half_width(s) * 0.8 * c;
}

double cCave::wall_clearance(const vec& p, double s) const
{
    double best = 1e30;
    for (int i = -12; i <= 12; ++i) {
        const double ss = s + 0.0025 * i;
        for (int j = 0; j < 72; ++j)
            best = std::min(best, (wall(ss, 2 * PI * j / 72) - p).length());
    }
    return best;
}

vec cCave::site_light(const sSite& site) const
{
    vec t, side, up;
    frame(site.s, t, side, up);
    const double height = site.group == 0 ? 1.7 : 2.4;
    return floor_point(site.s, site.lateral) + up * (height * site.scale);
}

void cCave::build_cave(cShapeBuilder& b) const
{
    const float rock[4] = {0.85f, 0.8f, 0.95f, 1.0f};
    b.begin_material(make_material("cave_rock", "", rock, 1));
    // Along the loop first, so texture u follows the loop and v runs around the tunnel; the
    // normals are turned to face the inside.
    b.surface(
        kAlong, kAround, [this](double u, double v) { return wall(u, 2 * PI * v); }, true);
}

void cCave::build_group(cShapeBuilder& b, int group, bool volumes) const
{
    const float tint[4] = {1, 1, 1, 1};
    b.begin_material(
        make_material(group == 0 ? "mushroom_a" : "mushroom_b", kMushroomSkin, tint, 0));
    for (const sSite& site : m_sites) {
        if (site.group != group)
            continue;
        vec t, side, up;
        frame(site.s, t, side, up);
        // The main mushroom and two smaller ones beside it, a little further from the path.
        const double offsets[3][3] = {{0, 0, 1.0}, {0.9, 0.8, 0.55}, {-0.8, 1.1, 0.42}};
        for (const auto& o : offsets) {
            const double lateral = site.lateral + (site.lateral > 0 ? o[1] : -o[1]) * 0.6;
            const double along = o[0] / 165.0; // about one unit along the loop
            const vec foot = floor_point(site.s + along, lateral) - up * 0.25;
            const double scale = site.scale * o[2];
            b.push(sXform::basis(side, up, t * -1.0, foot) *
                   sXform::rotate(site.yaw + o[0] * 90.0, vec(0, 1, 0)) * sXform::scale(scale));
            if (volumes) {
                if (o[2] == 1.0) {
                    if (group == 0)
                        add_volume_a(b);
                    else
                        add_volume_b(b);
                }
            } else if (group == 0) {
                add_mushroom_a(b, o[2] == 1.0 ? 2 : 1);
            } else {
                add_mushroom_b(b, o[2] == 1.0 ? 2 : 1);
            }
            b.pop();
        }
    }
}

void cCave::build_low(cShapeBuilder& b) const
{
    const float tint[4] = {1, 1, 1, 1};
    b.begin_material(make_material("mushroom_low", kMushroomSkin, tint, 0));
    assets::cRandom rnd(4711);
    for (int i = 0; i < 20; ++i) {
        const double s = (i + rnd.next()) / 20.0;
        // Low on the walls, just above the floor's edge, on either side.
        const double side = rnd.next() < 0.5 ? 0.0 : PI;
        const double phi = side + (side == 0 ? -1 : 1) * (0.25 + 0.35 * rnd.next());
        const vec foot = wall(s, phi);
        const vec n = wall_normal(s, phi);
        vec t, sd, up;
        frame(s, t, sd, up);
        const vec grow = (n + up).normalized();
        const vec x = t.cross(grow).normalized();
        const vec z = x.cross(grow);
        b.push(sXform::basis(x, grow, z, foot - grow * 0.1) *
               sXform::scale(0.8 + 0.5 * rnd.next()));
        add_low_clump(b, rnd.next());
        b.pop();
    }
}

void cCave::build_tiny(cShapeBuilder& b) const
{
    const float tint[4] = {1, 1, 1, 1};
    b.begin_material(make_material("mushroom_tiny", kMushroomSkin, tint, 0));
    assets::cRandom rnd(1234);
    for (int i = 0; i < 400; ++i) {
        double s, lateral;
        if (i % 10 < 7) {
            // Around the big mushrooms.
            const sSite& site = m_sites[size_t(i) % m_sites.size()];
            s = site.s + (rnd.next() - 0.5) * 0.03;
            lateral = site.lateral + (rnd.next() - 0.5) * 2.4;
        } else {
            s = rnd.next();
            lateral = (rnd.next() * 2 - 1) * floor_half_width(s);
        }
        lateral = std::clamp(lateral, -floor_half_width(s), floor_half_width(s));
        // Keep the flight lane clear.
        if (std::fabs(lateral) < 1.3)
            lateral = lateral < 0 ? -1.3 : 1.3;
        vec t, side, up;
        frame(s, t, side, up);
        const vec foot = floor_point(s, lateral) - up * 0.04;
        const double scale = 0.6 + 0.9 * rnd.next();
        b.push(sXform::basis(side, up, t * -1.0, foot) *
               sXform::rotate(rnd.next() * 360.0, vec(0, 1, 0)) * sXform::scale(scale));
        add_tiny(b, rnd.next() < 0.5 ? 12.0 * rnd.next() : -12.0 * rnd.next());
        b.pop();
    }
}

bool cCave::write_lightmaps(const std::string& dir, std::string& error) const
{
    assets::sImage neutral(kMapW, kMapH), light_a(kMapW, kMapH), light_b(kMapW, kMapH);
    for (int i = 0; i < kMapW; ++i) {
        const double s = (i + 0.5) / kMapW;
        for (int j = 0; j < kMapH; ++j) {
            const double phi = 2 * PI * (j + 0.5) / kMapH;
            const vec p = wall(s, phi);
            const vec n = wall_normal(s, phi);

            // Neutral: a dim indigo ground, darker in the hollows, with gold and green veins.
            vec t, side, up;
            frame(s, t, side, up);
            const double k = bumps(p);
            const double hollow = std::clamp(1.1 - 3.0 * (k - 1.0), 0.2, 1.25);
            const double floorish = std::max(0.0, n.dot(up));
            vec colour = vec(0.1, 0.06, 0.21) * hollow + vec(0.03, 0.04, 0.06) * floorish;
            const double gold =
                std::pow(ridge(fbm3(p.x * 0.3, p.y * 0.3, p.z * 0.3, 3, 404u), 0.2), 8);
            const double green =
                std::pow(ridge(fbm3(p.x * 0.5 + 7, p.y * 0.5, p.z * 0.5, 3, 505u), 0.15), 10);
            colour += vec(0.9, 0.62, 0.12) * (0.5 * gold) + vec(0.2, 0.85, 0.35) * (0.45 * green);
            neutral.set(i, j, float(colour.x), float(colour.y), float(colour.z));

            // The two mushroom groups: soft falloff with a little wrap-around.
            vec sum[2];
            for (const sSite& site : m_sites) {
                const vec l = site_light(site) - p;
                const double d = l.length();
                if (d > kLightReach)
                    continue;
                const double r = 3.3 * site.scale;
                const double lambert = 0.2 + 0.8 * std::max(0.0, n.dot(l / d));
                const double fade = 1.0 - std::pow(d / kLightReach, 4);
                const double amount =
                    1.15 * site.scale * lambert * fade / (1.0 + (d / r) * (d / r));
                sum[site.group] += (site.group == 0 ? kColourA : kColourB) * amount;
            }
            light_a.set(i, j, float(sum[0].x), float(sum[0].y), float(sum[0].z));
            light_b.set(i, j, float(sum[1].x), float(sum[1].y), float(sum[1].z));
        }
    }
    const std::pair<const char*, const assets::sImage*> maps[3] = {
        {"mushroom_cave_lightmap_neutral.png", &neutral},
        {"mushroom_cave_lightmap_mushrooma.png", &light_a},
        {"mushroom_cave_lightmap_mushroomb.png", &light_b}};
    for (const auto& [name, image] : maps) {
        if (!assets::write_image(dir + "/" + name, *image)) {
            error = std::string("cannot write ") + dir + "/" + name;
            return false;
        }
    }
    return true;
}

std::vector<cCave::sFlight> cCave::flights() const
{
    // A flight: the eye at (lateral, height) off the centre line between s0 and s1, looking
    // at a point given by the same kind of offsets `ahead` of it along the loop.
    struct sPlan
    {
        const char* file;
        int keys;
        double s0, s1;
        double (*lateral)(double);
        double (*height)(double);
        double ahead;
        double (*look_lateral)(double);
        double (*look_height)(double);
        int look_site; // >= 0: the flight keeps that mushroom's cap in view instead
    };
    const sPlan plans[7] = {
        {"cam08_01_100.txt", 100, 0.02, 0.12, [](double t) { return 0.3 * std::sin(2 * PI * t); },
         [](double t) { return 0.7 + 0.2 * std::sin(PI * t); }, 0.03, [](double t) { return 0.0; },
         [](double t) { return 0.1; }, -1},
        {"cam02_169.txt", 169, 0.14, 0.29, [](double t) { return 0.8 * std::sin(3 * PI * t); },
         [](double t) { return 0.4 + 0.6 * t; }, 0.025,
         [](double t) { return -0.6 * std::sin(3 * PI * t); }, [](double t) { return -0.9; }, -1},
        {"cam04_100.txt", 100, 0.282, 0.338, [](double t) { return -0.7; },
         [](double t) { return 0.5 - 0.2 * t; }, 0.0, nullptr, nullptr, 4},
        {"cam08_02_100.txt", 100, 0.40, 0.50, [](double t) { return 0.4 * std::sin(PI * t); },
         [](double t) { return 0.15 + 1.4 * t; }, 0.03, [](double t) { return 0.0; },
         [](double t) { return -0.6; }, -1},
        {"cam06_100.txt", 100, 0.61, 0.53, [](double t) { return -0.5 + 0.8 * t; },
         [](double t) { return 0.9; }, -0.03, [](double t) { return 0.3; },
         [](double t) { return 0.2; }, -1},
        {"cam08_03_100.txt", 100, 0.64, 0.80, [](double t) { return 0.6 * std::sin(4 * PI * t); },
         [](double t) { return 0.8 + 0.3 * std::cos(2 * PI * t); }, 0.035,
         [](double t) { return 0.0; }, [](double t) { return 0.0; }, -1},
        {"cam07_60.txt", 60, 0.835, 0.875, [](double t) { return -0.3; },
         [](double t) { return 1.4 - 0.8 * t; }, 0.0, nullptr, nullptr, 12},
    };
    std::vector<sFlight> out;
    for (const sPlan& plan : plans) {
        sFlight flight;
        flight.file = plan.file;
        for (int k = 0; k < plan.keys; ++k) {
            const double t = double(k) / (plan.keys - 1);
            const double s = wrap01(plan.s0 + (plan.s1 - plan.s0) * t);
            vec tn, side, up;
            frame(s, tn, side, up);
            sCamKey key;
            key.eye = centre(s) + side * plan.lateral(t) + up * plan.height(t);
            if (plan.look_site >= 0) {
                key.centre = site_light(m_sites[size_t(plan.look_site)]);
            } else {
                const double sl = wrap01(s + plan.ahead);
                vec tl, sidel, upl;
                frame(sl, tl, sidel, upl);
                key.centre = centre(sl) + sidel * plan.look_lateral(t) + upl * plan.look_height(t);
            }
            key.up = kUp;
            flight.keys.push_back(key);
            flight.s.push_back(s);
        }
        out.push_back(std::move(flight));
    }
    return out;
}

bool cCave::write(const std::string& data_dir, std::string& error) const
{
    const std::string models = data_dir + "/models/mushroom";
    const std::string textures = data_dir + "/textures";
    std::error_code ec;
    std::filesystem::create_directories(models, ec);
    std::filesystem::create_directories(textures, ec);

    auto save = [&](const cShapeBuilder& b, const char* name) {
        std::string why;
        if (b.save(models + "/" + name, why))
            return true;
        error = std::string(name) + ": " + why;
        return false;
    };

    cShapeBuilder cave, mush01, mush01_vol, mush02, mush02_vol, low, scatter, tiny;
    build_cave(cave);
    build_group(mush01, 0, false);
    build_group(mush01_vol, 0, true);
    build_group(mush02, 1, false);
    build_group(mush02_vol, 1, true);
    build_low(low);
    const float tint[4] = {1, 1, 1, 1};
    scatter.begin_material(make_material("spore_pod", kMushroomSkin, tint, 0));
    add_spore_pod(scatter);
    build_tiny(tiny);
    if (!save(cave, "cave.bzobj") || !save(mush01, "mush01.bzobj") ||
        !save(mush01_vol, "mush01_vol.bzobj") || !save(mush02, "mush02.bzobj") ||
        !save(mush02_vol, "mush02_vol.bzobj") || !save(low, "mush_low01.bzobj") ||
        !save(scatter, "scatter_obj.bzobj") || !save(tiny, "minimush_scattered.bzobj"))
        return false;

    if (!write_lightmaps(textures, error))
        return false;
    if (!assets::write_image(textures + "/" + kMushroomSkin, mushroom_skin(256))) {
        error = "cannot write the mushroom atlas";
        return false;
    }

    for (const sFlight& flight : flights()) {
        // Every eye must keep clear of the rock and of the big mushrooms' caps.
        for (size_t k = 0; k < flight.keys.size(); ++k) {
            const vec eye = flight.keys[k].eye;
            const double rock = wall_clearance(eye, flight.s[k]);
            if (rock < kEyeClearance) {
                error = flight.file + ": key " + std::to_string(k) + " comes within " +
                        std::to_string(rock) + " of the rock";
                return false;
            }
            for (const sSite& site : m_sites) {
                const double d = (site_light(site) - eye).length();
                if (d < 1.2 * site.scale) {
                    error = flight.file + ": key " + std::to_string(k) + " passes through a cap";
                    return false;
                }
            }
        }
        if (!write_cam_path(models + "/" + flight.file, flight.keys)) {
            error = "cannot write " + flight.file;
            return false;
        }
    }
    return true;
}

} // namespace content
