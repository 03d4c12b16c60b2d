// The particles' shared random numbers: a table of 131072 values of the drand48 recurrence
// started from the state 1337, read through one wrapping cursor by every emitter and controller
// of the process, so the particle sequence depends on the order of all draws.
#pragma once

#include <cstdint>
#include <memory>

class cRandomTable
{
public:
    static constexpr uint32_t SIZE = 131072; // 2^17 entries
    static constexpr uint64_t SEED = 1337;

    // The process-wide table, filled on first use.
    static cRandomTable& get();

    // Advances the cursor by one, then reads; every value lies in [0, 1).
    float next()
    {
        m_cursor = (m_cursor + 1) % SIZE;
        return m_values[m_cursor];
    }
    float at(uint32_t in_index) const { return m_values[in_index % SIZE]; }
    uint32_t cursor() const { return m_cursor; }
    // Puts the cursor back (tests and tools that need a known sequence).
    void set_cursor(uint32_t in_cursor) { m_cursor = in_cursor % SIZE; }

private:
    cRandomTable();

    std::unique_ptr<float[]> m_values;
    uint32_t m_cursor = 0;
};

// The next value of the shared table.
inline float particle_random()
{
    return cRandomTable::get().next();
}
