// The light sprite (see sprites.h).
#include "sprites.h"

#include <algorithm>
#include <cmath>

#include "image_writer.h"
#include "mesh_builder.h"

namespace content {

bool write_sprites(const std::string& data_dir, std::string& error)
{
    // A white-hot core in a soft violet halo with four faint rays, on black (drawn additively).
    const int size = 128;
    assets::sImage img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double core = std::exp(-r * r * 40.0);
            const double halo = std::exp(-r * r * 6.0) * std::max(0.0, 1.0 - r);
            const double rays =
                std::pow(std::max(0.0, 1.0 - std::min(std::fabs(dx), std::fabs(dy)) * 18.0), 2) *
                std::max(0.0, 1.0 - r) * 0.35;
            const double v = core + halo * 0.8 + rays;
            img.set(x, y, float(core + halo * 0.85 + rays), float(core + halo * 0.55 + rays),
                    float(core + halo * 1.0 + rays), float(std::min(1.0, v)));
        }
    }
    const std::string path = data_dir + "/textures/particle_sprite_03.jpg";
    if (!assets::write_image(path, img)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace content
