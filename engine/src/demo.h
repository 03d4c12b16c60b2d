// Base class of a demo production: the main loop, the debug keys and the mouse. A production
// derives from it and builds its content in setup().
#pragma once

#include <ostream>
#include <string>

#include "gui/debug_overlay.h"

class cSceneManager;

class cDemo
{
public:
    // Throws std::exception ("only a single demo allowed at any one time...") when a demo
    // already exists in this process.
    cDemo();
    virtual ~cDemo();
    cDemo(const cDemo&) = delete;
    cDemo& operator=(const cDemo&) = delete;

    virtual void setup() = 0;

    // Starts the music and the demo time, then enters the main loop; never returns.
    [[noreturn]] void run();
    // The main loop; never returns (the program leaves through exit()).
    [[noreturn]] void vantor();

    // Leave through exit(0) after this many frames (smoke tests); negative: never.
    void set_frame_limit(long frames) { m_frame_limit = frames; }

    // One frame of the loop, from the event pump to the error checks.
    void frame();
    void handle_keys();
    // The Space report, once this frame's demo time is set: the time of the picture drawn
    // next and the variables of what it shows.
    void report_if_asked();
    void handle_mouse();

    bool overlay_shown() const { return m_show_overlay; }
    cDebugOverlay& overlay() { return m_overlay; }

protected:
    // The demo time and the name of the scene shown, for the time report.
    int current_time() const;
    std::string current_scene_name() const;

private:
    void send_overlay_mouse(int kind, float px, float py);
    // The frame's demo time and the device callbacks since the last frame, to the live log.
    void log_frame(cSceneManager& in_scenes) const;

    cDebugOverlay m_overlay;
    bool m_show_overlay = false;
    bool m_report_pending = false; // Space was pressed: report once the frame's time is set
    long m_frame_limit = -1;
    long m_frames = 0;
};

// HH:MM:SS,mmm for a time in milliseconds.
std::string format_time(int ms);

// The Space-key report: a line "-", then the time and the scene's name.
void print_time_report(std::ostream& os, int ms, const std::string& scene_name);

// Guards the one-demo-per-process rule; true when a demo may be constructed now.
bool claim_single_demo(bool& flag);
