// Keeps the demo clock on the music as it is heard. Each frame it compares the demo time with
// the song position the sound device is playing and answers how far to move the demo time:
// small differences are slewed away over a few frames, never moving the demo time back; a large
// one (or the first reading after a seek, a resume or the start) is taken at once, holding the
// picture still rather than stepping back.
#pragma once

class cMusicLock
{
public:
    static constexpr double SNAP_MS = 40.0; // a difference above this is taken at once

    // The next reading is taken at once (after a seek, a resume or the start of the music).
    void restart()
    {
        m_snap = true;
        m_rate = 0.0;
    }
    // Milliseconds to add to the demo time `in_demo_ms` of this frame, given the song position
    // heard now, the demo time shown by the previous frame and the counter time between the
    // two frames. The corrected time is never before `in_previous_ms`.
    double correction(double in_demo_ms, double in_heard_ms, double in_previous_ms,
                      double in_frame_ms);

private:
    bool m_snap = true;
    double m_rate = 0.0; // ms per second the device's clock runs ahead of the counter
};
