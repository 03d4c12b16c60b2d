// Loudness and peak measurement of a stereo mix: integrated loudness in LUFS (K-weighted,
// gated, as broadcast meters measure it) and the sample peak in dBFS.
#pragma once

#include <vector>

namespace soundtrack {

struct sStereo;

// Integrated loudness in LUFS of 44.1 kHz audio; -70 or below for silence.
double integrated_loudness(const std::vector<float>& left, const std::vector<float>& right);
double integrated_loudness(const sStereo& audio);

// Highest absolute sample of either channel in dBFS (-inf for silence).
double peak_dbfs(const sStereo& audio);

} // namespace soundtrack
