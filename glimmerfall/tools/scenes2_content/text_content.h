// Content of the title and the greetings: the ray backdrop and the extruded "Glimmerfall"
// logo, the ring backdrop and the ten greeting texts, and their pictures.
#pragma once

#include <string>
#include <vector>

namespace content {

// The groups greeted, in order of appearance (greet_01 to greet_10).
const std::vector<std::string>& greeted_groups();

bool write_text_content(const std::string& data_dir);

} // namespace content
