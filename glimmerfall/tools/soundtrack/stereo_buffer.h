// A stereo stretch of float samples, and the helpers the instruments share to place notes in it.
#pragma once

#include "song.h"

#include <cstddef>
#include <vector>

namespace soundtrack {

struct sStereo
{
    std::vector<float> l, r;

    sStereo() = default;
    explicit sStereo(std::size_t n) : l(n, 0.0f), r(n, 0.0f) {}
    std::size_t size() const { return l.size(); }
    void clear()
    {
        std::fill(l.begin(), l.end(), 0.0f);
        std::fill(r.begin(), r.end(), 0.0f);
    }
    // Adds `s` starting at sample `at`, scaled by `gain`, for at most `max_len` samples; the
    // last 4 ms before `max_len` fade out (a choked cymbal). Writes stop at the buffer's end.
    void add(const sStereo& s, std::size_t at, float gain, std::size_t max_len);
};

// The samples a note occupies: its start and its held length.
struct sNoteSpan
{
    std::size_t start = 0;
    std::size_t length = 0; // samples from note-on to note-off
};
sNoteSpan span_of(const sNote& n);

} // namespace soundtrack
