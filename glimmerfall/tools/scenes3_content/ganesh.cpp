// The sculpture, mandala, logos and flights of the Ganesh scene (see ganesh.h).
#include "ganesh.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "image_writer.h"
#include "mesh_builder.h"
#include "noise.h"

namespace content {

namespace {

constexpr double kInset = 2.0 / 256.0;

// Regions of the sculpture atlas "ganesh_gold.png".
const double kGold[4] = {0.0 + kInset, 0.5 + kInset, 0.5 - kInset, 1.0 - kInset};
const double kLacquer[4] = {0.5 + kInset, 0.5 + kInset, 1.0 - kInset, 1.0 - kInset};
const double kEnamel[4] = {0.0 + kInset, 0.0 + kInset, 0.5 - kInset, 0.5 - kInset};
const double kIvory[4] = {0.5 + kInset, 0.0 + kInset, 1.0 - kInset, 0.5 - kInset};

// Cells of the ornament atlas "ganesh_ornament.png": 4 x 4 gradients, dark at u = 0 of a cell
// and bright at u = 1.
struct sCell
{
    double uv[4];
};
sCell cell(int column, int row)
{
    const double c = 0.25, m = kInset;
    return {{column * c + m, row * c + m, (column + 1) * c - m, (row + 1) * c - m}};
}
enum
{
    CELL_GOLD = 0,
    CELL_MAGENTA,
    CELL_CYAN,
    CELL_GREEN,
    CELL_WHITE,
    CELL_VIOLET,
    CELL_ORANGE,
    CELL_RAINBOW
};
sCell ornament(int kind)
{
    return cell(kind % 4, kind / 4);
}

const char* kGoldTex = "ganesh_gold.png";
const char* kPlateTex = "ganesh_plate.png";
const char* kOrnamentTex = "ganesh_ornament.png";
const char* kGlowTex = "ganesh_glow.png";

const float kWhite[4] = {1, 1, 1, 1};

vec bezier(const vec& a, const vec& b, const vec& c, const vec& d, double t)
{
    const double u = 1 - t;
    return a * (u * u * u) + b * (3 * u * u * t) + c * (3 * u * t * t) + d * (t * t * t);
}

// A bracelet or band: a thin torus about `axis` through `centre`.
void band(cShapeBuilder& b, const vec& centre, const vec& axis, double radius, double thickness,
          const double uv[4])
{
    const vec a = axis.normalized();
    const vec x =
        (std::fabs(a.y) < 0.9 ? a.cross(vec(0, 1, 0)) : a.cross(vec(1, 0, 0))).normalized();
    const vec y = a.cross(x);
    b.tube(
        [=](double s) {
            const double t = 2 * PI * s;
            return centre + x * (radius * std::cos(t)) + y * (radius * std::sin(t));
        },
        [=](double) { return thickness; }, 6, 24, uv);
}

// ---- the sculpture ------------------------------------------------------------------------------

void lotus(cShapeBuilder& b)
{
    // Two rings of petals swelling out of a drum: the radius follows the petals around.
    b.surface(
        96, 24,
        [](double u, double v) {
            const double a = 2 * PI * u;
            const double petals = std::pow(std::fabs(std::cos(8 * a)), 0.6);
            const double petals2 = std::pow(std::fabs(std::sin(8 * a)), 0.6);
            const double lift = std::sin(v * PI);
            double r, y;
            if (v < 0.5) {
                const double t = v / 0.5;
                r = 1.55 + 0.35 * petals2 * std::sin(t * PI) + 0.2 * t;
                y = -1.25 + 0.35 * t;
            } else {
                const double t = (v - 0.5) / 0.5;
                r = (1.75 + 0.3 * petals * std::sin(t * PI * 0.9)) * (1 - 0.35 * t * t);
                y = -0.9 + 0.45 * t + 0.1 * lift;
            }
            return vec(r * std::cos(a), y, -r * std::sin(a));
        },
        false, kLacquer);
    // The seat on top.
    b.push(sXform::translate(vec(0, -0.45, 0)) * sXform::rotate(-90, vec(1, 0, 0)));
    b.ring(0, 1.15, 48, kGold);
    b.pop();
}

void body(cShapeBuilder& b)
{
    // Crossed legs: a thick arc in front, the feet at its ends.
    b.tube(
        [](double s) {
            const double a = PI * (0.1 + 0.8 * s);
            return vec(-1.15 * std::cos(a), -0.2 + 0.08 * std::sin(a * 3),
                       0.25 + 0.6 * std::sin(a));
        },
        [](double s) { return 0.3 + 0.05 * std::sin(s * PI); }, 16, 32, kLacquer);
    b.push(sXform::translate(vec(0.95, -0.05, 0.85)) * sXform::rotate(-30, vec(0, 1, 0)));
    b.ellipsoid(vec(0.18, 0.12, 0.3), 14, 10, kGold);
    b.pop();
    b.push(sXform::translate(vec(-1.0, -0.15, 0.5)) * sXform::rotate(35, vec(0, 1, 0)));
    b.ellipsoid(vec(0.17, 0.12, 0.28), 14, 10, kGold);
    b.pop();

    // Belly, chest and shoulders.
    b.push(sXform::translate(vec(0, 0.45, 0.22)));
    b.ellipsoid(vec(0.85, 0.8, 0.75), 32, 20, kGold);
    b.pop();
    band(b, vec(0, 0.42, 0.2), vec(0, 1, 0.05), 0.83, 0.07, kEnamel); // the snake belt
    b.push(sXform::translate(vec(0, 1.2, 0.0)));
    b.ellipsoid(vec(0.75, 0.7, 0.5), 32, 20, kGold);
    b.pop();
    for (int side : {-1, 1}) {
        b.push(sXform::translate(vec(side * 0.72, 1.55, 0.0)));
        b.ellipsoid(vec(0.27, 0.25, 0.27), 16, 12, kGold);
        b.pop();
    }
    // A garland of beads hanging from the shoulders.
    auto garland = [](double s) {
        const double a = PI * s;
        return vec(-0.62 * std::cos(a), 1.6 - 0.75 * std::sin(a), 0.38 + 0.28 * std::sin(a));
    };
    b.tube(
        garland, [](double) { return 0.035; }, 6, 40, kLacquer);
    for (int i = 1; i < 12; ++i) {
        b.push(sXform::translate(garland(i / 12.0) + vec(0, 0, 0.03)));
        b.ellipsoid(vec(0.07, 0.07, 0.07), 8, 6, kEnamel);
        b.pop();
    }
}

void arm(cShapeBuilder& b, const vec& shoulder, const vec& elbow, const vec& hand,
         const vec& palm_normal)
{
    b.tube(
        [=](double s) {
            return bezier(shoulder, lerp(shoulder, elbow, 0.7), lerp(elbow, hand, 0.3), hand, s);
        },
        [](double s) { return 0.17 - 0.06 * s; }, 12, 24, kGold);
    band(b, lerp(elbow, hand, 0.85), hand - elbow, 0.13, 0.03, kEnamel);
    // The hand: a flat oval facing palm_normal, with a hint of fingers.
    const vec n = palm_normal.normalized();
    const vec along = (hand - elbow).normalized();
    const vec up = n.cross(along).normalized().cross(n);
    const vec side = up.cross(n);
    b.push(sXform::basis(side, up, n, hand + up * 0.1));
    b.ellipsoid(vec(0.14, 0.18, 0.06), 12, 10, kGold);
    for (int f = 0; f < 4; ++f) {
        const double x = -0.09 + 0.06 * f;
        b.tube([x](double s) { return vec(x, 0.12 + 0.16 * s, 0.01 * std::sin(s * PI)); },
               [](double s) { return 0.028 - 0.01 * s; }, 6, 4, kGold);
    }
    b.pop();
}

void arms(cShapeBuilder& b)
{
    // Lower right: raised in blessing, palm to the viewer.
    arm(b, vec(0.78, 1.5, 0.05), vec(1.25, 0.95, 0.35), vec(1.05, 1.35, 0.75), vec(0, 0, 1));
    // Lower left: resting on the knee, holding a sweet.
    arm(b, vec(-0.78, 1.5, 0.05), vec(-1.2, 0.8, 0.3), vec(-0.85, 0.35, 0.8), vec(0, 1, 0.3));
    b.push(sXform::translate(vec(-0.85, 0.55, 0.85)));
    b.ellipsoid(vec(0.14, 0.12, 0.14), 12, 10, kLacquer);
    b.pop();
    // Upper arms, raised behind: an axe on the right, a lotus on the left.
    arm(b, vec(0.7, 1.65, -0.15), vec(1.45, 1.85, -0.35), vec(1.6, 2.45, -0.25), vec(0.3, 0, 1));
    arm(b, vec(-0.7, 1.65, -0.15), vec(-1.45, 1.85, -0.35), vec(-1.6, 2.45, -0.25),
        vec(-0.3, 0, 1));
    // The axe: a haft and a crescent blade.
    b.tube([](double s) { return vec(1.62, 1.9 + 1.2 * s, -0.2); }, [](double) { return 0.035; }, 6,
           4, kIvory);
    b.push(sXform::translate(vec(1.62, 2.9, -0.2)));
    std::vector<vec> blade;
    for (int i = 0; i <= 10; ++i) {
        const double a = PI * (-0.45 + 0.9 * i / 10.0);
        blade.push_back(vec(0.05 + 0.38 * std::cos(a), 0.3 * std::sin(a), 0));
    }
    blade.push_back(vec(0.05, 0.12, 0));
    blade.push_back(vec(0.05, -0.12, 0));
    b.push(sXform::translate(vec(0, 0, -0.03)));
    b.prism(blade, 0.06, 0.5, kGold);
    b.pop();
    b.pop();
    // The lotus: a cup of petals.
    b.push(sXform::translate(vec(-1.62, 2.7, -0.2)));
    b.surface(
        48, 8,
        [](double u, double v) {
            const double a = 2 * PI * u;
            const double petals = std::pow(std::fabs(std::cos(4 * a)), 0.5);
            const double r = (0.08 + 0.3 * v) * (0.6 + 0.4 * petals);
            return vec(r * std::cos(a), 0.32 * v * v + 0.1 * petals * v, -r * std::sin(a));
        },
        false, kLacquer);
    b.pop();
}

void head(cShapeBuilder& b)
{
    // Neck and head, the brow domes above the trunk.
    b.tube([](double s) { return vec(0, 1.75 + 0.35 * s, 0.02 + 0.05 * s); },
           [](double) { return 0.32; }, 16, 4, kGold);
    b.push(sXform::translate(vec(0, 2.38, 0.08)));
    b.ellipsoid(vec(0.55, 0.58, 0.55), 32, 24, kGold);
    b.pop();
    for (int side : {-1, 1}) {
        b.push(sXform::translate(vec(side * 0.22, 2.68, 0.32)));
        b.ellipsoid(vec(0.24, 0.22, 0.22), 16, 12, kGold);
        b.pop();
        // Eyes.
        b.push(sXform::translate(vec(side * 0.26, 2.43, 0.55)));
        b.ellipsoid(vec(0.07, 0.05, 0.04), 10, 8, kEnamel);
        b.pop();
        // The ears: big wavy fans angled forward, gold outside, lacquered inside.
        b.push(sXform::translate(vec(side * 0.78, 2.3, -0.05)) *
               sXform::rotate(side * -25.0, vec(0, 1, 0)));
        for (int layer = 0; layer < 2; ++layer) {
            const size_t first = b.vertex_count();
            const double inset = layer ? 0.82 : 1.0;
            b.surface(
                40, 12,
                [inset](double u, double v) {
                    const double a = 2 * PI * u, lat = PI * (v - 0.5);
                    const double wave = 1 + 0.07 * std::sin(9 * a);
                    const double r = std::cos(lat) * wave * inset;
                    return vec(0.55 * r * std::cos(a),
                               0.72 * r * std::sin(a) * (std::sin(a) > 0 ? 1.0 : 1.2),
                               0.07 * std::sin(lat) + (inset < 1 ? 0.035 : 0.0));
                },
                false, layer ? kLacquer : kGold);
            b.face_away_from(first, vec(0, 0, layer ? -0.05 : 0.0));
        }
        b.pop();
    }
    // The trunk: down from the brow, curling to the left towards the sweet.
    auto trunk = [](double s) {
        if (s < 0.75) {
            const double t = s / 0.75;
            return bezier(vec(0, 2.3, 0.5), vec(0.05, 1.9, 0.85), vec(0.15, 1.35, 0.8),
                          vec(-0.1, 1.05, 0.85), t);
        }
        const double t = (s - 0.75) / 0.25;
        const double a = t * 1.6 * PI;
        return vec(-0.1 - 0.18 * std::sin(a), 1.05 + 0.15 * (1 - std::cos(a)) * 0.9,
                   0.85 + 0.05 * t);
    };
    b.tube(
        trunk, [](double s) { return 0.2 * (1 - s) + 0.045; }, 16, 56, kGold);
    for (int i = 1; i < 8; ++i) {
        const double s = i / 11.0;
        const vec d = trunk(s + 0.01) - trunk(s - 0.01);
        band(b, trunk(s), d, 0.2 * (1 - s) + 0.045, 0.012, kEnamel);
    }
    // Tusks: the right one whole, the left one broken.
    for (int side : {-1, 1}) {
        const double len = side > 0 ? 1.0 : 0.45;
        b.tube(
            [side, len](double t) {
                const double s = t * len;
                return vec(side * (0.22 + 0.1 * s), 2.05 - 0.3 * s, 0.55 + 0.35 * s);
            },
            [len](double t) { return 0.07 * (1 - t * (len > 0.5 ? 1.0 : 0.4)); }, 10, 8, kIvory);
    }
    // The crown: stacked rings narrowing to a jewel.
    b.tube(
        [](double s) { return vec(0, 2.8 + 0.8 * s, 0.05); },
        [](double s) { return 0.42 * (1 - s) + 0.05 + 0.05 * std::pow(std::sin(s * 5 * PI), 2); },
        24, 40, kGold);
    for (int i = 0; i < 4; ++i)
        band(b, vec(0, 2.85 + 0.18 * i, 0.05), vec(0, 1, 0), 0.4 * (1 - i * 0.2) + 0.05, 0.03,
             kEnamel);
    b.push(sXform::translate(vec(0, 3.68, 0.05)));
    b.ellipsoid(vec(0.09, 0.12, 0.09), 12, 8, kLacquer);
    b.pop();
    // The mark on the brow.
    b.push(sXform::translate(vec(0, 2.72, 0.52)));
    b.ellipsoid(vec(0.04, 0.09, 0.03), 8, 8, kLacquer);
    b.pop();
}

// ---- the mandala pieces (flat, facing +z, centred on the mandala centre) -------------------

sXform at_centre(double z)
{
    return sXform::translate(vec(0, kMandalaCentreY, z));
}

void circles_background(cShapeBuilder& b)
{
    b.push(at_centre(-3.0));
    const int kinds[4] = {CELL_VIOLET, CELL_MAGENTA, CELL_CYAN, CELL_GOLD};
    double r = 2.4;
    for (int i = 0; i < 22; ++i) {
        const double w = 0.04 + 0.12 * (0.5 + 0.5 * std::sin(i * 1.7));
        b.ring(r, r + w, 128, ornament(kinds[i % 4]).uv);
        r += w + 0.08 + 0.1 * (0.5 + 0.5 * std::cos(i * 2.3));
    }
    b.pop();
}

void plate(cShapeBuilder& b)
{
    b.push(at_centre(-2.2));
    b.ring(0, 4.2, 128);
    b.pop();
}

void frame(cShapeBuilder& b)
{
    // A square frame with stepped corners, a little thick.
    b.push(at_centre(-1.9));
    const double outer = 7.8, inner = 7.3, depth = 0.25;
    const sCell gold = ornament(CELL_GOLD);
    for (int side = 0; side < 4; ++side) {
        b.push(sXform::rotate(90.0 * side, vec(0, 0, 1)));
        b.box(vec(-outer, inner, 0), vec(outer, outer, depth), gold.uv);
        // Steps in the middle of each side, pointing inwards.
        b.box(vec(-1.2, inner - 0.35, 0), vec(1.2, inner, depth * 0.8), ornament(CELL_MAGENTA).uv);
        b.box(vec(-0.5, inner - 0.7, 0), vec(0.5, inner - 0.35, depth * 0.6),
              ornament(CELL_CYAN).uv);
        // Corner squares.
        b.box(vec(outer - 1.0, outer - 1.0, 0), vec(outer + 0.3, outer + 0.3, depth * 1.3),
              ornament(CELL_MAGENTA).uv);
        b.pop();
    }
    b.pop();
}

void white_centre(cShapeBuilder& b)
{
    b.push(sXform::translate(vec(0, 2.45, -1.0)));
    b.ring(0, 2.0, 64);
    b.pop();
}

void streaks(cShapeBuilder& b)
{
    b.push(at_centre(-2.6));
    for (int i = 0; i < 48; ++i) {
        const double a = 2 * PI * i / 48.0;
        const double r0 = 4.3, r1 = (i % 2) ? 6.2 : 7.4 - 0.6 * (i % 4 == 2);
        const double w = (i % 2) ? 0.06 : 0.1;
        const vec d(std::cos(a), std::sin(a), 0), n(-d.y, d.x, 0);
        const sCell c = ornament((i % 4 == 0) ? CELL_GOLD : (i % 2 ? CELL_CYAN : CELL_MAGENTA));
        const vec z(0, 0, 1);
        const uint32_t p0 = b.vertex(d * r0 - n * w, z, c.uv[0], c.uv[1]);
        const uint32_t p1 = b.vertex(d * r0 + n * w, z, c.uv[0], c.uv[3]);
        const uint32_t p2 = b.vertex(d * r1, z, c.uv[2], (c.uv[1] + c.uv[3]) / 2);
        b.triangle(p0, p2, p1);
    }
    b.pop();
}

std::vector<vec> leaf_outline(double length, double width)
{
    std::vector<vec> pts;
    for (int i = 0; i <= 16; ++i) {
        const double t = double(i) / 16;
        pts.push_back(vec(width * std::sin(t * PI) * (1 - 0.3 * t), length * t, 0));
    }
    for (int i = 15; i >= 1; --i) {
        const double t = double(i) / 16;
        pts.push_back(vec(-width * std::sin(t * PI) * (1 - 0.3 * t), length * t, 0));
    }
    return pts; // counter-clockwise
}

void leafs(cShapeBuilder& b)
{
    b.push(at_centre(-2.0));
    const std::vector<vec> big = leaf_outline(1.7, 0.45), small = leaf_outline(1.1, 0.3);
    for (int i = 0; i < 16; ++i) {
        const bool odd = i % 2;
        b.push(sXform::rotate(360.0 * i / 16 + (odd ? 11.25 : 0), vec(0, 0, 1)) *
               sXform::translate(vec(0, odd ? 3.4 : 3.15, odd ? 0.05 : 0)));
        b.prism(odd ? small : big, 0.08, odd ? 1.1 : 1.7,
                ornament(odd ? CELL_GREEN : CELL_MAGENTA).uv);
        b.pop();
    }
    b.pop();
}

void blobs(cShapeBuilder& b)
{
    b.push(at_centre(-2.4));
    for (int i = 0; i < 24; ++i) {
        const double a = 2 * PI * (i + 0.5) / 24.0;
        const double r = i % 2 ? 0.22 : 0.32;
        b.push(sXform::translate(vec(5.05 * std::cos(a), 5.05 * std::sin(a), 0)));
        b.ring(0, r, 20, ornament(i % 2 ? CELL_CYAN : CELL_ORANGE).uv);
        b.ring(r + 0.04, r + 0.09, 20, ornament(CELL_GOLD).uv);
        b.pop();
    }
    b.pop();
}

// A straight stroke of a letter or a figure, from a to b, `w` wide, as a slab.
// Planar texture coordinates over the square of half-size `extent` about the origin.
void stroke(cShapeBuilder& b, const vec& a, const vec& c, double w, double depth, double extent,
            const double uv[4])
{
    const vec d = (c - a).normalized();
    const vec n(-d.y, d.x, 0);
    b.prism({a - n * (w / 2), c - n * (w / 2), c + n * (w / 2), a + n * (w / 2)}, depth, extent,
            uv);
}

void vantor_logo(cShapeBuilder& b)
{
    // "VANTOR" in straight strokes on a 0.6 x 0.8 grid per letter, centred under the lotus; the
    // rainbow of its texture runs across the word.
    b.push(sXform::translate(vec(0, -3.35, 1.2)));
    const double left = -2.45, extent = 2.5;
    const double w = 0.13, d = 0.12;
    const sCell c = ornament(CELL_RAINBOW);
    auto letter = [&](double x0, std::initializer_list<std::pair<vec, vec>> strokes) {
        for (const auto& s : strokes)
            stroke(b, s.first + vec(left + x0, 0, 0), s.second + vec(left + x0, 0, 0), w, d, extent,
                   c.uv);
    };
    letter(0.0, {{{0, 0.8, 0}, {0.3, 0, 0}}, {{0.3, 0, 0}, {0.6, 0.8, 0}}});
    letter(0.85, {{{0, 0, 0}, {0.3, 0.8, 0}},
                  {{0.3, 0.8, 0}, {0.6, 0, 0}},
                  {{0.13, 0.3, 0}, {0.47, 0.3, 0}}});
    letter(1.7,
           {{{0, 0, 0}, {0, 0.8, 0}}, {{0, 0.8, 0}, {0.6, 0, 0}}, {{0.6, 0, 0}, {0.6, 0.8, 0}}});
    letter(2.55, {{{0, 0.8, 0}, {0.6, 0.8, 0}}, {{0.3, 0.8, 0}, {0.3, 0, 0}}});
    // O: a ring of short strokes.
    for (int i = 0; i < 16; ++i) {
        const double a0 = 2 * PI * i / 16, a1 = 2 * PI * (i + 1) / 16;
        const vec centre(left + 3.7, 0.4, 0);
        stroke(b, centre + vec(0.3 * std::cos(a0), 0.4 * std::sin(a0), 0),
               centre + vec(0.3 * std::cos(a1), 0.4 * std::sin(a1), 0), w, d, extent, c.uv);
    }
    letter(4.25, {{{0, 0, 0}, {0, 0.8, 0}},
                  {{0, 0.8, 0}, {0.45, 0.8, 0}},
                  {{0.45, 0.8, 0}, {0.6, 0.62, 0}},
                  {{0.6, 0.62, 0}, {0.45, 0.42, 0}},
                  {{0.45, 0.42, 0}, {0, 0.42, 0}},
                  {{0.2, 0.42, 0}, {0.6, 0, 0}}});
    b.pop();
}

std::vector<vec> capsule(double x, double y0, double y1, double r)
{
    std::vector<vec> pts;
    for (int i = 0; i <= 8; ++i) {
        const double a = PI * i / 8;
        pts.push_back(vec(x + r * std::cos(a), y1 + r * std::sin(a), 0));
    }
    for (int i = 0; i <= 8; ++i) {
        const double a = PI + PI * i / 8;
        pts.push_back(vec(x + r * std::cos(a), y0 + r * std::sin(a), 0));
    }
    return pts;
}

void hand_logo(cShapeBuilder& b)
{
    // An open hand raised in blessing, an eye in its palm, above the crown.
    b.push(sXform::translate(vec(0, 5.0, -1.2)));
    const sCell gold = ornament(CELL_GOLD), cyan = ornament(CELL_CYAN),
                white = ornament(CELL_WHITE);
    std::vector<vec> palm;
    for (int i = 0; i < 24; ++i) {
        const double a = 2 * PI * i / 24;
        palm.push_back(
            vec(0.55 * std::cos(a), 0.6 * std::sin(a) * (std::sin(a) < 0 ? 1.1 : 0.9), 0));
    }
    b.prism(palm, 0.1, 1.5, gold.uv);
    const double fingers[5][3] = {{-0.6, 0.0, 0.5},
                                  {-0.33, 0.45, 0.95},
                                  {0.0, 0.5, 1.1},
                                  {0.33, 0.45, 0.95},
                                  {0.6, 0.0, 0.5}};
    for (const auto& f : fingers)
        b.prism(capsule(f[0], f[1], f[2], 0.12), 0.1, 1.5, gold.uv);
    b.push(sXform::translate(vec(0, -0.05, 0.11)));
    b.ring(0.16, 0.3, 32, cyan.uv);
    b.ring(0, 0.1, 16, white.uv);
    b.pop();
    b.pop();
}

void frames(cShapeBuilder& b)
{
    // Two squares turned against each other (an eight-pointed star), twice, as thin outlines.
    b.push(at_centre(-2.8));
    for (int k = 0; k < 2; ++k) {
        const double half = k ? 6.1 : 5.4;
        for (int sq = 0; sq < 2; ++sq) {
            const double turn = 45.0 * sq + (k ? 22.5 : 0);
            b.push(sXform::rotate(turn, vec(0, 0, 1)));
            for (int side = 0; side < 4; ++side) {
                b.push(sXform::rotate(90.0 * side, vec(0, 0, 1)));
                const sCell c = ornament(k ? CELL_VIOLET : CELL_GOLD);
                b.box(vec(-half, half - 0.06, 0), vec(half, half + 0.06, 0.02 + 0.02 * sq), c.uv);
                b.pop();
            }
            b.pop();
        }
    }
    b.pop();
}

void circles_inner(cShapeBuilder& b)
{
    b.push(at_centre(-1.5));
    for (int i = 0; i < 12; ++i) {
        const double a = 2 * PI * i / 12;
        b.push(sXform::translate(vec(2.95 * std::cos(a), 2.95 * std::sin(a), 0)));
        b.ring(0.34, 0.42, 32, ornament(CELL_CYAN).uv);
        b.ring(0.18, 0.24, 24, ornament(CELL_MAGENTA).uv);
        b.pop();
    }
    b.pop();
}

void circle_outer(cShapeBuilder& b)
{
    b.push(at_centre(-2.9));
    b.ring(6.85, 7.15, 160, ornament(CELL_GOLD).uv);
    for (int i = 0; i < 64; ++i) {
        const double a = 2 * PI * i / 64;
        b.push(sXform::translate(vec(7.0 * std::cos(a), 7.0 * std::sin(a), 0.02)));
        b.ring(0, i % 2 ? 0.08 : 0.13, 12, ornament(i % 2 ? CELL_WHITE : CELL_MAGENTA).uv);
        b.pop();
    }
    b.pop();
}

// ---- textures ----------------------------------------------------------------------------------

assets::sImage gold_atlas()
{
    const int size = 256, half = 128;
    assets::sImage img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = double(x % half) / half, v = double(y % half) / half;
            const bool right = x >= half, top = y >= half;
            double r, g, b;
            if (top && !right) {
                // Gold with fine engraved lines.
                const double n = fbm2_tiled(u * 4, v * 4, 4, 4, 4, 31u);
                const double lines = std::pow(std::fabs(std::sin((u * 24 + 0.6 * n) * PI)), 24.0);
                const double k = 0.9 + 0.1 * n - 0.15 * lines;
                r = 1.0 * k;
                g = 0.74 * k;
                b = 0.25 * k;
            } else if (top) {
                // Magenta lacquer with a fine diamond pattern.
                const double d = std::fabs(std::fmod(u * 16 + v * 16, 2.0) - 1) *
                                 std::fabs(std::fmod(u * 16 - v * 16 + 64, 2.0) - 1);
                r = 0.85 + 0.1 * d;
                g = 0.1 + 0.25 * d;
                b = 0.55 + 0.3 * d;
            } else if (!right) {
                // Deep indigo enamel with gold dots.
                const double dx = std::fmod(u * 8, 1.0) - 0.5, dy = std::fmod(v * 8, 1.0) - 0.5;
                const double dot = dx * dx + dy * dy < 0.06 ? 1.0 : 0.0;
                r = 0.08 + 0.9 * dot;
                g = 0.05 + 0.65 * dot;
                b = 0.3 - 0.1 * dot;
            } else {
                // Ivory with a faint grain.
                const double n = fbm2_tiled(u * 2, v * 16, 2, 16, 3, 37u);
                r = 0.95 + 0.05 * n;
                g = 0.9 + 0.05 * n;
                b = 0.78 + 0.05 * n;
            }
            img.set(x, y, float(r), float(g), float(b));
        }
    }
    return img;
}

vec hsv(double h, double s, double v)
{
    h = h - std::floor(h);
    const double i = std::floor(h * 6), f = h * 6 - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (int(i) % 6) {
    case 0:
        return {v, t, p};
    case 1:
        return {q, v, p};
    case 2:
        return {p, v, t};
    case 3:
        return {p, q, v};
    case 4:
        return {t, p, v};
    default:
        return {v, p, q};
    }
}

assets::sImage ornament_atlas()
{
    const int size = 256, cellsize = 64;
    const vec colours[8] = {{1.0, 0.75, 0.2},  {1.0, 0.15, 0.75}, {0.1, 0.85, 1.0},
                            {0.55, 1.0, 0.15}, {1.0, 1.0, 1.0},   {0.55, 0.25, 1.0},
                            {1.0, 0.45, 0.1},  {0, 0, 0}};
    assets::sImage img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int kind = (y / cellsize) * 4 + x / cellsize;
            const double u = double(x % cellsize) / (cellsize - 1);
            const double v = double(y % cellsize) / (cellsize - 1);
            vec c;
            if (kind == CELL_RAINBOW)
                c = hsv(0.8 + 0.5 * u, 0.85, 1.0);
            else if (kind < 8)
                c = colours[kind] * (0.35 + 0.65 * u) + vec(0.25, 0.25, 0.25) * std::pow(u, 8);
            else
                c = hsv(kind / 8.0, 0.7, 0.4 + 0.6 * u);
            // A bright line along the middle of each cell.
            c += vec(0.2, 0.2, 0.2) * std::pow(1 - std::fabs(v - 0.5) * 2, 6);
            img.set(x, y, float(c.x), float(c.y), float(c.z));
        }
    }
    return img;
}

assets::sImage plate_image()
{
    // A round mandala: rings of petals, dots and spokes in the palette, transparent outside.
    const int size = 512;
    assets::sImage img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
            const double r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
            vec c(0.05, 0.02, 0.12);
            double alpha = 1.0;
            if (r > 1.0) {
                alpha = 0.0;
            } else {
                const double ring = r * 9.0;
                const int band = int(ring);
                const double f = ring - band;
                const int petals = 8 + 8 * (band % 3);
                const double petal = std::fabs(std::cos(a * petals / 2));
                const double shape = std::pow(petal, 1.5) * std::sin(f * PI);
                const vec tones[4] = {
                    {1.0, 0.15, 0.7}, {0.1, 0.8, 1.0}, {1.0, 0.72, 0.2}, {0.5, 1.0, 0.2}};
                c += tones[band % 4] * (0.85 * shape);
                // Thin gold circles between the bands.
                c +=
                    vec(1.0, 0.8, 0.3) * std::pow(std::max(0.0, 1.0 - std::fabs(f - 0.02) * 25), 2);
                // Dots on every other band.
                if (band % 2) {
                    const double cells = 6.0 * petals;
                    const double aa = std::fmod((a + PI) / (2 * PI) * cells, 1.0) - 0.5;
                    const double dd = aa * aa * 0.08 + (f - 0.5) * (f - 0.5);
                    if (dd < 0.02)
                        c = vec(1, 1, 1) * 0.9;
                }
                alpha = std::min(1.0, (1.0 - r) * 60.0);
            }
            img.set(x, y, float(c.x), float(c.y), float(c.z), float(alpha));
        }
    }
    return img;
}

assets::sImage glow_image()
{
    const int size = 128;
    assets::sImage img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = std::max(0.0, 1.0 - r);
            const double k = std::pow(a, 1.5);
            img.set(x, y, 1.0f, float(0.9 + 0.1 * k), float(0.8 + 0.2 * k), float(k));
        }
    }
    return img;
}

// ---- camera flights
// ------------------------------------------------------------------------------

struct sFlightPlan
{
    const char* file;
    int keys;
    std::function<sCamKey(double)> at;
};

vec orbit(double deg, double radius, double height)
{
    const double a = deg * PI / 180;
    return vec(radius * std::sin(a), height, radius * std::cos(a));
}

std::vector<sFlightPlan> flight_plans()
{
    const vec up(0, 1, 0);
    return {
        // A slow push in from afar on the whole picture.
        {"g_cam02_60.txt", 60,
         [up](double t) {
             return sCamKey{lerp(vec(0, 1.4, 15), vec(0, 1.6, 8.5), t), vec(0, 1.3, 0), up};
         }},
        // Round the front from left to right.
        {"g_cam03_50.txt", 50,
         [up](double t) {
             return sCamKey{orbit(-55 + 110 * t, 8.5, 1.2 + 0.8 * std::sin(PI * t)), vec(0, 1.5, 0),
                            up};
         }},
        // From below the lotus up to above the crown, always on the face.
        {"g_cam04_100.txt", 100,
         [up](double t) {
             return sCamKey{
                 vec(0.8 * std::sin(PI * t), -1.0 + 5.5 * t, 5.8 - 0.6 * std::sin(PI * t)),
                 vec(0, 1.6 + 0.6 * t, 0), up};
         }},
        // Close past the face.
        {"g_cam05_50.txt", 50,
         [up](double t) {
             return sCamKey{
                 vec(1.8 - 3.6 * t, 2.7 + 0.2 * std::sin(PI * t), 3.4 - 0.4 * std::sin(PI * t)),
                 vec(0.3 - 0.6 * t, 2.3, 0.3), up};
         }},
        // Pull back from the trunk to the whole mandala.
        {"g_cam06_50.txt", 50,
         [up](double t) {
             const double e = t * t * (3 - 2 * t);
             return sCamKey{lerp(vec(0.4, 1.8, 2.4), vec(-0.5, 1.3, 13.0), e),
                            lerp(vec(0, 1.6, 0.6), vec(0, 1.2, 0), e), up};
         }},
        // A spiral out: across the front from left to right, widening, the picture seen at a
        // slant.
        {"g_cam07_80_g.txt", 80,
         [up](double t) {
             return sCamKey{orbit(-70 + 140 * t, 6.0 + 5.0 * t, 0.5 + 2.5 * std::sin(PI * t)),
                            vec(0, 1.4, 0), up};
         }},
        // Straight back, the horizon turning.
        {"g_cam08_60.txt", 60,
         [](double t) {
             const double roll = (-20 + 40 * t) * PI / 180;
             return sCamKey{vec(0, 1.3, 6.0 + 11.0 * t), vec(0, 1.3, 0),
                            vec(std::sin(roll), std::cos(roll), 0)};
         }},
    };
}

} // namespace

bool write_ganesh(const std::string& data_dir, std::string& error)
{
    const std::string models = data_dir + "/models/ganesh";
    const std::string textures = data_dir + "/textures";
    std::error_code ec;
    std::filesystem::create_directories(models, ec);
    std::filesystem::create_directories(textures, ec);

    struct sPiece
    {
        const char* file;
        const char* texture;
        int illum; // 2: lit, 0: glowing
        void (*build)(cShapeBuilder&);
    };
    const sPiece pieces[] = {
        {"ganesh.bzobj", kGoldTex, 2,
         [](cShapeBuilder& b) {
             lotus(b);
             body(b);
             arms(b);
             head(b);
         }},
        {"background_circles2.bzobj", kOrnamentTex, 0, circles_background},
        {"plate_backgroundmandala.bzobj", kPlateTex, 0, plate},
        {"frame.bzobj", kOrnamentTex, 0, frame},
        {"whitecenter.bzobj", kGlowTex, 0, white_centre},
        {"mandala_streaks.bzobj", kOrnamentTex, 0, streaks},
        {"mandala_leafs.bzobj", kOrnamentTex, 0, leafs},
        {"mandala_blob.bzobj", kOrnamentTex, 0, blobs},
        {"vantor_logo.bzobj", kOrnamentTex, 0, vantor_logo},
        {"hand_logo2.bzobj", kOrnamentTex, 0, hand_logo},
        {"mandala_frames.bzobj", kOrnamentTex, 0, frames},
        {"mandala_circles_inner.bzobj", kOrnamentTex, 0, circles_inner},
        {"mandala_circle_outer.bzobj", kOrnamentTex, 0, circle_outer},
    };
    for (const sPiece& piece : pieces) {
        cShapeBuilder b;
        b.begin_material(
            make_material(std::string(piece.file).substr(0, std::string(piece.file).find('.')),
                          piece.texture, kWhite, piece.illum));
        piece.build(b);
        std::string why;
        if (!b.save(models + "/" + piece.file, why)) {
            error = std::string(piece.file) + ": " + why;
            return false;
        }
    }

    const std::pair<const char*, assets::sImage> images[] = {
        {kGoldTex, gold_atlas()},
        {kOrnamentTex, ornament_atlas()},
        {kPlateTex, plate_image()},
        {kGlowTex, glow_image()},
    };
    for (const auto& [name, image] : images) {
        if (!assets::write_image(textures + "/" + name, image)) {
            error = std::string("cannot write ") + name;
            return false;
        }
    }

    for (const sFlightPlan& plan : flight_plans()) {
        std::vector<sCamKey> keys;
        for (int k = 0; k < plan.keys; ++k)
            keys.push_back(plan.at(double(k) / (plan.keys - 1)));
        if (!write_cam_path(models + "/" + plan.file, keys)) {
            error = std::string("cannot write ") + plan.file;
            return false;
        }
    }
    return true;
}

} // namespace content
