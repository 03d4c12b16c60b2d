// Billboard particle renderer (see ps_render_billboards.h).
#include "effects/particles/ps_render_billboards.h"

#include <cassert>
#include <cstdint>
#include <vector>

#include "effects/particles/particle_system.h"
#include "gl_extensions.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_particle.h"
#include "startup.h"

namespace {

const char* const DEFAULT_SHADER = "pexpshader";

// Byte offsets at which the position buffer is bound as the vertex position and as texture
// coordinates 0, 1 and 2: corner c of quad k then finds its particle in attribute c.
constexpr uintptr_t ATTRIBUTE_OFFSETS[4] = {36, 24, 12, 0};

const void* offset(uintptr_t in_bytes)
{
    return reinterpret_cast<const void*>(in_bytes);
}

} // namespace

cPSRenderBillboards::~cPSRenderBillboards()
{
    release();
}

void cPSRenderBillboards::release()
{
    if (m_mapped) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_position_buffer);
        glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        m_mapped = false;
    }
    const GLuint buffers[3] = {m_corner_buffer, m_position_buffer, m_index_buffer};
    if (m_corner_buffer || m_position_buffer || m_index_buffer)
        glDeleteBuffersARB(3, buffers);
    m_corner_buffer = m_position_buffer = m_index_buffer = 0;
}

void cPSRenderBillboards::init(int max_num_particles)
{
    assert(max_num_particles >= 0);
    release();
    m_max_particles = max_num_particles < 0 ? 0 : max_num_particles;
    m_draw_count = 0;
    m_fill_count = -1;
    m_fill_time = INT_MIN;
    m_drawn_time = INT_MIN;
    const size_t quads = size_t(m_max_particles);

    GLuint buffers[3] = {0, 0, 0};
    glGenBuffersARB(3, buffers);
    m_corner_buffer = buffers[0];
    m_position_buffer = buffers[1];
    m_index_buffer = buffers[2];

    // Vertex i is corner i mod 4 of its quad.
    std::vector<float> corners(quads * 4);
    for (size_t i = 0; i < corners.size(); ++i)
        corners[i] = float(i % 4);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_corner_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(corners.size() * sizeof(float)),
                    corners.empty() ? nullptr : corners.data(), GL_STATIC_DRAW_ARB);

    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_position_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(quads * SLOT_BYTES + TAIL_BYTES), nullptr,
                    GL_STREAM_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    // Quad q: (4q, 4q+1, 4q+2) and (4q+1, 4q+3, 4q+2).
    std::vector<uint32_t> indices(quads * 6);
    for (size_t q = 0; q < quads; ++q) {
        const uint32_t base = uint32_t(4 * q);
        uint32_t* tri = &indices[6 * q];
        tri[0] = base;
        tri[1] = base + 1;
        tri[2] = base + 2;
        tri[3] = base + 1;
        tri[4] = base + 3;
        tri[5] = base + 2;
    }
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_index_buffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptrARB(indices.size() * sizeof(uint32_t)),
                    indices.empty() ? nullptr : indices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);

    register_pexpshader();
    check_gl_error("cPSRenderBillboards::init");
}

void cPSRenderBillboards::render(const cParticleSystem& in_particlesystem,
                                 const std::string& in_shader)
{
    if (!m_position_buffer)
        return; // not initialised: nothing to draw into or from
    finish_fill();
    draw(in_shader.empty() ? DEFAULT_SHADER : in_shader);
    if (m_drawn_time != in_particlesystem.m_last_update)
        start_fill(in_particlesystem);
}

void cPSRenderBillboards::finish_fill()
{
    if (!m_mapped)
        return;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_position_buffer);
    // A buffer whose contents were lost while mapped (GL_FALSE) is not drawn.
    const bool intact = glUnmapBufferARB(GL_ARRAY_BUFFER_ARB) == GL_TRUE;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    m_drawn_time = m_fill_time;
    m_draw_count = intact ? m_fill_count : 0;
    m_fill_count = -1;
    m_mapped = false;
}

void cPSRenderBillboards::draw(const std::string& in_shader) const
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->bind(in_shader);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_ALPHA_TEST);

    if (m_draw_count > 0) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_position_buffer);
        glVertexPointer(3, GL_FLOAT, 0, offset(ATTRIBUTE_OFFSETS[0]));
        glEnableClientState(GL_VERTEX_ARRAY);
        for (int unit = 0; unit < 3; ++unit) {
            glClientActiveTextureARB(GL_TEXTURE0 + unit);
            glTexCoordPointer(3, GL_FLOAT, 0, offset(ATTRIBUTE_OFFSETS[unit + 1]));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_corner_buffer);
        glClientActiveTextureARB(GL_TEXTURE3);
        glTexCoordPointer(1, GL_FLOAT, 0, offset(0));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);

        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, m_index_buffer);
        glDrawElements(GL_TRIANGLES, GLsizei(m_draw_count) * 6, GL_UNSIGNED_INT, offset(0));

        for (int unit = 3; unit >= 0; --unit) {
            glClientActiveTextureARB(GL_TEXTURE0 + unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }

    glPopClientAttrib();
    glPopAttrib();
    shaders->pop_shader();
}

void cPSRenderBillboards::start_fill(const cParticleSystem& in_particlesystem)
{
    if (m_mapped || !m_position_buffer)
        return;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_position_buffer);
    float* ppos = static_cast<float*>(glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB));
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    assert(ppos && "failed mapping vbo");

    int count = 0;
    for (int i = 0; i < in_particlesystem.m_capacity; ++i) {
        if (!in_particlesystem.m_pt_Alive[i])
            continue;
        assert(in_particlesystem.m_pt_Life[i] > 0);
        // A system larger than the buffers draws its first particles only.
        if (count >= m_max_particles)
            break;
        const Vec3<float>& p = in_particlesystem.m_pt_Pos[i];
        float* slot = ppos + 12 * size_t(count);
        slot[9] = p.x;
        slot[10] = p.y;
        slot[11] = p.z;
        ++count;
    }
    m_fill_count = count;
    m_mapped = true;
    m_fill_time = in_particlesystem.m_last_update;
}
