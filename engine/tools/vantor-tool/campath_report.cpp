// The "campath" verb: the keys of a camera path as the demo reads them (in the demo's y-up
// axes), the boxes around the eye and centre points and the length of the flight.
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "arguments.h"
#include "cam_path.h"
#include "format.h"
#include "input_files.h"
#include "verbs.h"

namespace vantor_tool {

const char* const CAMPATH_USAGE =
    "usage: vantor-tool campath FILE\n"
    "  A camera path as the demo reads it: the number of keys, the bounding boxes of the eye\n"
    "  and centre points and the length of each polyline, in the demo's axes (y up; the file's\n"
    "  z-up (x, y, z) becomes (x, z, -y)). Keys look like \"(1.5,0,-2)(0,0,0)(0,0,1)\".\n";

namespace {

struct sPolyline
{
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    double length = 0;
};

sPolyline measure(const std::vector<CCamPath::sKey>& keys, Vec3<float> CCamPath::sKey::*which)
{
    sPolyline p;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Vec3<float>& v = keys[i].*which;
        const float c[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) {
            p.min[k] = i == 0 ? c[k] : std::min(p.min[k], c[k]);
            p.max[k] = i == 0 ? c[k] : std::max(p.max[k], c[k]);
        }
        if (i > 0) {
            const Vec3<float>& u = keys[i - 1].*which;
            const double dx = double(v.x) - u.x, dy = double(v.y) - u.y, dz = double(v.z) - u.z;
            p.length += std::sqrt(dx * dx + dy * dy + dz * dz);
        }
    }
    return p;
}

void print_polyline(const char* what, const sPolyline& p)
{
    std::cout << what << " box: min " << format_vec3(p.min) << ", max " << format_vec3(p.max)
              << "\n";
    std::ostringstream length; // six significant digits: a measure, not a stored value
    length << p.length;
    std::cout << what << " path length: " << length.str() << "\n";
}

} // namespace

int run_campath(const tArgs& args)
{
    const cArguments a(args, {}, {});
    if (a.help()) {
        std::cout << CAMPATH_USAGE;
        return STATUS_OK;
    }
    if (!a.ok())
        return usage_error("campath", a.error(), CAMPATH_USAGE);
    if (a.files().size() != 1)
        return usage_error("campath", "one camera path expected", CAMPATH_USAGE);

    const std::string path = resolve_input(a.files()[0]);
    CCamPath cam;
    if (!cam.load(path))
        return STATUS_FAILED; // the reader has said why
    const std::vector<CCamPath::sKey>& keys = cam.keys();
    std::cout << "file: " << path << "\n";
    std::cout << "keys: " << keys.size() << "\n";
    if (keys.empty()) {
        std::cout.flush();
        std::cerr << "## ERROR: no camera keys in " << path << std::endl;
        return STATUS_FAILED;
    }
    print_polyline("eye", measure(keys, &CCamPath::sKey::eye));
    print_polyline("centre", measure(keys, &CCamPath::sKey::centre));
    return STATUS_OK;
}

} // namespace vantor_tool
