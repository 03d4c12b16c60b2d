// Streaming attractor point cloud (see point_cloud.h).
#include "scenes/point_cloud.h"

#include <stdexcept>

#include "scenes/attractor_calculator.h"

cPointCloud::cPointCloud(int in_total, int in_step,
                         std::unique_ptr<iAttractorCalculator> in_calculator)
    : m_total(in_total), m_step(in_step), m_calculator(std::move(in_calculator))
{
    if (in_step <= 0 || in_total <= 0 || in_step > in_total)
        throw std::invalid_argument("point cloud: the step must lie in 1..total");
    if (!m_calculator)
        m_calculator = std::make_unique<cAttractorCalculator_pickover>();
    m_points.assign(size_t(m_total) * 3, 0.0f);
}

cPointCloud::~cPointCloud() = default;

void cPointCloud::step()
{
    float* points = m_points.data();
    if (m_cursor + m_step > m_total) {
        m_cursor = 0;
        m_calculator->restart_and_compute(points, m_step, m_params);
    } else {
        m_calculator->compute(points + size_t(m_cursor) * 3, m_step, m_params);
    }
    m_cursor += m_step;
    if (m_cursor > m_filled)
        m_filled = m_cursor;
}
