// MP3 encoding (see mp3_writer.h).
#include "mp3_writer.h"

#include "song.h"
#include "stereo_buffer.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace soundtrack {

namespace {

struct sLameCloser
{
    void operator()(lame_global_flags* l) const { lame_close(l); }
};

} // namespace

std::vector<uint8_t> encode_mp3(const sStereo& audio, const std::string& title, std::string& error)
{
    std::unique_ptr<lame_global_flags, sLameCloser> lame(lame_init());
    if (!lame) {
        error = "the MP3 encoder could not be created";
        return {};
    }
    lame_global_flags* l = lame.get();
    lame_set_in_samplerate(l, kSampleRate);
    lame_set_out_samplerate(l, kSampleRate);
    lame_set_num_channels(l, 2);
    lame_set_mode(l, JOINT_STEREO);
    lame_set_VBR(l, vbr_off);
    lame_set_brate(l, 224);
    lame_set_quality(l, 2);
    lame_set_bWriteVbrTag(l, 1); // the info frame with delay and padding
    id3tag_init(l);
    id3tag_v1_only(l);
    id3tag_set_title(l, title.c_str());
    id3tag_set_artist(l, "vantor");
    if (lame_init_params(l) < 0) {
        error = "the MP3 encoder refused its settings";
        return {};
    }

    std::vector<uint8_t> out;
    const std::size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (std::size_t at = 0; at < audio.size(); at += chunk) {
        const int n = int(std::min(chunk, audio.size() - at));
        const int written = lame_encode_buffer_ieee_float(l, &audio.l[at], &audio.r[at], n,
                                                          buffer.data(), int(buffer.size()));
        if (written < 0) {
            error = "the MP3 encoder failed (" + std::to_string(written) + ")";
            return {};
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(l, buffer.data(), int(buffer.size()));
    if (flushed < 0) {
        error = "the MP3 encoder failed to flush";
        return {};
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);

    // The info frame goes where the encoder left room for it: the first frame.
    std::vector<unsigned char> tag(4096);
    const std::size_t tag_size = lame_get_lametag_frame(l, tag.data(), tag.size());
    if (tag_size == 0 || tag_size > tag.size() || tag_size > out.size()) {
        error = "the MP3 encoder gave no info frame";
        return {};
    }
    std::copy(tag.begin(), tag.begin() + std::ptrdiff_t(tag_size), out.begin());
    return out;
}

} // namespace soundtrack
