// Small scenes for tests: a solid colour, a record of what the manager asked of it.
#pragma once

#include <string>
#include <vector>

#include "load_screen.h"
#include "scene.h"

namespace vnt_test {

// A load screen that shows nothing.
struct sNoLoadScreen : iLoadScreen
{
    void show_progress(float, bool) override {}
};

class cColourScene : public cScene
{
public:
    explicit cColourScene(const cClock* in_clock, std::string in_name = "colour")
        : cScene(in_clock), m_name(std::move(in_name))
    {
    }
    std::string get_name() const override { return m_name; }
    void load() override { ++m_loads; }
    void handle_event(cEvent* in_event) override;
    bool update() override
    {
        ++m_updates;
        update_interpolators();
        return false;
    }
    // A full-size target cleared to m_colour.
    cRTProxy render_to_texture(int in_time_ms) override;
    tVarList get_vars() override;

    std::string m_name;
    float m_colour[4] = {1, 0, 0, 1};
    float m_level = 0;
    int m_loads = 0, m_updates = 0, m_renders = 0;
    std::vector<int> m_event_ids;
    std::vector<int> m_event_times;
};

} // namespace vnt_test
