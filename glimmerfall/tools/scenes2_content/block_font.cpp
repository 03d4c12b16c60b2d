// Block font glyphs and the text extrusion (see block_font.h).
#include "block_font.h"

#include <array>
#include <cctype>
#include <map>

#include "mesh_builder.h"

namespace content {

namespace {

constexpr int GLYPH_W = 5;
constexpr int GLYPH_H = 7;

// Rows from the top; '#' is a filled cell.
const std::map<char, std::array<const char*, GLYPH_H>>& glyph_table()
{
    static const std::map<char, std::array<const char*, GLYPH_H>> table = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
        {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    };
    return table;
}

// The half of a cell that keeps one corner: the triangle with its right angle there.
enum eCorner
{
    LOWER_LEFT,
    LOWER_RIGHT,
    UPPER_RIGHT,
    UPPER_LEFT
};

tPolygon half_cell(int x, int y, eCorner keep)
{
    switch (keep) {
    case LOWER_LEFT:
        return {{x, y}, {x + 1, y}, {x, y + 1}};
    case LOWER_RIGHT:
        return {{x, y}, {x + 1, y}, {x + 1, y + 1}};
    case UPPER_RIGHT:
        return {{x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
    case UPPER_LEFT:
    default:
        return {{x, y}, {x + 1, y + 1}, {x, y + 1}};
    }
}

tPolygon full_cell(int x, int y)
{
    return {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
}

} // namespace

std::vector<tPolygon> glyph_polygons(char in_c)
{
    const auto& table = glyph_table();
    const auto found = table.find(char(std::toupper(static_cast<unsigned char>(in_c))));
    if (found == table.end())
        return {};
    const auto& rows = found->second;
    auto filled = [&](int x, int y) {
        if (x < 0 || x >= GLYPH_W || y < 0 || y >= GLYPH_H)
            return false;
        return rows[size_t(GLYPH_H - 1 - y)][x] == '#';
    };

    std::vector<tPolygon> out;
    // Bridges: in a 2 x 2 block holding only a diagonal pair, the two empty cells get the
    // halves that touch the pair, so diagonal strokes run straight instead of in steps. A
    // cell asked for two different halves is filled whole.
    std::map<std::pair<int, int>, std::vector<eCorner>> bridges;
    for (int x = -1; x < GLYPH_W; ++x) {
        for (int y = -1; y < GLYPH_H; ++y) {
            const bool ll = filled(x, y), lr = filled(x + 1, y);
            const bool ul = filled(x, y + 1), ur = filled(x + 1, y + 1);
            if (ll && ur && !lr && !ul) {
                bridges[{x + 1, y}].push_back(UPPER_LEFT);
                bridges[{x, y + 1}].push_back(LOWER_RIGHT);
            } else if (lr && ul && !ll && !ur) {
                bridges[{x, y}].push_back(UPPER_RIGHT);
                bridges[{x + 1, y + 1}].push_back(LOWER_LEFT);
            }
        }
    }
    for (const auto& [cell, halves] : bridges) {
        const auto [x, y] = cell;
        if (x < 0 || x >= GLYPH_W || y < 0 || y >= GLYPH_H)
            continue;
        bool mixed = false;
        for (eCorner c : halves)
            mixed = mixed || c != halves.front();
        out.push_back(mixed ? full_cell(x, y) : half_cell(x, y, halves.front()));
    }

    // Cells: an outer corner (two neighbouring sides open, the cell across the corner open
    // too, the other two sides closed) is cut along its diagonal.
    for (int x = 0; x < GLYPH_W; ++x) {
        for (int y = 0; y < GLYPH_H; ++y) {
            if (!filled(x, y))
                continue;
            const bool l = filled(x - 1, y), r = filled(x + 1, y);
            const bool d = filled(x, y - 1), u = filled(x, y + 1);
            if (!u && !l && r && d && !filled(x - 1, y + 1))
                out.push_back(half_cell(x, y, LOWER_RIGHT));
            else if (!u && !r && l && d && !filled(x + 1, y + 1))
                out.push_back(half_cell(x, y, LOWER_LEFT));
            else if (!d && !l && r && u && !filled(x - 1, y - 1))
                out.push_back(half_cell(x, y, UPPER_RIGHT));
            else if (!d && !r && l && u && !filled(x + 1, y - 1))
                out.push_back(half_cell(x, y, UPPER_LEFT));
            else
                out.push_back(full_cell(x, y));
        }
    }
    return out;
}

std::vector<tPolygon> text_polygons(const std::string& in_text, int& out_width)
{
    std::vector<tPolygon> out;
    int pen = 0;
    bool first = true;
    for (char c : in_text) {
        if (c == ' ') {
            pen += 4;
            first = true;
            continue;
        }
        if (!first)
            pen += 1;
        for (tPolygon p : glyph_polygons(c)) {
            for (auto& corner : p)
                corner.first += pen;
            out.push_back(p);
        }
        pen += GLYPH_W;
        first = false;
    }
    out_width = pen;
    return out;
}

void build_text(cQuadBuilder& out, const std::string& in_text, double cell, double depth,
                const sMaterialSpec& material)
{
    int width = 0;
    const std::vector<tPolygon> polygons = text_polygons(in_text, width);
    const double x0 = -0.5 * width * cell;
    const double y0 = -0.5 * GLYPH_H * cell;
    const double hz = 0.5 * depth;
    auto at = [&](const std::pair<int, int>& p, double z) {
        return tVec3{x0 + p.first * cell, y0 + p.second * cell, z};
    };

    // Front and back faces share their corners within each face.
    out.begin_material(material);
    for (int side_sign : {1, -1}) {
        std::map<std::pair<int, int>, uint32_t> shared;
        const tVec3 normal{0, 0, double(side_sign)};
        auto corner = [&](const std::pair<int, int>& p) {
            const auto found = shared.find(p);
            if (found != shared.end())
                return found->second;
            const double u = TEXT_FACE_U0 + (TEXT_FACE_U1 - TEXT_FACE_U0) * p.first / width;
            const double v = 0.02 + 0.96 * double(p.second) / GLYPH_H;
            const uint32_t v_index = out.vertex(at(p, side_sign * hz), normal, u, v);
            shared.emplace(p, v_index);
            return v_index;
        };
        for (const tPolygon& p : polygons) {
            for (size_t i = 1; i + 1 < p.size(); ++i) {
                if (side_sign > 0)
                    out.triangle(corner(p[0]), corner(p[i]), corner(p[i + 1]));
                else
                    out.triangle(corner(p[0]), corner(p[i + 1]), corner(p[i]));
            }
        }
    }

    // Side walls along the outline: an edge met twice (once each way) lies inside.
    std::map<std::pair<std::pair<int, int>, std::pair<int, int>>, int> edges;
    for (const tPolygon& p : polygons) {
        for (size_t i = 0; i < p.size(); ++i)
            ++edges[{p[i], p[(i + 1) % p.size()]}];
    }
    for (const auto& entry : edges) {
        const auto& [a, b] = entry.first;
        if (edges.count({b, a}))
            continue;
        const double u = TEXT_SIDE_U;
        out.quad(at(a, hz), at(a, -hz), at(b, -hz), at(b, hz),
                 {u, 0.98, u, 0.02, u, 0.02, u, 0.98});
    }
}

} // namespace content
