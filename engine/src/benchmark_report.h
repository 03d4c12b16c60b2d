// Frame times of a benchmark run, grouped into stretches of time with the same set of active
// layers, written as a table for people and as JSON for scripts.
#pragma once

#include <string>
#include <vector>

// One layer that is drawn at some demo time: its depth and the name of its scene.
struct sActiveLayer
{
    int depth = 0;
    std::string scene;

    bool operator==(const sActiveLayer& o) const { return depth == o.depth && scene == o.scene; }
};
using tActiveLayers = std::vector<sActiveLayer>;

// Median, 95th percentile (both interpolated between neighbouring ranks) and worst of a set of
// frame times in ms; all zero for an empty set.
struct sFrameStats
{
    int frames = 0;
    double median_ms = 0;
    double p95_ms = 0;
    double worst_ms = 0;
    double total_ms = 0;
};
sFrameStats frame_stats(std::vector<double> in_frame_ms);

// Consecutive frames that drew the same layers.
struct sStretch
{
    int first_ms = 0; // demo time of the first frame
    int last_ms = 0;  // demo time of the last frame
    tActiveLayers layers;
    std::vector<int> frame_at_ms; // demo time of each frame
    std::vector<double> frame_ms; // and how long it took
};

// What the run was: shown above the table and stored in the JSON.
struct sBenchmarkSetup
{
    int width = 0;
    int height = 0;
    int fps = 0;
    std::string from; // as given ("s01", "13333")
    std::string to;
    int from_ms = 0;
    int to_ms = 0;
    std::string renderer; // GL_RENDERER
    std::string version;  // GL_VERSION
};

class cBenchmarkReport
{
public:
    explicit cBenchmarkReport(const sBenchmarkSetup& in_setup) : m_setup(in_setup) {}

    // Frames come in demo-time order; a frame whose layers differ from the previous frame's
    // starts a new stretch.
    void add_frame(int in_time_ms, const tActiveLayers& in_layers, double in_frame_ms);

    const std::vector<sStretch>& stretches() const { return m_stretches; }
    sFrameStats total() const;
    // Frames per second over the time spent rendering; 0 without frames.
    double overall_fps() const;

    // One row per stretch (window, depths and scene names, frames, median, p95, worst), then
    // the totals and the overall frames per second.
    std::string table() const;
    // The setup, each stretch with its statistics and its frames (demo times in "frame_at_ms",
    // their times in "frame_ms"), and the totals.
    std::string json() const;

private:
    sBenchmarkSetup m_setup;
    std::vector<sStretch> m_stretches;
};

// "12.5" style numbers for the table: fixed, `in_decimals` places.
std::string fixed_number(double in_value, int in_decimals);
// A JSON string literal (quotes, backslashes and control characters escaped).
std::string json_string(const std::string& in_text);
