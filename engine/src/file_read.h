// Whole-file reads of the demo's small input files (the marker script, the MIDI file).
#pragma once

#include <cstddef>
#include <string>

namespace vnt {

// Reads the regular file at `path` whole into `bytes`. Returns null on success, else why it
// was refused ("missing", "not a regular file", "too large", "unreadable"): a path that is not a
// regular file (a directory, a FIFO or a device, which could block or never end) is not opened, and
// a file of more than `max_bytes` is not read.
const char* read_regular_file(const std::string& path, std::size_t max_bytes, std::string& bytes);

} // namespace vnt
