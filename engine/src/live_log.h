// A log of live play for measuring it from outside: when the sound device asked for music and
// which song position it got, the demo time of every frame, seeks, pauses and the keys acted
// on. One line each, "<kind> <ms since the log opened> <values>"; scripts/measure-sync.sh reads
// it. Nothing is written unless a log was opened.
#pragma once

#include <cstdint>
#include <string>

namespace vnt {

// Opens (replaces) the log file; false with a message on the error stream when it cannot.
bool open_live_log(const std::string& in_path);
bool live_log_open();
// A line of `in_kind` stamped with the counter reading `in_ticks` (now when 0).
void live_log(const char* in_kind, const std::string& in_values, uint64_t in_ticks = 0);
void close_live_log();

} // namespace vnt
