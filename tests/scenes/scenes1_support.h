// Shared checks of the tunnel, kaleidoscope, spike, sphere, op-art and gate scene tests: those of
// every scene test, and the overlay controls a scene offers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "effects/interpolator.h"
#include "event_queue.h"
#include "gui/gui_var_list.h"
#include "support/scene_checks.h"

namespace scenes1_test {

using namespace vnt_test::scene_checks;

// The scene's overlay controls hold these names (after the camera's four).
inline void expect_gui(cScene& scene, const std::vector<std::string>& names)
{
    cGuiVarList gui;
    scene.add_gui(&gui);
    std::vector<std::string> shown;
    for (const auto& row : gui.rows())
        shown.push_back(row.first ? row.first->get_name() : "");
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[0], "set_eye");
    for (const std::string& name : names)
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end()) << name;
}

} // namespace scenes1_test
