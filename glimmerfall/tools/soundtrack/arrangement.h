// The composition: every note, controller change, section and marker of "Glimmerfall", a goa
// trance piece at 120 BPM in E Phrygian with a harmonic-minor breakdown and climax. Its
// sections follow the demo's picture timeline: a bar lasts two seconds.
#pragma once

#include "song.h"

namespace soundtrack {

// Track order of the MIDI file; the demo's scenes react to some of these by index.
enum eTrack
{
    TRACK_CONDUCTOR = 0,
    TRACK_CUES = 1, // 48 phrase start, 50 impact, 52 build starts, 54 breakdown
    TRACK_KICK = 2,
    TRACK_BASS = 3,
    TRACK_CLAP = 4,
    TRACK_SNARE_ROLL = 5,
    TRACK_RIDE = 6,
    TRACK_SHAKER = 7,
    TRACK_TOMS = 8,
    TRACK_CRASH = 9,
    TRACK_HATS = 10, // 42 closed, 46 open
    TRACK_IMPACT = 11,
    TRACK_PAD = 12,
    TRACK_ACID = 13,
    TRACK_DRONE = 14,
    TRACK_RISER = 15,
    TRACK_DOWNSWEEP = 16,
    TRACK_ZAP = 17,
    TRACK_STAB = 18,
    TRACK_LEAD = 19,
    TRACK_BELL = 20,
    TRACK_ARP = 21,
    TRACK_COUNT
};

// Cue notes on TRACK_CUES.
enum
{
    CUE_PHRASE = 48,
    CUE_IMPACT = 50,
    CUE_BUILD = 52,
    CUE_BREAKDOWN = 54,
};

// Where the demo leaves: a little after its last picture (235000 ms) has faded.
constexpr int kQuitMs = 236000;

sSong compose_song();

} // namespace soundtrack
