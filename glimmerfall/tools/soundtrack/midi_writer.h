// Standard MIDI File writer: format 1, one named track per instrument, channel 1 only.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

struct sSong;

// The song as a format-1 file at 480 ticks per quarter note: track 0 holds the name, the one
// tempo event, the time signature and the end of the song; every other track its name, its
// notes (note-on 0x90, note-off 0x80) and controller changes (0xB0), all on channel 1.
std::vector<uint8_t> write_midi(const sSong& song);

// A variable-length quantity, 7 bits per byte, most significant group first.
void append_varlen(std::vector<uint8_t>& out, uint32_t value);

} // namespace soundtrack
