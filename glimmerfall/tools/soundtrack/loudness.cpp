// Loudness and peak measurement (see loudness.h): two-stage K-weighting filter, mean square
// over 400 ms blocks every 100 ms, an absolute gate at -70 LUFS and a relative gate 10 LU
// below the loudness of the blocks that pass it.
#include "loudness.h"

#include "dsp.h"
#include "stereo_buffer.h"

#include <cmath>
#include <limits>

namespace soundtrack {

namespace {

// The high shelf (+4 dB above ~1.7 kHz, the head's effect) and the high pass (~38 Hz) of the
// K-weighting, derived for the sample rate.
void k_weighting(sBiquad& shelf, sBiquad& highpass)
{
    const double fs = kSampleRate;
    {
        const double f0 = 1681.974450955533, gain_db = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(kPi * f0 / fs);
        const double vh = std::pow(10.0, gain_db / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        shelf.b0 = (vh + vb * k / q + k * k) / a0;
        shelf.b1 = 2.0 * (k * k - vh) / a0;
        shelf.b2 = (vh - vb * k / q + k * k) / a0;
        shelf.a1 = 2.0 * (k * k - 1.0) / a0;
        shelf.a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(kPi * f0 / fs);
        const double a0 = 1.0 + k / q + k * k;
        highpass.b0 = 1.0;
        highpass.b1 = -2.0;
        highpass.b2 = 1.0;
        highpass.a1 = 2.0 * (k * k - 1.0) / a0;
        highpass.a2 = (1.0 - k / q + k * k) / a0;
    }
}

double to_lufs(double mean_square)
{
    return -0.691 + 10.0 * std::log10(mean_square);
}

} // namespace

double integrated_loudness(const std::vector<float>& left, const std::vector<float>& right)
{
    const std::size_t n = std::min(left.size(), right.size());
    const std::size_t hop = kSampleRate / 10; // 100 ms
    if (n < 4 * hop)
        return -std::numeric_limits<double>::infinity();

    // Sum of K-weighted squares of both channels per 100 ms hop.
    std::vector<double> hop_power(n / hop, 0.0);
    const std::vector<float>* channels[2] = {&left, &right};
    for (const std::vector<float>* ch : channels) {
        sBiquad shelf, highpass;
        k_weighting(shelf, highpass);
        for (std::size_t i = 0; i < hop_power.size() * hop; ++i) {
            const double y = highpass.process(shelf.process((*ch)[i]));
            hop_power[i / hop] += y * y;
        }
    }
    // Blocks of four hops (400 ms), overlapping by three.
    std::vector<double> blocks;
    for (std::size_t b = 0; b + 4 <= hop_power.size(); ++b)
        blocks.push_back((hop_power[b] + hop_power[b + 1] + hop_power[b + 2] + hop_power[b + 3]) /
                         double(4 * hop));

    auto gated_mean = [&](double threshold_lufs) {
        double sum = 0.0;
        std::size_t count = 0;
        for (double p : blocks)
            if (p > 0.0 && to_lufs(p) > threshold_lufs) {
                sum += p;
                ++count;
            }
        return count ? sum / double(count) : 0.0;
    };
    const double absolute = gated_mean(-70.0);
    if (absolute <= 0.0)
        return -std::numeric_limits<double>::infinity();
    const double relative = gated_mean(to_lufs(absolute) - 10.0);
    return relative > 0.0 ? to_lufs(relative) : -std::numeric_limits<double>::infinity();
}

double integrated_loudness(const sStereo& audio)
{
    return integrated_loudness(audio.l, audio.r);
}

double peak_dbfs(const sStereo& audio)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < audio.size(); ++i)
        peak = std::max({peak, std::fabs(audio.l[i]), std::fabs(audio.r[i])});
    return peak > 0.0f ? 20.0 * std::log10(double(peak)) : -std::numeric_limits<double>::infinity();
}

} // namespace soundtrack
