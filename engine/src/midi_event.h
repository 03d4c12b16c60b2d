// Events made from a MIDI file: notes and controller changes of channel 1, tagged with the
// track (the instrument) they came from.
#pragma once

#include "event_queue.h"

class iMidiEvent : public cEvent
{
public:
    enum
    {
        NOTE_ON = 1,
        NOTE_OFF = 2,
        CTRL_CHANGE = 3,
    };

    iMidiEvent() : cEvent(EV_MIDI, -1) {}

    int m_kind = 0;   // NOTE_ON, NOTE_OFF or CTRL_CHANGE
    int m_track = -1; // index of the MIDI track in file order, from 0; -1 until set
};

class cMETrigger : public iMidiEvent
{
public:
    cMETrigger() = default;
    cMETrigger(int in_kind, int in_note, int in_velocity)
    {
        m_kind = in_kind;
        m_note = in_note;
        m_velocity = in_velocity;
    }

    int m_note = 0;     // 0..127
    int m_velocity = 0; // 0..127
};

class cMECtrlChange : public iMidiEvent
{
public:
    cMECtrlChange() { m_kind = CTRL_CHANGE; }
    cMECtrlChange(int in_controller, int in_value) : cMECtrlChange()
    {
        m_controller = in_controller;
        m_ctrl_value = in_value;
    }

    int m_controller = 0; // 0..127
    int m_ctrl_value = 0; // 0..127
};
