// Pool of off-screen render targets, sized as fractions of the viewport, warmed at start-up
// and lent out through exclusive handles that give the target back when they are dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <utility>

#include "singleton.h"

class iRenderTarget;
class cRenderTargetManager;

// Exclusive handle on a pooled target: movable, not copyable. Empty (all fields zero) or
// full; a full handle returns its target to the pool when destroyed or assigned over.
class cRTProxy
{
public:
    cRTProxy() = default;
    cRTProxy(int in_size, iRenderTarget* in_rt, cRenderTargetManager* in_rtm);
    cRTProxy(cRTProxy&& in_other) noexcept;
    // Takes `in_other`'s target (which must be full) after returning this handle's own.
    cRTProxy& operator=(cRTProxy&& in_other);
    cRTProxy(const cRTProxy&) = delete;
    cRTProxy& operator=(const cRTProxy&) = delete;
    ~cRTProxy();

    bool isValid() const;
    int get_size() const { return m_size; }
    iRenderTarget* get_rt() const;
    iRenderTarget& operator*() const { return *get_rt(); }
    iRenderTarget* operator->() const { return get_rt(); }

private:
    friend class cRenderTargetManager;
    void clear();

    int m_size = 0;                        // size class, RTT_NONE when empty
    cRenderTargetManager* m_rtm = nullptr; // not owned
    iRenderTarget* m_rt = nullptr;         // lent out to this handle alone
};

class cRenderTargetManager : public vnt::tSingleton<cRenderTargetManager>
{
public:
    // Size classes: a positive value divides the viewport size.
    enum eRTType
    {
        RTT_DOUBLE = -1,
        RTT_NONE = 0,
        RTT_FULL = 1,
        RTT_HALF = 2,
        RTT_QUATER = 4,
        RTT_EIGHTH = 8
    };
    using tPool = std::list<std::pair<int, iRenderTarget*>>;

    // The printed name of a size class ("RTT_FULL", ..., "OOOPS" for other values).
    static const char* size_name(int in_size);
    // True for the five classes a target can have.
    static bool is_target_size(int in_size);

    // Lends out the first free target of the class, creating one on a miss.
    cRTProxy allocate(int in_size);
    // Takes a handle's target back into the pool and empties the handle.
    void release(cRTProxy& in_proxy);

    const tPool& pool() const { return m_tmp_rts; }
    uint32_t lent_out() const { return dbg_remaining_rt; }
    uint32_t max_allocated() const { return m_max_allocated; }

private:
    friend class vnt::tSingleton<cRenderTargetManager>;
    // Warms the pool: five full-size, three half-size and three quarter-size targets.
    cRenderTargetManager();
    // Prints the statistics and destroys every target; none may still be lent out.
    ~cRenderTargetManager();

    tPool m_tmp_rts;               // the free targets, owned
    uint32_t dbg_remaining_rt = 0; // targets lent out now
    uint32_t m_max_allocated = 0;  // most ever lent out at once
    bool m_runtime = false;        // pool misses are performance warnings once warm
};

// A target of the given size class from the pool.
cRTProxy get_tmp_rt(int in_size);

// Where the performance warning reads the demo time (ms); the scene manager installs its
// clock. Without one (or with an empty function) the warning prints 0.
void set_rt_time_source(std::function<int()> in_source);
