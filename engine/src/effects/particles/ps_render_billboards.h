// Draws the live particles of a system as camera-facing quads. One position per particle goes
// into a streaming vertex buffer; the "pexpshader" vertex program expands the four corners of
// each quad around it. Filling and drawing are spread over two frames: a frame draws what the
// previous frame wrote, and the buffer is never drawn while it is mapped.
#pragma once

#include <climits>

#include "effects/particles/particle_system_render.h"

class cPSRenderBillboards : public iParticleSystemRender
{
public:
    cPSRenderBillboards() = default;
    ~cPSRenderBillboards() override;
    cPSRenderBillboards(const cPSRenderBillboards&) = delete;
    cPSRenderBillboards& operator=(const cPSRenderBillboards&) = delete;

    // Unmaps and draws the pending fill (an empty name means "pexpshader"), then starts a new
    // fill when the system has changed since the drawn data. The sprites take the current
    // colour; their edge is 0.1 x the GL point size in eye units.
    void render(const cParticleSystem& in_particlesystem, const std::string& in_shader) override;
    // Creates the corner, position and index buffers and registers "pexpshader".
    void init(int max_num_particles) override;

    // The two halves of a fill, as render() runs them on successive frames: map the position
    // buffer and write the live particles (nothing while a fill is pending), then unmap it so
    // those particles are drawn from now on (nothing without a pending fill).
    void start_fill(const cParticleSystem& in_particlesystem);
    void finish_fill();

    int get_draw_count() const { return m_draw_count; }
    int get_max_particles() const { return m_max_particles; }
    bool is_mapped() const { return m_mapped; }

    // Bytes per particle slot in the position buffer; the position sits in its last 12.
    static constexpr int SLOT_BYTES = 48;
    // The buffer is read at four offsets up to 36 bytes apart: the last quad's attributes
    // reach this far past the last slot.
    static constexpr int TAIL_BYTES = 36;

private:
    void draw(const std::string& in_shader) const;
    void release();

    unsigned m_corner_buffer = 0;   // corner number 0..3 per vertex; static
    unsigned m_position_buffer = 0; // 12 floats per particle; streaming
    unsigned m_index_buffer = 0;    // two triangles per quad; static
    int m_max_particles = 0;        // slots the buffers hold
    int m_draw_count = 0;           // quads drawn by render
    int m_fill_count = -1;          // particles written by the pending fill; -1 when none
    int m_fill_time = INT_MIN;      // system time stamp the pending fill reflects
    int m_drawn_time = INT_MIN;     // system time stamp the drawn buffer reflects; none yet
    bool m_mapped = false;          // a fill is pending and the position buffer is mapped
};
