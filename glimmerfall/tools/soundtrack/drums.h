// Drum synthesis: kick, clap, snare roll, hats, ride, shaker, toms, crash. Each renders every
// note of its track into a stereo buffer; the note number picks the sound where a track has
// more than one (hats: 42 closed, 46 open).
#pragma once

#include <cstddef>

namespace soundtrack {

struct sTrack;
struct sStereo;

void render_kick(const sTrack& track, sStereo& out);
void render_clap(const sTrack& track, sStereo& out);
void render_snare_roll(const sTrack& track, sStereo& out);
void render_hats(const sTrack& track, sStereo& out);
void render_ride(const sTrack& track, sStereo& out);
void render_shaker(const sTrack& track, sStereo& out);
void render_toms(const sTrack& track, sStereo& out);
void render_crash(const sTrack& track, sStereo& out);

// The kick's own sound: its first sample is the note's start.
sStereo kick_sound();

} // namespace soundtrack
