// The mixing desk: renders every instrument track of the song through its channel strip
// (level, pan, reverb and echo sends, ducking under the kick), adds the effect returns and
// masters the sum with a limiter.
#pragma once

#include "stereo_buffer.h"

#include <cstddef>

namespace soundtrack {

struct sSong;

// True-peak ceiling of the master: -2.6 dBFS, so the decoded MP3 (the encoder overshoots by
// up to about a decibel) stays below -1 dBTP. The clipper rounds peaks off from below it.
constexpr float kMasterCeiling = 0.7413f;
constexpr float kClipKnee = 0.5f;

// The finished mix of the first `max_samples` samples of the song (0: all of it).
sStereo mix_song(const sSong& song, std::size_t max_samples);

} // namespace soundtrack
