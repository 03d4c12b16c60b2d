// Tonal instruments: rolling bass, acid line, pads, arpeggio, chord stabs, lead, bells and the
// low drone. Controller changes of a track shape its sound: 74 the filter cutoff, 71 the
// resonance (acid), each 0..127.
#pragma once

namespace soundtrack {

struct sTrack;
struct sStereo;

void render_bass(const sTrack& track, sStereo& out);
void render_acid(const sTrack& track, sStereo& out);
void render_pad(const sTrack& track, sStereo& out);
void render_arp(const sTrack& track, sStereo& out);
void render_stab(const sTrack& track, sStereo& out);
void render_lead(const sTrack& track, sStereo& out);
void render_bell(const sTrack& track, sStereo& out);
void render_drone(const sTrack& track, sStereo& out);

} // namespace soundtrack
