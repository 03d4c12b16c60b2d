// Builds Standard MIDI Files in memory for the reader's tests and benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace midi_test {

using Bytes = std::vector<std::uint8_t>;

inline void put_vlq(Bytes& out, std::uint32_t value)
{
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7f;
        value >>= 7;
    } while (value);
    while (n--)
        out.push_back(groups[n] | (n ? 0x80 : 0));
}

inline void put_be(Bytes& out, std::uint32_t value, int bytes)
{
    while (bytes--)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * bytes)));
}

// One track chunk's events; each call adds one event `delta` ticks after the one before.
class cTrack
{
public:
    // A channel message; without `status` the data bytes continue the running status.
    cTrack& msg(std::uint32_t delta, int status, int d1, int d2 = -1)
    {
        put_vlq(m_bytes, delta);
        for (int b : {status, d1, d2}) {
            if (b >= 0)
                m_bytes.push_back(static_cast<std::uint8_t>(b));
        }
        return *this;
    }
    cTrack& note_on(std::uint32_t delta, int note, int velocity, int channel = 0)
    {
        return msg(delta, 0x90 | channel, note, velocity);
    }
    cTrack& meta(std::uint32_t delta, std::uint8_t type, const Bytes& data)
    {
        put_vlq(m_bytes, delta);
        m_bytes.insert(m_bytes.end(), {0xFF, type});
        put_vlq(m_bytes, static_cast<std::uint32_t>(data.size()));
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        return *this;
    }
    cTrack& tempo(std::uint32_t delta, std::uint32_t us_per_quarter)
    {
        Bytes data;
        put_be(data, us_per_quarter, 3);
        return meta(delta, 0x51, data);
    }
    cTrack& name(const std::string& text) { return meta(0, 0x03, Bytes(text.begin(), text.end())); }
    cTrack& end(std::uint32_t delta = 0) { return meta(delta, 0x2F, {}); }
    cTrack& raw(const Bytes& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// "MThd" (format 1, the number of tracks unless `declared` is given, `division`), then one
// "MTrk" chunk per track.
inline Bytes build_file(std::int16_t division, const std::vector<cTrack>& tracks, int declared = -1)
{
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    put_be(out, declared < 0 ? static_cast<std::uint32_t>(tracks.size()) : declared, 2);
    put_be(out, static_cast<std::uint16_t>(division), 2);
    for (const cTrack& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put_be(out, static_cast<std::uint32_t>(track.bytes().size()), 4);
        out.insert(out.end(), track.bytes().begin(), track.bytes().end());
    }
    return out;
}

} // namespace midi_test
