// Soft discs added up on the CPU: the attractor's cloud drawn as a software rasteriser would
// draw point sprites with additive blending, without a GL driver's per-point path (on Mesa's
// software rasteriser, 100000 sprites cost more than the rest of the frame together).
#pragma once

#include <cstdint>
#include <vector>

class cPointSplat
{
public:
    // Empties the picture and gives it `in_width` x `in_height` pixels (negative sizes: none).
    void clear(int in_width, int in_height);

    // Adds `in_count` points (x, y, z triples) taken to clip space by the column-major matrix
    // `in_mvp` (projection times modelview, as GL keeps them). Each point inside the near and
    // far planes is a disc of `in_diameter` pixels around its window position whose weight is
    // `in_weight` at the centre and falls as (1 - r^2)^2 to nothing at the rim, r being the
    // distance from the centre in radii: a pixel takes the disc's value at its centre, as a
    // point sprite of that size does. Points off the picture add nothing.
    void add(const float* in_points, int in_count, const float (&in_mvp)[16], float in_diameter,
             float in_weight);

    // The picture as BGRA bytes, rows from the bottom up: each pixel's summed weight times
    // `in_colour` (each channel clamped to 0..1), clamped to white, opaque.
    void pack(const float (&in_colour)[3], std::vector<uint8_t>& out_bgra) const;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Summed weight of pixel (x, y) from the bottom left; 0 outside the picture.
    float weight(int in_x, int in_y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<float> m_weights;     // row by row from the bottom
    std::vector<float> m_column_fall; // per call: (distance / radius)^2 of a disc's columns
};
