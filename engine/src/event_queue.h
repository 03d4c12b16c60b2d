// Timed events and the time-sorted queue the scene manager fires them from: marker-script
// marks, MIDI notes and controllers, beat ticks.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class cMETrigger;

// Event ids: one space for marker tokens and MIDI events.
enum
{
    EV_SCENE_FIRST = 0, // "s00", the start point of the demo
    EV_SCENE_LAST = 21, // "s21"
    EV_SCENE_100 = 22,  // "s100"
    EV_DIGIT = 24,      // a marker line starting with a digit; never stored
    EV_BEAT = 25,
    EV_SNARE = 26,
    EV_RUMBLE = 27,
    EV_FADEIN = 28,
    EV_BWAB1 = 29,
    EV_BWAB2 = 30,
    EV_TECHNOFX = 31,
    EV_TECHNOFX2 = 32,
    EV_MELODY = 33,
    EV_LEAD = 34,
    EV_HIHATC = 35,
    EV_HIHATO = 36,
    EV_SINUS_IN = 37,
    EV_MIDI = 39,      // note on, note off or controller change
    EV_MIDI_BEAT = 40, // one per beat of the song's tempo
    EV_QUIT = 41,
};

class cEvent
{
public:
    cEvent() = default;
    explicit cEvent(int in_id) : m_id(in_id) {}
    cEvent(int in_id, int in_time) : m_id(in_id), m_time(in_time) {}
    cEvent(const cEvent&) = default;
    cEvent& operator=(const cEvent&) = default;
    virtual ~cEvent() = default;

    bool is_valid() const { return m_id != -1; }

    int m_id = -1;   // -1: invalid
    int m_time = -1; // demo time in ms at which the event is due; -1: unset
};

// Owns its events. The cursor is the next event not yet fired.
class cEventQueue
{
public:
    cEventQueue() = default;
    ~cEventQueue();
    cEventQueue(const cEventQueue&) = delete;
    cEventQueue& operator=(const cEventQueue&) = delete;

    // Appends without sorting; the queue takes ownership. A null event is ignored.
    void add_event(cEvent* ev);
    // Ascending by time; events with equal times stay in the order they were added. The
    // cursor keeps its index: rewind or seek afterwards.
    void sort();
    void rewind();
    // Cursor to the first event whose time is strictly greater than `t`.
    void seek(int t);
    // The event under the cursor when its time is strictly less than `t` (the cursor then
    // moves on), else null. The queue keeps ownership.
    cEvent* pop_due(int t);
    // Time of the first event with `id` from the cursor on, moving the cursor just past it;
    // -1 and the cursor unchanged when there is none.
    int find_next(int id);
    // Copy of the first event with `id` from the cursor on; an invalid event when none.
    cEvent peek_next(int id) const;
    // The n-th (n >= 1) MIDI note event of `track` from the cursor on, or null.
    cMETrigger* find_trigger(int track, int n) const;
    cMETrigger* find_next_trigger(int track) const { return find_trigger(track, 1); }
    void clear();
    // Every event as "<time> <id>" on the error stream.
    void dump() const;

    std::size_t size() const { return m_events.size(); }
    bool empty() const { return m_events.empty(); }
    std::size_t cursor() const { return m_cursor; } // size() when all have fired
    const std::vector<cEvent*>& events() const { return m_events; }

    std::vector<std::string> m_track_names; // MIDI track names in track order
    std::vector<int> m_controllers;         // MIDI controller numbers seen, ascending, once each

private:
    std::vector<cEvent*> m_events;
    std::size_t m_cursor = 0;
};

// The note-on tests the scenes react with: a MIDI note-on (kind 1) from `track` (and `note`).
bool is_note_on(const cEvent* ev, int track);
bool is_note_on(const cEvent* ev, int track, int note);
