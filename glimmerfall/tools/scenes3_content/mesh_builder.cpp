// Procedural geometry (see mesh_builder.h).
#include "mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace content {

namespace {

const double full_uv[4] = {0, 0, 1, 1};

const double* uv_or_full(const double* uv)
{
    return uv ? uv : full_uv;
}

// Inverse of a 3x3 matrix (row-major); the identity when it is singular.
void invert3(const sXform& x, double* out)
{
    const double* m = x.m;
    const double det = x.determinant();
    if (std::fabs(det) < 1e-300) {
        const double id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(id, id + 9, out);
        return;
    }
    const double k = 1.0 / det;
    out[0] = (m[4] * m[8] - m[5] * m[7]) * k;
    out[1] = (m[2] * m[7] - m[1] * m[8]) * k;
    out[2] = (m[1] * m[5] - m[2] * m[4]) * k;
    out[3] = (m[5] * m[6] - m[3] * m[8]) * k;
    out[4] = (m[0] * m[8] - m[2] * m[6]) * k;
    out[5] = (m[2] * m[3] - m[0] * m[5]) * k;
    out[6] = (m[3] * m[7] - m[4] * m[6]) * k;
    out[7] = (m[1] * m[6] - m[0] * m[7]) * k;
    out[8] = (m[0] * m[4] - m[1] * m[3]) * k;
}

vec any_perpendicular(const vec& t)
{
    const vec a = std::fabs(t.y) < 0.9 ? vec(0, 1, 0) : vec(1, 0, 0);
    return t.cross(a).normalized();
}

} // namespace

vec sXform::point(const vec& p) const
{
    return direction(p) + t;
}

double sXform::determinant() const
{
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

vec sXform::direction(const vec& d) const
{
    return {m[0] * d.x + m[1] * d.y + m[2] * d.z, m[3] * d.x + m[4] * d.y + m[5] * d.z,
            m[6] * d.x + m[7] * d.y + m[8] * d.z};
}

vec sXform::normal(const vec& n) const
{
    double inv[9];
    invert3(*this, inv);
    // Inverse transpose: rows of the inverse become columns.
    const vec out(inv[0] * n.x + inv[3] * n.y + inv[6] * n.z,
                  inv[1] * n.x + inv[4] * n.y + inv[7] * n.z,
                  inv[2] * n.x + inv[5] * n.y + inv[8] * n.z);
    return out.normalized();
}

sXform sXform::operator*(const sXform& b) const
{
    sXform r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i * 3 + j] =
                m[i * 3] * b.m[j] + m[i * 3 + 1] * b.m[3 + j] + m[i * 3 + 2] * b.m[6 + j];
    r.t = direction(b.t) + t;
    return r;
}

sXform sXform::translate(const vec& d)
{
    sXform r;
    r.t = d;
    return r;
}

sXform sXform::scale(double sx, double sy, double sz)
{
    sXform r;
    r.m[0] = sx;
    r.m[4] = sy;
    r.m[8] = sz;
    return r;
}

sXform sXform::rotate(double deg, const vec& axis)
{
    const vec a = axis.normalized();
    const double c = std::cos(deg * PI / 180.0), s = std::sin(deg * PI / 180.0), k = 1.0 - c;
    sXform r;
    const double m[9] = {c + a.x * a.x * k,       a.x * a.y * k - a.z * s, a.x * a.z * k + a.y * s,
                         a.y * a.x * k + a.z * s, c + a.y * a.y * k,       a.y * a.z * k - a.x * s,
                         a.z * a.x * k - a.y * s, a.z * a.y * k + a.x * s, c + a.z * a.z * k};
    std::copy(m, m + 9, r.m);
    return r;
}

sXform sXform::basis(const vec& x, const vec& y, const vec& z, const vec& origin)
{
    sXform r;
    const double m[9] = {x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z};
    std::copy(m, m + 9, r.m);
    r.t = origin;
    return r;
}

cMaterial_GL make_material(const std::string& name, const std::string& texture,
                           const float diffuse[4], int illum)
{
    cMaterial_GL m;
    m.m_name = name;
    m.m_tex_diffuse = texture;
    for (int i = 0; i < 4; ++i) {
        m.m_diffuse[i] = diffuse[i];
        m.m_ambient[i] = i < 3 ? diffuse[i] * 0.25f : diffuse[3];
        m.m_specular[i] = i < 3 ? 0.3f : diffuse[3];
    }
    m.m_shininess = 24.0f;
    m.m_illum = illum;
    m.m_dissolve = diffuse[3];
    return m;
}

void cShapeBuilder::push(const sXform& x)
{
    if (!(x.determinant() > 1e-12))
        m_bad_transform = true;
    m_stack.push_back(x);
}

void cShapeBuilder::pop()
{
    if (!m_stack.empty())
        m_stack.pop_back();
}

sXform cShapeBuilder::current() const
{
    sXform r;
    for (const sXform& x : m_stack)
        r = r * x;
    return r;
}

uint32_t cShapeBuilder::vertex(const vec& p, const vec& n, double u, double v)
{
    const sXform x = current();
    const vec wp = x.point(p);
    const vec wn = x.normal(n);
    return cBobjBuilder::vertex(Vec3<float>(float(wp.x), float(wp.y), float(wp.z)),
                                Vec3<float>(float(wn.x), float(wn.y), float(wn.z)), float(u),
                                float(v));
}

void cShapeBuilder::surface(int nu, int nv, const std::function<vec(double, double)>& f, bool flip,
                            const double uv[4])
{
    uv = uv_or_full(uv);
    const double e = 1e-4;
    auto normal_at = [&](double u, double v) {
        for (double shift : {0.0, 0.002, -0.002, 0.01, -0.01}) {
            const double vv = std::clamp(v + shift, 0.0, 1.0);
            const vec du = f(std::min(u + e, 1.0), vv) - f(std::max(u - e, 0.0), vv);
            const vec dv = f(u, std::min(vv + e, 1.0)) - f(u, std::max(vv - e, 0.0));
            const vec n = du.cross(dv);
            if (n.length() > 1e-14)
                return (flip ? -n : n).normalized();
        }
        return vec(0, 1, 0);
    };
    const uint32_t base = uint32_t(vertex_count());
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            const double u = double(i) / nu, v = double(j) / nv;
            vertex(f(u, v), normal_at(u, v), uv[0] + (uv[2] - uv[0]) * u,
                   uv[1] + (uv[3] - uv[1]) * v);
        }
    }
    const uint32_t row = uint32_t(nu + 1);
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            const uint32_t a = base + uint32_t(j) * row + uint32_t(i);
            const uint32_t b = a + 1, c = a + row, d = a + row + 1;
            if (flip) {
                triangle(a, c, b);
                triangle(b, c, d);
            } else {
                triangle(a, b, c);
                triangle(b, d, c);
            }
        }
    }
}

void cShapeBuilder::revolve(int around, int along,
                            const std::function<void(double s, double& r, double& y)>& profile,
                            bool flip, const double uv[4])
{
    surface(
        around, along,
        [&](double u, double s) {
            double r = 0, y = 0;
            profile(s, r, y);
            const double a = 2.0 * PI * u;
            return vec(r * std::cos(a), y, -r * std::sin(a));
        },
        flip, uv);
}

void cShapeBuilder::ellipsoid(const vec& radii, int around, int along, const double uv[4])
{
    push(sXform::scale(radii.x, radii.y, radii.z));
    revolve(
        around, along,
        [&](double s, double& r, double& y) {
            const double a = PI * (s - 0.5);
            r = std::cos(a);
            y = std::sin(a);
        },
        false, uv);
    pop();
}

void cShapeBuilder::tube(const std::function<vec(double)>& c,
                         const std::function<double(double)>& r, int around, int along,
                         const double uv[4])
{
    uv = uv_or_full(uv);
    const double e = 1e-4;
    auto tangent = [&](double s) {
        const vec d = c(std::min(s + e, 1.0)) - c(std::max(s - e, 0.0));
        return d.normalized();
    };
    std::vector<vec> normals(size_t(along) + 1);
    vec t0 = tangent(0);
    vec n = any_perpendicular(t0);
    for (int j = 0; j <= along; ++j) {
        const vec t = tangent(double(j) / along);
        n = (n - t * n.dot(t)).normalized();
        if (n.length() < 0.5)
            n = any_perpendicular(t);
        normals[size_t(j)] = n;
    }
    const uint32_t base = uint32_t(vertex_count());
    for (int j = 0; j <= along; ++j) {
        const double s = double(j) / along;
        const vec t = tangent(s);
        const vec nn = normals[size_t(j)];
        const vec b = t.cross(nn);
        const double dr =
            (r(std::min(s + e, 1.0)) - r(std::max(s - e, 0.0))) /
            std::max((c(std::min(s + e, 1.0)) - c(std::max(s - e, 0.0))).length(), 1e-12);
        for (int i = 0; i <= around; ++i) {
            const double a = 2.0 * PI * double(i) / around;
            const vec rho = nn * std::cos(a) + b * std::sin(a);
            const vec normal = (rho - t * dr).normalized();
            vertex(c(s) + rho * r(s), normal, uv[0] + (uv[2] - uv[0]) * double(i) / around,
                   uv[1] + (uv[3] - uv[1]) * s);
        }
    }
    const uint32_t row = uint32_t(around + 1);
    for (int j = 0; j < along; ++j) {
        for (int i = 0; i < around; ++i) {
            const uint32_t a = base + uint32_t(j) * row + uint32_t(i);
            triangle(a, a + 1, a + row);
            triangle(a + 1, a + row + 1, a + row);
        }
    }
    // End caps.
    for (int end = 0; end < 2; ++end) {
        const double s = end;
        if (r(s) < 1e-6)
            continue;
        const vec t = tangent(s) * (end ? 1.0 : -1.0);
        const vec nn = normals[end ? size_t(along) : 0];
        const vec b = tangent(s).cross(nn);
        const uint32_t centre = vertex(c(s), t, (uv[0] + uv[2]) / 2, (uv[1] + uv[3]) / 2);
        const uint32_t first = uint32_t(vertex_count());
        for (int i = 0; i <= around; ++i) {
            const double a = 2.0 * PI * double(i) / around;
            vertex(c(s) + (nn * std::cos(a) + b * std::sin(a)) * r(s), t,
                   uv[0] + (uv[2] - uv[0]) * (0.5 + 0.5 * std::cos(a)),
                   uv[1] + (uv[3] - uv[1]) * (0.5 + 0.5 * std::sin(a)));
        }
        for (int i = 0; i < around; ++i) {
            if (end)
                triangle(centre, first + uint32_t(i), first + uint32_t(i) + 1);
            else
                triangle(centre, first + uint32_t(i) + 1, first + uint32_t(i));
        }
    }
}

void cShapeBuilder::box(const vec& lo, const vec& hi, const double uv[4])
{
    uv = uv_or_full(uv);
    const vec c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                      {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                      {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    // Faces counter-clockwise seen from outside.
    const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                             {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    const vec normals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    const double corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int f = 0; f < 6; ++f) {
        uint32_t id[4];
        for (int k = 0; k < 4; ++k)
            id[k] = vertex(c[faces[f][k]], normals[f], uv[0] + (uv[2] - uv[0]) * corners[k][0],
                           uv[1] + (uv[3] - uv[1]) * corners[k][1]);
        triangle(id[0], id[1], id[2]);
        triangle(id[0], id[2], id[3]);
    }
}

void cShapeBuilder::ring(double r0, double r1, int segments, const double uv[4])
{
    uv = uv_or_full(uv);
    auto tex = [&](const vec& p, double& u, double& v) {
        u = uv[0] + (uv[2] - uv[0]) * (0.5 + 0.5 * p.x / r1);
        v = uv[1] + (uv[3] - uv[1]) * (0.5 + 0.5 * p.y / r1);
    };
    const vec n(0, 0, 1);
    const uint32_t base = uint32_t(vertex_count());
    for (int i = 0; i <= segments; ++i) {
        const double a = 2.0 * PI * double(i) / segments;
        for (double r : {r0, r1}) {
            const vec p(r * std::cos(a), r * std::sin(a), 0);
            double u, v;
            tex(p, u, v);
            vertex(p, n, u, v);
        }
    }
    for (int i = 0; i < segments; ++i) {
        const uint32_t a = base + uint32_t(i) * 2;
        triangle(a, a + 1, a + 3);
        if (r0 > 0)
            triangle(a, a + 3, a + 2);
    }
}

void cShapeBuilder::prism(const std::vector<vec>& outline, double depth, double extent,
                          const double uv[4])
{
    uv = uv_or_full(uv);
    if (outline.size() < 3)
        return;
    vec centre;
    for (const vec& p : outline)
        centre += p;
    centre = centre / double(outline.size());
    auto tex = [&](const vec& p, double& u, double& v) {
        u = uv[0] + (uv[2] - uv[0]) * (0.5 + 0.5 * p.x / extent);
        v = uv[1] + (uv[3] - uv[1]) * (0.5 + 0.5 * p.y / extent);
    };
    for (int side = 0; side < 2; ++side) {
        const double z = side ? depth : 0.0;
        const vec n(0, 0, side ? 1.0 : -1.0);
        double u, v;
        tex(centre, u, v);
        const uint32_t c = vertex(vec(centre.x, centre.y, z), n, u, v);
        const uint32_t first = uint32_t(vertex_count());
        for (const vec& p : outline) {
            tex(p, u, v);
            vertex(vec(p.x, p.y, z), n, u, v);
        }
        const uint32_t count = uint32_t(outline.size());
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t a = first + i, b = first + (i + 1) % count;
            if (side)
                triangle(c, a, b);
            else
                triangle(c, b, a);
        }
    }
    for (size_t i = 0; i < outline.size(); ++i) {
        const vec a = outline[i], b = outline[(i + 1) % outline.size()];
        const vec n = vec(b.y - a.y, a.x - b.x, 0).normalized();
        double ua, va, ub, vb;
        tex(a, ua, va);
        tex(b, ub, vb);
        const uint32_t p0 = vertex(vec(a.x, a.y, 0), n, ua, va);
        const uint32_t p1 = vertex(vec(b.x, b.y, 0), n, ub, vb);
        const uint32_t p2 = vertex(vec(b.x, b.y, depth), n, ub, vb);
        const uint32_t p3 = vertex(vec(a.x, a.y, depth), n, ua, va);
        triangle(p0, p1, p2);
        triangle(p0, p2, p3);
    }
}

void cShapeBuilder::face_away_from(size_t first, const vec& centre)
{
    const std::vector<float>& pos = positions();
    std::vector<float>& norm = normals();
    std::vector<uint32_t>& elem = elements();
    const vec c = current().point(centre);
    for (size_t i = first; i < pos.size() / 3; ++i) {
        const vec p(pos[i * 3], pos[i * 3 + 1], pos[i * 3 + 2]);
        const vec n(norm[i * 3], norm[i * 3 + 1], norm[i * 3 + 2]);
        if (n.dot(p - c) < 0) {
            for (size_t k = 0; k < 3; ++k)
                norm[i * 3 + k] = -norm[i * 3 + k];
        }
    }
    // The triangles follow their normals round.
    auto at = [](const std::vector<float>& list, uint32_t i) {
        return vec(list[i * 3], list[i * 3 + 1], list[i * 3 + 2]);
    };
    for (size_t k = 0; k + 2 < elem.size(); k += 3) {
        const uint32_t a = elem[k], b = elem[k + 1], c3 = elem[k + 2];
        if (a < first || b < first || c3 < first)
            continue;
        const vec wound = (at(pos, b) - at(pos, a)).cross(at(pos, c3) - at(pos, a));
        const vec normal = at(norm, a) + at(norm, b) + at(norm, c3);
        if (wound.dot(normal) < 0)
            std::swap(elem[k + 1], elem[k + 2]);
    }
}

bool cShapeBuilder::save(const std::string& path, std::string& error) const
{
    if (m_bad_transform) {
        error = "built through a singular or mirroring transform";
        return false;
    }
    return cBobjBuilder::save(path, error);
}

bool write_cam_path(const std::string& path, const std::vector<sCamKey>& keys)
{
    // A per-process name: two builds may regenerate the same path at once.
    const std::string tmp = path + ".tmp_" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        char line[256];
        // The file is z-up: a demo point (x, y, z) is stored as (x, -z, y).
        auto group = [&](const vec& p, char* at, size_t room) {
            return std::snprintf(at, room, "(%.4f,%.4f,%.4f)", p.x, -p.z, p.y);
        };
        for (const sCamKey& k : keys) {
            int n = group(k.eye, line, sizeof line);
            n += group(k.centre, line + n, sizeof line - size_t(n));
            group(k.up, line + n, sizeof line - size_t(n));
            out << line << "\n";
        }
        if (!out)
            return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace content
