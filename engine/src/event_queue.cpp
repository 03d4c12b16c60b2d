// The time-sorted event queue and its cursor.
#include "event_queue.h"

#include <algorithm>
#include <cassert>
#include <iostream>

#include "midi_event.h"

cEventQueue::~cEventQueue()
{
    clear();
}

void cEventQueue::add_event(cEvent* ev)
{
    if (ev)
        m_events.push_back(ev);
}

void cEventQueue::sort()
{
    std::stable_sort(m_events.begin(), m_events.end(),
                     [](const cEvent* a, const cEvent* b) { return a->m_time < b->m_time; });
}

void cEventQueue::rewind()
{
    m_cursor = 0;
}

void cEventQueue::seek(int t)
{
    m_cursor = 0;
    while (m_cursor < m_events.size() && !(m_events[m_cursor]->m_time > t))
        ++m_cursor;
}

cEvent* cEventQueue::pop_due(int t)
{
    if (m_cursor >= m_events.size() || !(m_events[m_cursor]->m_time < t))
        return nullptr;
    return m_events[m_cursor++];
}

int cEventQueue::find_next(int id)
{
    for (std::size_t i = m_cursor; i < m_events.size(); ++i) {
        if (m_events[i]->m_id == id) {
            m_cursor = i + 1;
            return m_events[i]->m_time;
        }
    }
    return -1;
}

cEvent cEventQueue::peek_next(int id) const
{
    for (std::size_t i = m_cursor; i < m_events.size(); ++i) {
        if (m_events[i]->m_id == id)
            return cEvent(m_events[i]->m_id, m_events[i]->m_time);
    }
    return cEvent();
}

cMETrigger* cEventQueue::find_trigger(int track, int n) const
{
    assert(n > 0);
    for (std::size_t i = m_cursor; i < m_events.size(); ++i) {
        if (m_events[i]->m_id != EV_MIDI)
            continue;
        auto* trigger = dynamic_cast<cMETrigger*>(m_events[i]);
        if (trigger && trigger->m_track == track && --n == 0)
            return trigger;
    }
    return nullptr;
}

void cEventQueue::clear()
{
    for (cEvent* ev : m_events)
        delete ev;
    m_events.clear();
    m_cursor = 0;
}

void cEventQueue::dump() const
{
    for (const cEvent* ev : m_events)
        std::cerr << ev->m_time << " " << ev->m_id << "\n";
    std::cerr.flush();
}

bool is_note_on(const cEvent* ev, int track)
{
    if (!ev || ev->m_id != EV_MIDI)
        return false;
    const auto* trigger = dynamic_cast<const cMETrigger*>(ev);
    return trigger && trigger->m_kind == iMidiEvent::NOTE_ON && trigger->m_track == track;
}

bool is_note_on(const cEvent* ev, int track, int note)
{
    return is_note_on(ev, track) && static_cast<const cMETrigger*>(ev)->m_note == note;
}
