// Process-wide input state written by the event pump and read by the demo and the overlay.
#pragma once

#include <set>

union SDL_Event;

// The keys held or pressed since the last pass (lower-cased key codes), with a cursor for one
// pass over them. A key pressed and released between two passes is still seen by the next one
// (once), so a short tap between two frames is not lost.
class cKeySet
{
public:
    void press(int key)
    {
        m_keys.insert(key);
        m_tapped.insert(key);
    }
    void release(int key) { m_keys.erase(key); }
    // False when nothing is held or was tapped; otherwise puts the cursor on the first key.
    // Taps are forgotten by the pass: a tap not consumed by it is gone.
    bool begin();
    // Keys held now.
    int size() const { return int(m_keys.size()); }
    // The key under the cursor, advancing the cursor; -1 at the end.
    int next();
    // Removes the key that next() returned last.
    void consume();
    bool held(int key) const { return m_keys.count(key) != 0; }
    void clear()
    {
        m_keys.clear();
        m_tapped.clear();
        m_pass.clear();
        m_cursor = m_pass.end();
    }

private:
    std::set<int> m_keys;   // held now
    std::set<int> m_tapped; // pressed since the last pass began
    std::set<int> m_pass;   // what the current pass walks over
    std::set<int>::iterator m_cursor = m_pass.end();
    int m_last = -1;
};

struct sMousePos
{
    float x = 0, y = 0, z = 0;
};

// Mouse state in window units: (0, 0) lower left, (1, 1) upper right.
struct sMouse
{
    float x = 0, y = 0, z = 0;
    sMousePos ring[3]; // the last three positions, advanced once per frame
    int ring_index = 0;
    sMousePos last_press;
    int button[6] = {0, 0, 0, 0, 0, 0}; // 1 left, 2 middle, 3 right, 4 wheel up, 5 wheel down
    unsigned char latch = 0;           // 1 left seen held, 2 middle, 4 right, 8 up, 16 down

    void advance_ring();
    bool any_button() const;
};

extern cKeySet g_keys;
extern sMouse g_mouse;

// At most this many window events are handled per frame; the rest wait for the next one.
constexpr int EVENTS_PER_FRAME = 10;

// Moves up to ten pending window events into g_keys and g_mouse; returns how many it took.
// Escape and closing the window end the program with status 0.
int pump_events();
// One event's effect on the input state (what pump_events does per event).
void handle_input_event(const SDL_Event& event);
// Window pixel (column, row from the top) to the unit position of g_mouse.
void window_to_mouse(int px, int py, float& x, float& y);
