// Soft discs added up on the CPU (see point_splat.h).
#include "scenes/point_splat.h"

#include <algorithm>
#include <cmath>
#include <thread>

void cPointSplat::sBox::include(const sBox& in_other)
{
    if (in_other.empty())
        return;
    if (empty()) {
        *this = in_other;
        return;
    }
    x0 = std::min(x0, in_other.x0);
    x1 = std::max(x1, in_other.x1);
    y0 = std::min(y0, in_other.y0);
    y1 = std::max(y1, in_other.y1);
}

void cPointSplat::clear(int in_width, int in_height)
{
    in_width = std::max(in_width, 0);
    in_height = std::max(in_height, 0);
    if (in_width == m_width && in_height == m_height) {
        for (int j = m_touched.y0; j <= m_touched.y1; ++j) {
            float* row = m_weights.data() + size_t(j) * size_t(m_width);
            std::fill(row + m_touched.x0, row + m_touched.x1 + 1, 0.0f);
        }
    } else {
        m_width = in_width;
        m_height = in_height;
        m_weights.assign(size_t(m_width) * size_t(m_height), 0.0f);
        m_bytes.clear();
        m_packed = sBox();
    }
    m_touched = sBox();
}

void cPointSplat::add(const float* in_points, int in_count, const float (&in_mvp)[16],
                      float in_diameter, float in_weight)
{
    if (!in_points || in_count <= 0 || m_weights.empty() || !(in_weight > 0.0f) ||
        !(in_diameter > 0.0f) || in_diameter > 4096.0f)
        return;
    const sDiscs discs = {in_points, in_count, in_mvp, in_diameter, in_weight};
    // Many points: the lower and the upper half of the rows on two threads. Each pixel still
    // sums its discs in the order of the points, so the picture is the same to the bit.
    if (in_count < PARALLEL_POINTS || m_height < 2) {
        add_rows(discs, 0, m_height - 1, m_touched);
        return;
    }
    const int middle = m_height / 2;
    sBox upper;
    std::thread helper([&] { add_rows(discs, middle, m_height - 1, upper); });
    add_rows(discs, 0, middle - 1, m_touched);
    helper.join();
    m_touched.include(upper);
}

void cPointSplat::add_rows(const sDiscs& in_discs, int in_row0, int in_row1, sBox& io_touched)
{
    const float radius = in_discs.diameter * 0.5f;
    const float inv_radius = 1.0f / radius;
    const float half_w = 0.5f * float(m_width), half_h = 0.5f * float(m_height);
    const float weight = in_discs.weight;
    std::vector<float> column_fall(size_t(std::ceil(in_discs.diameter)) + 2);
    const float* m = in_discs.mvp;
    for (int n = 0; n < in_discs.count; ++n) {
        const float* p = in_discs.points + 3 * size_t(n);
        const float x = p[0], y = p[1], z = p[2];
        const float cw = m[3] * x + m[7] * y + m[11] * z + m[15];
        const float cz = m[2] * x + m[6] * y + m[10] * z + m[14];
        // Outside the near and far planes (or not a number) the point is clipped, as GL does.
        if (!(cw > 0.0f && cz >= -cw && cz <= cw))
            continue;
        const float cx = m[0] * x + m[4] * y + m[8] * z + m[12];
        const float cy = m[1] * x + m[5] * y + m[9] * z + m[13];
        const float wx = (cx / cw + 1.0f) * half_w;
        const float wy = (cy / cw + 1.0f) * half_h;
        if (!(wx > -radius && wx < float(m_width) + radius && wy > -radius &&
              wy < float(m_height) + radius))
            continue;
        // The pixels whose centres lie in the disc's square, within the picture and the rows.
        const int x0 = std::max(int(std::ceil(wx - radius - 0.5f)), 0);
        const int x1 = std::min(int(std::floor(wx + radius - 0.5f)), m_width - 1);
        const int y0 = std::max(int(std::ceil(wy - radius - 0.5f)), in_row0);
        const int y1 = std::min(int(std::floor(wy + radius - 0.5f)), in_row1);
        if (x0 > x1 || y0 > y1)
            continue;
        io_touched.include({x0, x1, y0, y1});
        for (int i = x0; i <= x1; ++i) {
            const float dx = (float(i) + 0.5f - wx) * inv_radius;
            column_fall[size_t(i - x0)] = dx * dx;
        }
        for (int j = y0; j <= y1; ++j) {
            const float dy = (float(j) + 0.5f - wy) * inv_radius;
            const float rest = 1.0f - dy * dy;
            if (rest <= 0.0f)
                continue;
            float* row = m_weights.data() + size_t(j) * size_t(m_width);
            for (int i = x0; i <= x1; ++i) {
                const float fall = rest - column_fall[size_t(i - x0)];
                if (fall > 0.0f)
                    row[i] += weight * fall * fall;
            }
        }
    }
}

const std::vector<uint8_t>& cPointSplat::pack(const float (&in_colour)[3])
{
    auto scale = [](float c) { return 255.0f * std::clamp(c, 0.0f, 1.0f); };
    const float r = scale(in_colour[0]), g = scale(in_colour[1]), b = scale(in_colour[2]);
    rewrite({0, 0, 0, 255}, [=](float w, uint8_t* out) {
        if (w <= 0.0f) {
            out[0] = out[1] = out[2] = 0;
        } else {
            out[0] = uint8_t(std::min(b * w, 255.0f) + 0.5f);
            out[1] = uint8_t(std::min(g * w, 255.0f) + 0.5f);
            out[2] = uint8_t(std::min(r * w, 255.0f) + 0.5f);
        }
    });
    return m_bytes;
}

const std::vector<uint8_t>& cPointSplat::pack(const std::vector<tBGRA>& in_tones, float in_step)
{
    if (in_tones.empty() || !(in_step > 0.0f))
        return pack({0.0f, 0.0f, 0.0f});
    const float per_weight = 1.0f / in_step;
    const float last = float(in_tones.size() - 1);
    rewrite(in_tones[0], [&](float w, uint8_t* out) {
        // Not a number and negative sums take the first tone, huge ones the last.
        const float k = std::min(std::max(w, 0.0f) * per_weight + 0.5f, last);
        const tBGRA& tone = in_tones[size_t(k >= 0.0f ? k : 0.0f)];
        std::copy(tone.begin(), tone.end(), out);
    });
    return m_bytes;
}

template <class tTone> void cPointSplat::rewrite(const tBGRA& in_background, const tTone& in_tone)
{
    if (m_bytes.size() != m_weights.size() * 4 || in_background != m_background) {
        // Every pixel no disc touches shows the background.
        m_bytes.resize(m_weights.size() * 4);
        for (size_t i = 0; i < m_bytes.size(); i += 4)
            std::copy(in_background.begin(), in_background.end(), m_bytes.begin() + long(i));
        m_background = in_background;
        m_packed = sBox();
    }
    // What the last picture lit and this one does not goes back to the background on the way.
    sBox box = m_touched;
    box.include(m_packed);
    m_packed = m_touched;
    for (int j = box.y0; j <= box.y1; ++j) {
        const size_t first = size_t(j) * size_t(m_width) + size_t(box.x0);
        const float* w = m_weights.data() + first;
        uint8_t* out = m_bytes.data() + first * 4;
        for (int i = box.x0; i <= box.x1; ++i, ++w, out += 4)
            in_tone(*w, out);
    }
}

float cPointSplat::weight(int in_x, int in_y) const
{
    if (in_x < 0 || in_y < 0 || in_x >= m_width || in_y >= m_height)
        return 0.0f;
    return m_weights[size_t(in_y) * size_t(m_width) + size_t(in_x)];
}
