// The particles' random table (see random_table.h).
#include "effects/particles/random_table.h"

#include <cmath>

namespace {

constexpr uint64_t MULTIPLIER = 0x5DEECE66Dull;
constexpr uint64_t INCREMENT = 11;
constexpr uint64_t MASK = (uint64_t(1) << 48) - 1; // modulus 2^48

} // namespace

cRandomTable& cRandomTable::get()
{
    static cRandomTable table;
    return table;
}

cRandomTable::cRandomTable() : m_values(new float[SIZE])
{
    uint64_t state = SEED;
    for (uint32_t i = 0; i < SIZE; ++i) {
        state = (MULTIPLIER * state + INCREMENT) & MASK;
        const double value = double(state) / double(uint64_t(1) << 48);
        // A state just below 2^48 would round up to 1.0f; keep every value below 1.
        float stored = float(value);
        if (stored >= 1.0f)
            stored = std::nextafter(1.0f, 0.0f);
        m_values[i] = stored;
    }
}
