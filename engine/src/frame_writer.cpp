// Frames written on a thread of their own (see frame_writer.h).
#include "frame_writer.h"

#include <signal.h>

#include <cassert>

#include "frame_sink.h"

cFrameWriter::cFrameWriter(iFrameSink& io_sink, int in_depth)
    : m_sink(io_sink), m_depth(size_t(in_depth))
{
    assert(in_depth >= 1 && "the queue holds at least one frame");
    // Ctrl-C and the other signals are left to the rendering thread, which ends the run.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &old);
    m_thread = std::thread(&cFrameWriter::run, this);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

cFrameWriter::~cFrameWriter()
{
    std::string ignored;
    finish(ignored);
}

cFrameWriter::tFrame cFrameWriter::spare()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spares.empty())
        return tFrame();
    tFrame frame = std::move(m_spares.back());
    m_spares.pop_back();
    return frame;
}

bool cFrameWriter::push(tFrame in_frame, std::string& out_error)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failed || m_queue.size() < m_depth; });
    if (m_failed) {
        out_error = m_error;
        return false;
    }
    m_queue.push_back(std::move(in_frame));
    m_changed.notify_all();
    return true;
}

bool cFrameWriter::finish(std::string& out_error)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
        m_changed.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_failed)
        out_error = m_error;
    return !m_failed;
}

void cFrameWriter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_queue.empty())
            return; // ending, and everything is written
        tFrame frame = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        std::string error;
        const bool written = m_sink.write(frame.data(), error);
        lock.lock();
        if (!written) {
            m_failed = true;
            m_error = error;
            m_queue.clear(); // nothing after a lost frame is written
        }
        m_spares.push_back(std::move(frame));
        m_changed.notify_all();
    }
}
