// Runs the demo on a fixed time step without showing it: every frame of a range is captured
// into a frame sink, or timed for the benchmark table. The music is not played live; a capture
// carries the music of its range instead, aligned with its first frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "benchmark_report.h"
#include "clock.h"

class cEventQueue;
class iFrameSink;
struct sTimePoint;

// The layers the timeline draws at a demo time. The engine knows no layers: the production
// hands this in (an empty function, or an empty list, means none).
using tLayerProbe = std::function<tActiveLayers(int in_time_ms)>;

// Frame k of a range shows the demo time from_ms + floor(k * 1000 / fps), exactly as the music
// at k / fps seconds into the video; the range holds the frames before to_ms.
struct sFrameRange
{
    int from_ms = 0;
    int to_ms = 0;
    int start_mark = -1; // event id of the mark the run starts at, or -1 to start at from_ms
    int fps = 60;
    // The pre-roll: at least this many ms before from_ms are played (updated and drawn, not
    // written) on top of the lead-in, so that scenes carrying state from earlier frames show
    // frame 0 as a run from further back does. 0 plays only the lead-in.
    int replay_ms = 0;

    long frames() const;
    int time_of(long in_frame) const;
};

// Marks resolve through the marker events. "quit", and any end past the quit mark, end the
// range at the quit mark (the latter with a warning in `out_warning`): the quit event would end
// the program in the middle of the run. False with a message for a mark the script lacks or an
// empty range.
bool resolve_range(const cEventQueue* in_queue, const sTimePoint& in_from, const sTimePoint& in_to,
                   int in_fps, sFrameRange& out_range, std::string& out_error,
                   std::string& out_warning);

// Frames drawn before frame 0: the jump to a mark lands 150 ms early, and the run lets the demo
// play into its first frame from there. Their length is a whole number of ms, at least
// 150 + `in_replay_ms`, so that every later frame keeps the exact 1000 / fps spacing: the run
// steps on the grid of from_ms + whole multiples of 1000 / gcd(fps, 1000) ms, and a range
// starting on that grid of a longer range shows the same demo times as the longer one.
int lead_frames(int in_fps, int in_replay_ms = 0);

// A time window of the timeline in which a scene draws; `scene` tells the windows of one scene
// apart (equal values share a scene and its state).
struct sLayerSpan
{
    int start_ms = 0;
    int end_ms = 0; // inclusive
    const void* scene = nullptr;
};
// How far before `in_t` a run must start to show the time `in_t` as a run from the beginning
// does: back to the earliest start of the windows active at `in_t` and of the earlier windows
// of their scenes (a scene may carry state from one window into the next); 0 when none is
// active.
int replay_before(const std::vector<sLayerSpan>& in_spans, int in_t);

// The music of a range, interleaved stereo at `in_rate`: from from_ms on, as long as the frames
// last, silence where the song has ended.
std::vector<int16_t> range_audio(const std::vector<int16_t>& in_song, int in_rate,
                                 const sFrameRange& in_range);

// "frame 120/600 (20%), 45.2 fps, 0:10 left" after `in_elapsed_s` seconds.
std::string progress_text(long in_done, long in_total, double in_elapsed_s);

class cOfflineRunner
{
public:
    // Puts the demo clock on a fixed step of 1000 / fps ms; do this before the scene manager
    // starts its clock.
    explicit cOfflineRunner(int in_fps);
    // Gives the clock its performance counter back.
    ~cOfflineRunner();
    cOfflineRunner(const cOfflineRunner&) = delete;
    cOfflineRunner& operator=(const cOfflineRunner&) = delete;

    // Renders the range into the sink, with its music unless `in_with_audio` is false. Returns
    // the exit status: 0 done, 1 when the output failed, 130 when interrupted (the output then
    // holds the frames so far).
    int capture(const sFrameRange& in_range, iFrameSink& in_sink, bool in_with_audio);
    // Times every frame of the range (update, draw, and waiting for the GPU) into the report.
    // Returns 0, or 130 when interrupted.
    int benchmark(const sFrameRange& in_range, const tLayerProbe& in_probe,
                  cBenchmarkReport& out_report);

    // Demo times of the frames captured or timed, in order.
    const std::vector<int>& frame_times() const { return m_frame_times; }
    // Progress lines on the error stream; on by default.
    void set_progress(bool in_on) { m_progress = in_on; }

private:
    // One frame of the run: `in_step` counts from the jump frame, which lands on the start of
    // the lead-in of `in_lead` frames. Returns the demo time drawn.
    int draw_step(const sFrameRange& in_range, long in_lead, long in_step);
    // Records the time a frame showed; warns once when it is not the frame's own time (a scene
    // seeked), since the picture then leaves the music of the range.
    void note_frame_time(const sFrameRange& in_range, long in_frame, int in_time);

    cFixedStepSource m_source;
    std::vector<int> m_frame_times;
    bool m_progress = true;
    bool m_moved_warned = false;
    bool m_sink_open = false; // a capture is writing
};
