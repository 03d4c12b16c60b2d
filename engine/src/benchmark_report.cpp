// Benchmark table and JSON (see benchmark_report.h).
#include "benchmark_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>

namespace {

// Linear interpolation between the closest ranks of sorted values; `in_p` in [0, 1].
double percentile(const std::vector<double>& in_sorted, double in_p)
{
    if (in_sorted.empty())
        return 0.0;
    const double pos = in_p * double(in_sorted.size() - 1);
    const size_t lo = size_t(std::floor(pos));
    const size_t hi = std::min(lo + 1, in_sorted.size() - 1);
    return in_sorted[lo] + (in_sorted[hi] - in_sorted[lo]) * (pos - double(lo));
}

// m:ss.mmm of a demo time.
std::string clock_text(int in_ms)
{
    const long long ms = in_ms < 0 ? -static_cast<long long>(in_ms) : in_ms;
    char text[48];
    std::snprintf(text, sizeof(text), "%s%lld:%02lld.%03lld", in_ms < 0 ? "-" : "", ms / 60000,
                  (ms / 1000) % 60, ms % 1000);
    return text;
}

std::string layers_text(const tActiveLayers& in_layers)
{
    if (in_layers.empty())
        return "(no layers)";
    std::string text;
    for (const sActiveLayer& layer : in_layers) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(layer.depth) + " " + layer.scene;
    }
    return text;
}

std::string pad(const std::string& in_text, size_t in_width, bool in_right = false)
{
    if (in_text.size() >= in_width)
        return in_text;
    const std::string fill(in_width - in_text.size(), ' ');
    return in_right ? fill + in_text : in_text + fill;
}

void json_stats(std::ostream& os, const sFrameStats& in_stats)
{
    os << "\"frames\": " << in_stats.frames
       << ", \"median_ms\": " << fixed_number(in_stats.median_ms, 3)
       << ", \"p95_ms\": " << fixed_number(in_stats.p95_ms, 3)
       << ", \"worst_ms\": " << fixed_number(in_stats.worst_ms, 3);
}

} // namespace

std::string fixed_number(double in_value, int in_decimals)
{
    if (!std::isfinite(in_value))
        in_value = 0.0;
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", std::clamp(in_decimals, 0, 9), in_value);
    return text;
}

std::string json_string(const std::string& in_text)
{
    std::string out = "\"";
    for (const char c : in_text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", unsigned(u));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

sFrameStats frame_stats(std::vector<double> in_frame_ms)
{
    sFrameStats stats;
    if (in_frame_ms.empty())
        return stats;
    std::sort(in_frame_ms.begin(), in_frame_ms.end());
    stats.frames = int(in_frame_ms.size());
    stats.median_ms = percentile(in_frame_ms, 0.5);
    stats.p95_ms = percentile(in_frame_ms, 0.95);
    stats.worst_ms = in_frame_ms.back();
    stats.total_ms = std::accumulate(in_frame_ms.begin(), in_frame_ms.end(), 0.0);
    return stats;
}

void cBenchmarkReport::add_frame(int in_time_ms, const tActiveLayers& in_layers, double in_frame_ms)
{
    if (m_stretches.empty() || !(m_stretches.back().layers == in_layers)) {
        sStretch stretch;
        stretch.first_ms = in_time_ms;
        stretch.layers = in_layers;
        m_stretches.push_back(stretch);
    }
    sStretch& current = m_stretches.back();
    current.last_ms = in_time_ms;
    current.frame_at_ms.push_back(in_time_ms);
    current.frame_ms.push_back(in_frame_ms);
}

sFrameStats cBenchmarkReport::total() const
{
    std::vector<double> all;
    for (const sStretch& stretch : m_stretches)
        all.insert(all.end(), stretch.frame_ms.begin(), stretch.frame_ms.end());
    return frame_stats(std::move(all));
}

double cBenchmarkReport::overall_fps() const
{
    const sFrameStats stats = total();
    return stats.total_ms > 0.0 ? double(stats.frames) * 1000.0 / stats.total_ms : 0.0;
}

std::string cBenchmarkReport::table() const
{
    std::ostringstream os;
    os << "# benchmark: " << m_setup.width << "x" << m_setup.height << ", " << m_setup.fps
       << " fps, " << m_setup.from << " (" << m_setup.from_ms << " ms) to " << m_setup.to << " ("
       << m_setup.to_ms << " ms)\n";
    os << "# renderer: " << m_setup.renderer << ", OpenGL " << m_setup.version << "\n";

    std::vector<std::string> windows, layers;
    size_t window_width = std::string("window").size();
    size_t layers_width = std::string("layers").size();
    for (const sStretch& stretch : m_stretches) {
        windows.push_back(clock_text(stretch.first_ms) + " - " + clock_text(stretch.last_ms));
        layers.push_back(layers_text(stretch.layers));
        window_width = std::max(window_width, windows.back().size());
        layers_width = std::max(layers_width, layers.back().size());
    }
    const auto row = [&](const std::string& window, const std::string& names,
                         const std::string& frames, const std::string& median,
                         const std::string& p95, const std::string& worst) {
        os << pad(window, window_width) << "  " << pad(names, layers_width) << "  "
           << pad(frames, 6, true) << "  " << pad(median, 9, true) << "  " << pad(p95, 8, true)
           << "  " << pad(worst, 8, true) << "\n";
    };
    row("window", "layers", "frames", "median ms", "p95 ms", "worst ms");
    for (size_t i = 0; i < m_stretches.size(); ++i) {
        const sFrameStats stats = frame_stats(m_stretches[i].frame_ms);
        row(windows[i], layers[i], std::to_string(stats.frames), fixed_number(stats.median_ms, 2),
            fixed_number(stats.p95_ms, 2), fixed_number(stats.worst_ms, 2));
    }
    const sFrameStats all = total();
    row("total", "", std::to_string(all.frames), fixed_number(all.median_ms, 2),
        fixed_number(all.p95_ms, 2), fixed_number(all.worst_ms, 2));
    os << "overall: " << all.frames << " frames in " << fixed_number(all.total_ms / 1000.0, 2)
       << " s of rendering, " << fixed_number(overall_fps(), 1) << " frames per second\n";
    return os.str();
}

std::string cBenchmarkReport::json() const
{
    std::ostringstream os;
    os << "{\n";
    os << "  \"width\": " << m_setup.width << ",\n";
    os << "  \"height\": " << m_setup.height << ",\n";
    os << "  \"fps\": " << m_setup.fps << ",\n";
    os << "  \"from\": " << json_string(m_setup.from) << ",\n";
    os << "  \"to\": " << json_string(m_setup.to) << ",\n";
    os << "  \"from_ms\": " << m_setup.from_ms << ",\n";
    os << "  \"to_ms\": " << m_setup.to_ms << ",\n";
    os << "  \"renderer\": " << json_string(m_setup.renderer) << ",\n";
    os << "  \"gl_version\": " << json_string(m_setup.version) << ",\n";
    os << "  \"stretches\": [";
    for (size_t i = 0; i < m_stretches.size(); ++i) {
        const sStretch& stretch = m_stretches[i];
        os << (i ? ",\n" : "\n") << "    {\"first_ms\": " << stretch.first_ms
           << ", \"last_ms\": " << stretch.last_ms << ", \"layers\": [";
        for (size_t j = 0; j < stretch.layers.size(); ++j) {
            os << (j ? ", " : "") << "{\"depth\": " << stretch.layers[j].depth
               << ", \"scene\": " << json_string(stretch.layers[j].scene) << "}";
        }
        os << "], ";
        json_stats(os, frame_stats(stretch.frame_ms));
        os << ",\n     \"frame_at_ms\": [";
        for (size_t k = 0; k < stretch.frame_at_ms.size(); ++k)
            os << (k ? ", " : "") << stretch.frame_at_ms[k];
        os << "],\n     \"frame_ms\": [";
        for (size_t k = 0; k < stretch.frame_ms.size(); ++k)
            os << (k ? ", " : "") << fixed_number(stretch.frame_ms[k], 3);
        os << "]}";
    }
    os << (m_stretches.empty() ? "],\n" : "\n  ],\n");
    const sFrameStats all = total();
    os << "  \"total\": {";
    json_stats(os, all);
    os << ", \"seconds\": " << fixed_number(all.total_ms / 1000.0, 3)
       << ", \"fps\": " << fixed_number(overall_fps(), 2) << "}\n";
    os << "}\n";
    return os.str();
}
