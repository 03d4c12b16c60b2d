// The durations of the last 250 frames, drawn as a small graph at the top of the debug overlay
// with the best frame time in milliseconds and as a rate in hertz.
#pragma once

#include <cstdint>

#include "gui/gui_txt_label.h"

class cFpsGraph
{
public:
    static constexpr int FRAMES = 250;
    static constexpr uint32_t NO_MINIMUM = 2147483647u; // shortest of an empty history

    // Once per frame: the demo time of the scene manager's clock.
    void record();
    // One frame at a given demo time: its duration is the step from the previous frame's time
    // (none for the first frame after start, whose previous time is 0).
    void record_time(uint32_t in_time_ms);
    // Mode 1: speed relative to the best frame (the best frame touches the top of the box);
    // mode 2: duration relative to the worst.
    void RenderOverlay(int mode);
    // The shortest (or, with `in_longest`, the longest) non-zero duration in the ring; 0 or
    // NO_MINIMUM when there is none.
    uint32_t extreme(bool in_longest) const;

    uint16_t index() const { return m_index; }
    const uint32_t* durations() const { return m_durations; }
    uint32_t best() const { return m_best; }
    uint32_t worst() const { return m_worst; }

    // The box in unit coordinates of the viewport.
    static constexpr float BOX_W = 0.9f, BOX_H = 0.2f, BOX_X = 0.05f, BOX_Y = 0.75f;
    // Where the k-th (from 0) plotted duration stands across, and how high a ratio of 0..1
    // puts it.
    static float point_x(int k);
    static float point_y(float in_ratio);

private:
    // The plotted ratio of each non-zero duration from the oldest to the newest.
    int ratios(int mode, float* out_ratios) const;
    void draw_texts();

    uint16_t m_index = 0;              // ring position of the newest frame
    uint32_t m_times[FRAMES] = {};     // demo ms of each recorded frame
    uint32_t m_durations[FRAMES] = {}; // ms; 0 means no value
    uint32_t m_best = NO_MINIMUM;      // shortest duration as last computed
    uint32_t m_worst = 0;              // longest duration as last computed
    cGuiTxtLabel m_label;              // the best time and rate
};
