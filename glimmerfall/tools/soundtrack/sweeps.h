// Effect sounds: noise risers, falling sweeps, sub impacts and laser zaps. A riser or sweep
// lasts exactly as long as its note.
#pragma once

namespace soundtrack {

struct sTrack;
struct sStereo;

void render_riser(const sTrack& track, sStereo& out);
void render_downsweep(const sTrack& track, sStereo& out);
void render_impact(const sTrack& track, sStereo& out);
void render_zap(const sTrack& track, sStereo& out);

} // namespace soundtrack
