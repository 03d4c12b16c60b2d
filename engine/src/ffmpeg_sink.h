// Captured frames piped into ffmpeg: H.264 video (CRF 18, preset ultrafast, yuv420p, turned
// upright and converted here) in an .mp4 or .mkv file, with the music of the captured range muxed
// in from a temporary WAV file (AAC in .mp4, FLAC in .mkv).
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "frame_sink.h"

class cFfmpegSink : public iFrameSink
{
public:
    explicit cFfmpegSink(std::string in_path) : m_path(std::move(in_path)) {}
    ~cFfmpegSink() override;
    cFfmpegSink(const cFfmpegSink&) = delete;
    cFfmpegSink& operator=(const cFfmpegSink&) = delete;

    bool open(int in_width, int in_height, int in_fps, std::string& out_error) override;
    void set_audio(std::vector<int16_t> in_pcm, int in_rate) override;
    bool write(const unsigned char* in_rgb, std::string& out_error) override;
    bool close(std::string& out_error) override;
    std::string describe() const override { return m_path; }

    // True for names this sink writes: ending in ".mp4" or ".mkv" (any case).
    static bool is_video_name(const std::string& in_path);
    // The ffmpeg executable found through PATH, or empty.
    static std::string find_ffmpeg();
    // What to tell someone without ffmpeg.
    static std::string install_hint();
    // ffmpeg's arguments (after the program name) for this output.
    std::vector<std::string> arguments(const std::string& in_wav) const;
    // A frame as the sink pipes it: `in_rgb` (bottom row first) turned upright into planar
    // 4:2:0 YCbCr with video levels (BT.601, Y 16..235, Cb and Cr 16..240), as ffmpeg's own
    // conversion gives: the Y plane, then the Cb and the Cr plane at half the width and height
    // (rounded up; each chroma sample from its 2 x 2 pixels, the last row or column repeated).
    static void to_yuv420(const unsigned char* in_rgb, int in_width, int in_height,
                          std::vector<uint8_t>& out_yuv);

private:
    // Waits for ffmpeg; false with a message when it failed.
    bool finish(std::string& out_error);
    void remove_wav();

    std::string m_path;
    int m_width = 0;
    int m_height = 0;
    int m_fps = 0;
    std::vector<int16_t> m_pcm;
    int m_rate = 0;
    std::string m_wav;          // temporary file with the music, removed at the end
    pid_t m_child = -1;         // ffmpeg while it runs
    int m_pipe = -1;            // its standard input
    std::vector<uint8_t> m_yuv; // the frame being written
};
