// Hands captured frames to a frame sink on a thread of its own, through a short queue, so that
// the next frame renders while the earlier ones are compressed, written or piped to the encoder.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class iFrameSink;

class cFrameWriter
{
public:
    using tFrame = std::vector<unsigned char>;

    // Starts the thread writing into the opened `io_sink`; at most `in_depth` frames (>= 1) wait
    // in the queue. The sink is only used by the thread until finish().
    cFrameWriter(iFrameSink& io_sink, int in_depth);
    // Finishes: the frames queued are still written.
    ~cFrameWriter();
    cFrameWriter(const cFrameWriter&) = delete;
    cFrameWriter& operator=(const cFrameWriter&) = delete;

    // A buffer for the next frame, one that was written before when there is one (so a long
    // capture allocates no more than the queue's depth).
    tFrame spare();
    // Queues a frame; waits while the queue is full. False with the sink's message once a write
    // has failed: that frame and every later one are dropped.
    bool push(tFrame in_frame, std::string& out_error);
    // Waits until every queued frame is written and ends the thread; false with the message of
    // the write that failed. Later calls return the same.
    bool finish(std::string& out_error);

private:
    void run();

    iFrameSink& m_sink;
    size_t m_depth;
    std::mutex m_mutex;
    std::condition_variable m_changed; // a frame came, was written, or the end was asked for
    std::deque<tFrame> m_queue;
    std::vector<tFrame> m_spares;
    bool m_ending = false;
    bool m_failed = false;
    std::string m_error;
    std::thread m_thread;
};
