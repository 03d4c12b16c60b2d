// The Ganesh scene's content: the elephant-headed sculpture on its lotus, the mandala pieces
// behind it, the two logos, their textures and the seven camera flights around it.
#pragma once

#include <string>

namespace content {

// Centre of the mandala behind the sculpture (in the plane of the pieces).
constexpr double kMandalaCentreY = 1.2;

bool write_ganesh(const std::string& data_dir, std::string& error);

} // namespace content
