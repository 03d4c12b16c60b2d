// The meshes of the tunnel, kaleidoscope, spike, sphere, op-art and gate scenes, by the file
// names the scenes load them with.
#pragma once

#include <string>
#include <vector>

#include "mesh_builder.h"

namespace content {

struct sModel
{
    const char* path; // below the data folder
    cSolidBuilder (*build)();
};

// Every model this generator writes, in a fixed order.
const std::vector<sModel>& models();

} // namespace content
