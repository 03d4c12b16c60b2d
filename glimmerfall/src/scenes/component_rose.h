// The rose: rhodonea curves traced by glowing points, with a ring of octahedra turning on
// every petal layer. Used by the rose scene and by the Ganesh sculpture's halo.
#pragma once

#include <vector>

#include "math/vec3.h"
#include "scenes/component.h"

class iMesh;

class cComponentRose : public iComponent
{
public:
    cComponentRose() = default;

    // Fetches "octahedra.bzobj".
    void load() override;
    void update(int in_time_ms) override;
    // Additive, without depth writes: the rose glows over whatever is behind it.
    void draw() override;
    // "rose_pos", "rose_scale", "rose_pt_size", "rose_alpha", "rose_pt_alpha", "rose_col",
    // "rose_it".
    void get_vars(tVarList& io_vars) override;

    // Points of one layer's curve at a phase (radians); x y z per point, in rose units (the
    // outermost petal tips lie on the unit circle before `m_scale`).
    static void trace_layer(int in_layer, float in_phase, std::vector<float>& out_points);
    // Draws `in_count` points of the bound vertex (and colour) arrays from `in_first` on, each
    // a disc of `in_diameter` pixels with a soft rim, as smoothed points look (with the blend
    // and colours as they are set).
    static void draw_soft_points(int in_first, int in_count, float in_diameter);

    Vec3<float> m_pos{0, 0, 0};            // "rose_pos", centre in the caller's units, -10..10
    float m_scale = 1.0f;                  // "rose_scale", 0..10
    float m_pt_size = 3.0f;                // "rose_pt_size", point size in pixels, 0.5..16
    float m_alpha = 0.6f;                  // "rose_alpha", opacity of the octahedra, 0..1
    float m_pt_alpha = 0.5f;               // "rose_pt_alpha", opacity of the traced points, 0..1
    Vec3<float> m_col{1.0f, 0.25f, 0.85f}; // "rose_col", colour of the innermost layer, 0..1
    int m_it = 4;                          // "rose_it", number of petal layers, 1..8
    float m_kick = 0.0f;                   // 0..1, a pulse the owner drives (it swells the rose)

    static constexpr int MAX_LAYERS = 8;
    static constexpr int POINTS_PER_LAYER = 720;

private:
    iMesh* m_octahedra = nullptr; // owned by the mesh manager
    float m_time = 0.0f;          // demo seconds of the last update
    std::vector<float> m_points;  // scratch for one layer's curve
    std::vector<float> m_colours; // its colours, RGBA per point
};
