// The author's view of the MIDI events as they arrive: a scrolling piano roll with one lane
// per track, beat lines and controller ticks, to check the sync of the music by eye.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "scene.h"

class cSceneMidiTest : public cScene
{
public:
    explicit cSceneMidiTest(const cClock* in_clock);

    std::string get_name() const override { return "miditest"; }
    void load() override;
    void draw() override;
    void handle_event(cEvent* in_event) override;
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    // Not supported: the view draws straight onto the screen.
    cRTProxy render_to_texture(int in_time_ms) override;

    // A note as drawn: from its note-on to its note-off (-1 while it sounds).
    struct sNote
    {
        int track;
        int note;
        int velocity;
        int start;
        int end;
    };
    const std::deque<sNote>& notes() const { return m_notes; }
    const std::deque<int>& beats() const { return m_beats; }

    float m_ctrl = 4.0f; // seconds of history shown across the screen

private:
    void forget_before(int in_time);
    void draw_lanes(int in_now, int in_lanes) const;
    void draw_names(int in_lanes) const;

    std::deque<sNote> m_notes;
    std::deque<int> m_beats;
    std::deque<std::pair<int, int>> m_controls; // (track, time)
    std::vector<std::string> m_track_names;
    int m_lanes = 24;
};
