// Streaming attractor point cloud (see point_cloud.h).
#include "scenes/point_cloud.h"

#include <iostream>
#include <stdexcept>
#include <vector>

#include "scenes/attractor_calculator.h"
#include "startup.h"

cPointCloud::cPointCloud(int in_total, int in_step,
                         std::unique_ptr<iAttractorCalculator> in_calculator)
    : m_total(in_total), m_step(in_step), m_calculator(std::move(in_calculator))
{
    if (in_step <= 0 || in_total <= 0 || in_step > in_total)
        throw std::invalid_argument("point cloud: the step must lie in 1..total");
    if (!m_calculator)
        m_calculator = std::make_unique<cAttractorCalculator_pickover>();
}

cPointCloud::~cPointCloud() = default;

void cPointCloud::allocate()
{
    // Zeros through the buffer's own upload give it a name and its size; the same bytes are
    // then respecified with the streaming hint, since the buffer is rewritten every frame.
    const std::vector<float> zeros(size_t(m_total) * 3, 0.0f);
    m_vbo.upload(zeros);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, m_vbo.get_buffer());
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(zeros.size() * sizeof(float)), zeros.data(),
                    GL_STREAM_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    m_allocated = true;
}

bool cPointCloud::step()
{
    if (!m_allocated)
        allocate();

    float* points = static_cast<float*>(m_vbo.map(GL_WRITE_ONLY_ARB));
    if (!points) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        check_gl_error("cPointCloud::step");
        std::cerr << "## ERROR: attractor point buffer could not be mapped" << std::endl;
        return false;
    }
    if (m_cursor + m_step > m_total) {
        m_cursor = 0;
        m_calculator->restart_and_compute(points, m_step, m_params);
    } else {
        m_calculator->compute(points + size_t(m_cursor) * 3, m_step, m_params);
    }
    m_cursor += m_step;
    if (m_cursor > m_filled)
        m_filled = m_cursor;
    m_vbo.unmap();
    return true;
}

void cPointCloud::draw()
{
    if (!m_filled)
        return;
    m_vbo.bind_as_vertex_array();
    glDrawArrays(GL_POINTS, 0, m_filled);
    m_vbo.unbind();
}
