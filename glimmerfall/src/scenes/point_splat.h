// Soft discs added up on the CPU: the attractor's cloud drawn as a software rasteriser would
// draw point sprites with additive blending, without a GL driver's per-point path (on Mesa's
// software rasteriser, 100000 sprites cost more than the rest of the frame together).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class cPointSplat
{
public:
    // Empties the picture and gives it `in_width` x `in_height` pixels (negative sizes: none).
    // Only what the last discs touched is wiped when the size stays.
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
    // `in_colour` (each channel clamped to 0..1), clamped to white, opaque. Valid until the
    // next call; only the pixels the discs of this or the last packed picture touched are
    // rewritten, the rest is known to be black.
    const std::vector<uint8_t>& pack(const float (&in_colour)[3]);
    // A pixel's blue, green, red and alpha bytes.
    using tBGRA = std::array<uint8_t, 4>;
    // The same with each pixel the tone for its summed weight: `in_tones[k]` for the weights
    // nearest k * `in_step`, the last tone for all above; the pixels no disc touched take the
    // first. (A colour grading of a one-coloured picture is a tone for each weight.) No tones
    // or no step give black.
    const std::vector<uint8_t>& pack(const std::vector<tBGRA>& in_tones, float in_step);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Summed weight of pixel (x, y) from the bottom left; 0 outside the picture.
    float weight(int in_x, int in_y) const;

private:
    // A rectangle of pixels, both ends included; empty while x0 > x1.
    struct sBox
    {
        int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
        bool empty() const { return x0 > x1 || y0 > y1; }
        void include(const sBox& in_other);
    };

    // One add() call's discs.
    struct sDiscs
    {
        const float* points;
        int count;
        const float* mvp;
        float diameter;
        float weight;
    };
    // From this many points on, add() shares the rows between two threads.
    static constexpr int PARALLEL_POINTS = 4096;
    // Adds the parts of the discs in rows `in_row0` to `in_row1` (both included), noting the
    // pixels touched in `io_touched`.
    void add_rows(const sDiscs& in_discs, int in_row0, int in_row1, sBox& io_touched);
    // Rewrites the pixels the discs of this or the last packed picture touched: `in_tone(w,
    // out)` writes the bytes of a pixel of summed weight w; the others show `in_background`.
    template <class tTone> void rewrite(const tBGRA& in_background, const tTone& in_tone);

    int m_width = 0;
    int m_height = 0;
    std::vector<float> m_weights; // row by row from the bottom
    sBox m_touched;               // the pixels discs were added to since the last clear
    std::vector<uint8_t> m_bytes; // the last packed picture
    sBox m_packed;                // the pixels of m_bytes that may differ from the background
    tBGRA m_background = {0, 0, 0, 255}; // what the untouched pixels of m_bytes show
};
