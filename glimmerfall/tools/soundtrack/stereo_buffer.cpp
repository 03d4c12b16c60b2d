// Stereo buffers and note placement (see stereo_buffer.h).
#include "stereo_buffer.h"

#include <algorithm>

namespace soundtrack {

void sStereo::add(const sStereo& s, std::size_t at, float gain, std::size_t max_len)
{
    if (at >= size())
        return;
    const std::size_t n = std::min({s.size(), max_len, size() - at});
    const std::size_t fade = std::min<std::size_t>(kSampleRate / 250, n);
    const bool choked = max_len < s.size();
    for (std::size_t i = 0; i < n; ++i) {
        float g = gain;
        if (choked && i + fade >= n)
            g *= float(n - i) / float(fade);
        l[at + i] += s.l[i] * g;
        r[at + i] += s.r[i] * g;
    }
}

sNoteSpan span_of(const sNote& n)
{
    sNoteSpan s;
    s.start = sample_of_tick(n.tick);
    const std::size_t end = sample_of_tick(n.tick + n.length);
    s.length = end > s.start ? end - s.start : 0;
    return s;
}

} // namespace soundtrack
