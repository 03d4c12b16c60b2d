// Pulse's music generator: sixteen seconds of synthesised music at 120 beats per minute, with the
// MIDI file of its kick and bell notes and the marker script, written into one folder:
//   pulse_music --out DIR   ->  DIR/pulse.mp3, DIR/pulse.mid, DIR/markers.txt
// The same bytes on every run: the noise comes from a fixed-seed generator.
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 44100;
constexpr double BEAT_S = 0.5; // 120 beats per minute
constexpr int BEATS = 32;      // eight bars of 4/4
constexpr int TICKS_PER_BEAT = 480;
constexpr double PI = 3.14159265358979;

struct sNote
{
    double beat; // onset, in beats from the start
    int key;     // MIDI note number
};

struct sSong
{
    std::vector<float> left, right;
    std::vector<sNote> kicks, bells; // the notes the pictures react to
};

double hz(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// One chord per bar, twice round: A minor, F, C, G.
const int CHORDS[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62}};

// Mixes a voice in at a time and a stereo position (-1 left .. 1 right); its last 10 ms fade
// out, so that a voice cut short does not click.
void add(sSong& song, double at_s, double pan, const std::vector<float>& voice)
{
    const std::size_t first = std::size_t(at_s * RATE), fade = RATE / 100;
    for (std::size_t i = 0; i < voice.size() && first + i < song.left.size(); ++i) {
        const std::size_t left = voice.size() - i;
        const float s = voice[i] * (left < fade ? float(left) / float(fade) : 1.0f);
        song.left[first + i] += s * float(1.0 - pan);
        song.right[first + i] += s * float(1.0 + pan);
    }
}

// A sine sweeping from 150 Hz down to 45 Hz with a quick decay.
std::vector<float> kick()
{
    std::vector<float> v(std::size_t(0.35 * RATE));
    double phase = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / RATE;
        phase += 2.0 * PI * (45.0 + 105.0 * std::exp(-t / 0.04)) / RATE;
        v[i] = float(0.75 * std::sin(phase) * std::exp(-t / 0.12) * std::min(1.0, t / 0.002));
    }
    return v;
}

// Three detuned saws through a one-pole low-pass, swelling in and out over the bar.
std::vector<float> pad(int key, double seconds)
{
    std::vector<float> v(std::size_t(seconds * RATE));
    double low = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / RATE;
        double saw = 0.0;
        for (double detune : {0.997, 1.0, 1.004}) {
            const double p = t * hz(key) * detune;
            saw += 2.0 * (p - std::floor(p)) - 1.0;
        }
        low += 0.06 * (saw - low);
        v[i] = float(0.09 * low * std::sin(PI * t / seconds));
    }
    return v;
}

// A short plucked saw an octave down, on the off-beats.
std::vector<float> bass(int key)
{
    std::vector<float> v(std::size_t(0.22 * RATE));
    double low = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / RATE, p = t * hz(key - 12);
        low += 0.15 * ((2.0 * (p - std::floor(p)) - 1.0) - low);
        v[i] = float(0.45 * low * std::exp(-t / 0.08));
    }
    return v;
}

// A frequency-modulated bell whose brightness dies away faster than its body.
std::vector<float> bell(int key)
{
    std::vector<float> v(std::size_t(1.2 * RATE));
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / RATE, f = hz(key);
        const double mod = 2.5 * std::exp(-t / 0.15) * std::sin(2.0 * PI * 3.5 * f * t);
        v[i] = float(0.25 * std::sin(2.0 * PI * f * t + mod) * std::exp(-t / 0.35));
    }
    return v;
}

std::vector<float> hat(uint32_t& seed)
{
    std::vector<float> v(std::size_t(0.05 * RATE));
    float last = 0.0f;
    for (std::size_t i = 0; i < v.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = float(seed >> 8) / float(1 << 24) * 2.0f - 1.0f;
        v[i] = 0.07f * (noise - last) * std::exp(-float(i) / (0.012f * RATE)); // high-passed
        last = noise;
    }
    return v;
}

sSong compose()
{
    sSong song;
    const std::size_t length = std::size_t((BEATS * BEAT_S + 1.0) * RATE);
    song.left.assign(length, 0.0f);
    song.right.assign(length, 0.0f);
    uint32_t seed = 1;
    for (int bar = 0; bar < BEATS / 4; ++bar) {
        const int* chord = CHORDS[bar % 4];
        for (int k = 0; k < 3; ++k)
            add(song, bar * 4 * BEAT_S, 0.3 * (k - 1), pad(chord[k], 4.6 * BEAT_S));
        for (int b = 0; b < 4; ++b) {
            const int beat = bar * 4 + b;
            if (beat < BEATS - 2)
                song.kicks.push_back({double(beat), 36});
            if (bar >= 1 && bar < 7)
                add(song, (beat + 0.5) * BEAT_S, 0.0, bass(chord[0]));
            for (int s = 0; bar >= 4 && bar < 7 && s < 4; ++s)
                add(song, (beat + 0.25 * s) * BEAT_S, s % 2 ? 0.4 : -0.4, hat(seed));
        }
        // The bells come in with the sparks: two to lead in, then three to a bar (3 + 3 + 2
        // eighths).
        for (int n = 0; bar >= 3 && n < 3; ++n) {
            if (bar > 3 || n > 0)
                song.bells.push_back({bar * 4 + (bar > 3 ? 1.5 * n : n + 1.0), chord[n] + 12});
        }
    }
    for (const sNote& k : song.kicks)
        add(song, k.beat * BEAT_S, 0.0, kick());
    // The bells repeat on a ping-pong delay of three sixteenths.
    for (const sNote& b : song.bells) {
        const std::vector<float> voice = bell(b.key);
        for (int echo = 0; echo < 4; ++echo) {
            std::vector<float> quieter(voice);
            for (float& s : quieter)
                s *= float(std::pow(0.4, echo));
            add(song, (b.beat + 0.75 * echo) * BEAT_S, echo % 2 ? 0.6 : -0.6, quieter);
        }
    }
    // Leave headroom for the encoder.
    float peak = 1e-6f;
    for (std::size_t i = 0; i < length; ++i)
        peak = std::max({peak, std::fabs(song.left[i]), std::fabs(song.right[i])});
    for (std::size_t i = 0; i < length; ++i) {
        song.left[i] *= 0.9f / peak;
        song.right[i] *= 0.9f / peak;
    }
    return song;
}

void put16(std::vector<uint8_t>& out, unsigned v)
{
    out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)});
}
void put32(std::vector<uint8_t>& out, uint32_t v)
{
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}
void put_varlen(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = uint8_t(v & 0x7f);
        v >>= 7;
    } while (v && n < 4);
    while (n > 1)
        out.push_back(uint8_t(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

// A track chunk from (delta, bytes) pairs already in time order, closed by the end of track.
std::vector<uint8_t> track(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& events)
{
    std::vector<uint8_t> body;
    for (const auto& [delta, bytes] : events) {
        put_varlen(body, delta);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    body.insert(body.end(), {0x00, 0xff, 0x2f, 0x00});
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    put32(chunk, uint32_t(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

// Format 1: the tempo track, then "kick" (track 1) and "bell" (track 2), notes on channel 1.
std::vector<uint8_t> midi(const sSong& song)
{
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    put32(out, 6);
    put16(out, 1);
    put16(out, 3);
    put16(out, TICKS_PER_BEAT);
    // 500000 microseconds per beat.
    const std::vector<uint8_t> tempo = track({{0, {0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}}});
    out.insert(out.end(), tempo.begin(), tempo.end());
    for (const auto& [name, notes] :
         {std::make_pair("kick", &song.kicks), std::make_pair("bell", &song.bells)}) {
        std::vector<std::pair<uint32_t, std::vector<uint8_t>>> events;
        const std::string text = name;
        std::vector<uint8_t> track_name = {0xff, 0x03, uint8_t(text.size())};
        track_name.insert(track_name.end(), text.begin(), text.end());
        events.push_back({0, track_name});
        uint32_t now = 0;
        for (const sNote& n : *notes) {
            const uint32_t on = uint32_t(n.beat * TICKS_PER_BEAT), off = on + TICKS_PER_BEAT / 4;
            events.push_back({on - now, {0x90, uint8_t(n.key), 100}});
            events.push_back({off - on, {0x80, uint8_t(n.key), 64}});
            now = off;
        }
        const std::vector<uint8_t> chunk = track(events);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

struct sLameCloser
{
    void operator()(lame_global_flags* l) const { lame_close(l); }
};

// Constant-rate MP3 with the info frame that tells a decoder the encoder's delay.
bool mp3(const sSong& song, std::vector<uint8_t>& out)
{
    std::unique_ptr<lame_global_flags, sLameCloser> lame(lame_init());
    lame_global_flags* l = lame.get();
    if (!l)
        return false;
    lame_set_in_samplerate(l, RATE);
    lame_set_num_channels(l, 2);
    lame_set_brate(l, 160);
    lame_set_bWriteVbrTag(l, 1);
    if (lame_init_params(l) < 0)
        return false;
    std::vector<unsigned char> buffer(RATE * 5 / 4 + 7200);
    for (std::size_t at = 0; at < song.left.size(); at += RATE) {
        const int n = int(std::min<std::size_t>(RATE, song.left.size() - at));
        const int written = lame_encode_buffer_ieee_float(l, &song.left[at], &song.right[at], n,
                                                          buffer.data(), int(buffer.size()));
        if (written < 0)
            return false;
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(l, buffer.data(), int(buffer.size()));
    if (flushed < 0)
        return false;
    out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);
    const std::size_t tag = lame_get_lametag_frame(l, buffer.data(), buffer.size());
    if (tag == 0 || tag > out.size())
        return false;
    std::copy(buffer.begin(), buffer.begin() + std::ptrdiff_t(tag), out.begin());
    return true;
}

const char* MARKERS = "# Pulse: marks of the music, one \"<token> <h>:<mm>:<ss>,<ms>\" per line.\n"
                      "# 120 beats per minute in 4/4: a bar lasts 2000 ms.\n"
                      "# bar 0: the knot, pulsing on the kick\n"
                      "s00 0:00:00,000\n"
                      "# bar 4: the sparks have taken over, flaring on the bells\n"
                      "s01 0:00:08,000\n"
                      "quit 0:00:16,000\n";

bool write(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), std::streamsize(size));
    if (file.flush())
        return true;
    std::cerr << "## ERROR: pulse_music: cannot write " << path << std::endl;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::string(argv[1]) != "--out") {
        std::cerr << "usage: pulse_music --out DIR" << std::endl;
        return 2;
    }
    const std::string dir = argv[2];
    const sSong song = compose();
    std::vector<uint8_t> music;
    if (!mp3(song, music)) {
        std::cerr << "## ERROR: pulse_music: the MP3 encoder failed" << std::endl;
        return 1;
    }
    const std::vector<uint8_t> notes = midi(song);
    const std::string markers = MARKERS;
    return write(dir + "/pulse.mp3", music.data(), music.size()) &&
                   write(dir + "/pulse.mid", notes.data(), notes.size()) &&
                   write(dir + "/markers.txt", markers.data(), markers.size())
               ? 0
               : 1;
}
