// MP3 encoding of the finished mix with LAME at fixed settings (the same bytes every time).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundtrack {

struct sStereo;

// 44.1 kHz joint stereo at a constant 224 kbit/s. The first frame carries the encoder's
// delay and padding, so decoders that honour it give back exactly the samples put in.
// Returns an empty vector and sets `error` when the encoder fails.
std::vector<uint8_t> encode_mp3(const sStereo& audio, const std::string& title, std::string& error);

} // namespace soundtrack
