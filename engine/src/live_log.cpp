// Live play log (see live_log.h).
#include "live_log.h"

#include <cstdio>
#include <iostream>

#include "clock.h"

namespace {

std::FILE* g_log = nullptr;
uint64_t g_origin = 0; // counter reading that is 0 ms in the log

} // namespace

namespace vnt {

bool open_live_log(const std::string& in_path)
{
    close_live_log();
    g_log = std::fopen(in_path.c_str(), "w");
    if (!g_log) {
        std::cerr << "## ERROR: cannot write the live log to " << in_path << std::endl;
        return false;
    }
    g_origin = counter_ticks();
    return true;
}

bool live_log_open()
{
    return g_log != nullptr;
}

void live_log(const char* in_kind, const std::string& in_values, uint64_t in_ticks)
{
    if (!g_log)
        return;
    const uint64_t ticks = in_ticks ? in_ticks : counter_ticks();
    // A reading from before the log opened lies before 0.
    const double ms = int64_t(ticks - g_origin) >= 0 ? ticks_between_ms(g_origin, ticks)
                                                     : -ticks_between_ms(ticks, g_origin);
    std::fprintf(g_log, "%s %.3f %s\n", in_kind, ms, in_values.c_str());
}

void close_live_log()
{
    if (g_log)
        std::fclose(g_log);
    g_log = nullptr;
}

} // namespace vnt
