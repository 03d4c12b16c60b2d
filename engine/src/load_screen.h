// The picture shown while the scenes load: black at the start, white when everything is in,
// each step eased over 200 ms.
#pragma once

#include <string>

class iLoadScreen
{
public:
    virtual ~iLoadScreen() = default;
    // progress 0..1; with `swap` false one picture is drawn at the previous level and not shown.
    virtual void show_progress(float in_progress, bool in_swap) = 0;
};

class cLoadScreen_MM : public iLoadScreen
{
public:
    // Saves the viewport, clear colour and the current/enable attributes it changes; a
    // production's folder of loader models, when given, is searched from now on.
    explicit cLoadScreen_MM(const std::string& in_model_folder = std::string());
    // Restores them.
    ~cLoadScreen_MM() override;
    cLoadScreen_MM(const cLoadScreen_MM&) = delete;
    cLoadScreen_MM& operator=(const cLoadScreen_MM&) = delete;

    void show_progress(float in_progress, bool in_swap) override;
    float level() const { return m_level; }

    // The eased level at `elapsed` ms of a `duration` ms ramp from `from` to `to`.
    static float ramp(float from, float to, int elapsed, int duration);

private:
    int m_viewport[4] = {0, 0, 0, 0};
    float m_clear_colour[4] = {0, 0, 0, 0};
    float m_level = 0.0f; // the progress shown last
};
