// Where captured frames go: the interface of a capture's output, the folder of numbered PNG
// files, and the WAV writer both outputs use for the music of the captured range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class iFrameSink
{
public:
    virtual ~iFrameSink() = default;

    // Prepares the output for frames of `in_width` x `in_height` at `in_fps`; false with a
    // message when it cannot be written.
    virtual bool open(int in_width, int in_height, int in_fps, std::string& out_error) = 0;
    // The music of the captured range, interleaved 16-bit stereo at `in_rate`; called before
    // open(). Without it the output has no sound.
    virtual void set_audio(std::vector<int16_t> in_pcm, int in_rate) = 0;
    // One frame: RGB bytes, width * height * 3, bottom row first (as OpenGL reads them).
    virtual bool write(const unsigned char* in_rgb, std::string& out_error) = 0;
    // Finishes the output; false with a message when that failed.
    virtual bool close(std::string& out_error) = 0;
    // What the output is, for the closing message ("PNG files in captures/x").
    virtual std::string describe() const = 0;
};

// frame_000000.png, frame_000001.png, ... in a folder, and audio.wav with the music when given.
// Files of an earlier capture in the folder (the same names) are removed first.
class cPngFolderSink : public iFrameSink
{
public:
    explicit cPngFolderSink(std::string in_folder) : m_folder(std::move(in_folder)) {}

    bool open(int in_width, int in_height, int in_fps, std::string& out_error) override;
    void set_audio(std::vector<int16_t> in_pcm, int in_rate) override;
    bool write(const unsigned char* in_rgb, std::string& out_error) override;
    bool close(std::string& out_error) override;
    std::string describe() const override;

    // "frame_000042.png" for frame 42.
    static std::string frame_name(long in_index);
    // True for the names this sink writes (frame_ and six digits, .png; audio.wav).
    static bool is_capture_file(const std::string& in_name);

private:
    std::string m_folder;
    int m_width = 0;
    int m_height = 0;
    long m_index = 0;                 // next frame number
    std::vector<unsigned char> m_png; // the file of the frame being written
    std::vector<int16_t> m_pcm;
    int m_rate = 0;
};

// A PNG file of an RGB picture given bottom row first (as OpenGL reads it), turned upright;
// false for an empty picture. Unlike the image library, it may be used on any thread.
bool encode_png(const unsigned char* in_rgb, int in_width, int in_height,
                std::vector<unsigned char>& out_png);

// A canonical 44-byte-header PCM WAV file of interleaved 16-bit samples; false with a message.
bool write_wav(const std::string& in_path, const std::vector<int16_t>& in_pcm, int in_rate,
               int in_channels, std::string& out_error);
