// The attractor's point cloud: a buffer that a calculator refills one step at a time, in place,
// so the buffer always holds the latest `total` points and no frame pays for the whole cloud.
#pragma once

#include <memory>
#include <vector>

class iAttractorCalculator;

class cPointCloud
{
public:
    // Throws std::invalid_argument unless 0 < step <= total. Takes the calculator (a Pickover
    // map when null).
    cPointCloud(int in_total, int in_step, std::unique_ptr<iAttractorCalculator> in_calculator);
    ~cPointCloud();
    cPointCloud(const cPointCloud&) = delete;
    cPointCloud& operator=(const cPointCloud&) = delete;

    // One step: when a whole step no longer fits behind the cursor, the cursor goes back to 0
    // and the calculator restarts from the origin; `step` points are written at the cursor,
    // which then moves on.
    void step();
    // x, y, z of every point; the first `filled()` hold computed positions.
    const float* points() const { return m_points.data(); }

    int total() const { return m_total; }
    int step_size() const { return m_step; }
    int cursor() const { return m_cursor; }
    // Points that hold computed positions: the highest cursor reached.
    int filled() const { return m_filled; }
    iAttractorCalculator& calculator() { return *m_calculator; }

    float m_params[4] = {0, 0, 0, 0}; // a, b, c, d handed to the calculator

private:
    int m_total;
    int m_step;
    std::vector<float> m_points;
    std::unique_ptr<iAttractorCalculator> m_calculator;
    int m_cursor = 0; // in points
    int m_filled = 0; // in points
};
