// Shared checks of the mandala, mandala cube, flower field, title and greetings tests: those of
// every scene test, setting a variable as the timeline would, and picture measures.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "effects/var.h"
#include "support/scene_checks.h"

namespace scenes2_test {

using namespace vnt_test::scene_checks;

// Sets the scene's variable `name` (a float or an int variable) as the timeline would.
inline void set_var(cScene& scene, const std::string& name, float value)
{
    tVarList vars = scene.get_vars();
    iVar* var = find_var_in(vars, name);
    if (auto* f = dynamic_cast<cVar<float>*>(var))
        f->set(value);
    else if (auto* i = dynamic_cast<cVar<int>*>(var))
        i->set(int(value));
    else
        ADD_FAILURE() << "no variable " << name;
    delete_var_list(vars);
}

// Mean colour of the pixels brighter than `threshold` in any channel (what the scene shows,
// without its black background); zeros when nothing is lit.
inline std::array<double, 3> lit_colour(const std::vector<unsigned char>& rgba, int threshold = 24)
{
    std::array<double, 3> sum{0, 0, 0};
    size_t n = 0;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        if (rgba[i] > threshold || rgba[i + 1] > threshold || rgba[i + 2] > threshold) {
            for (size_t c = 0; c < 3; ++c)
                sum[c] += rgba[i + c];
            ++n;
        }
    }
    for (double& s : sum)
        s = n ? s / double(n) : 0.0;
    return sum;
}

// Mean of the alpha channel, 0..255.
inline double mean_alpha(const std::vector<unsigned char>& rgba)
{
    return vnt_test::mean_rgba(rgba)[3];
}

} // namespace scenes2_test
