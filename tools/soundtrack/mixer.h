// The mixing desk: renders every instrument track of the song through its channel strip
// (level, pan, reverb and echo sends, ducking under the kick), adds the effect returns and
// masters the sum with a limiter.
#pragma once

#include "stereo_buffer.h"

#include <cstddef>

namespace soundtrack {

struct sSong;

// Peak ceiling of the master: -2 dBFS, so the decoded MP3 stays below -1 dBFS.
constexpr float kMasterCeiling = 0.7943f;

// The finished mix of the first `max_samples` samples of the song (0: all of it).
sStereo mix_song(const sSong& song, std::size_t max_samples);

} // namespace soundtrack
