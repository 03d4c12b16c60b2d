// The mandala gate: a tunnel of petal rings in the demo's colours, seen first from outside its
// mouth and flown into with "cur_t"; streaks of light run towards the viewer on a repeating
// beat that "rep_t" shifts.
#pragma once

#include "scene.h"

class iMesh;
struct GLUquadric;

class cSceneMandalaGate : public cScene
{
public:
    static constexpr float SEGMENT = 12.0f;       // length of the tunnel mesh, units
    static constexpr int STREAK_PERIOD_MS = 1500; // one run of the streaks down a segment

    explicit cSceneMandalaGate(const cClock* in_clock);
    ~cSceneMandalaGate() override;

    std::string get_name() const override { return "mandalagate"; }
    // Fetches "mandala_tunnel_bg.bzobj" and "mandala_tunnel_streak.bzobj".
    void load() override;
    void init() override;
    void handle_event(cEvent*) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_t" (0..1), "rep_t" (-1500..1).
    tVarList get_vars() override;

    // Where the eye stands along the tunnel (z) at a progress: outside the mouth at 0.
    static float eye_z(float in_cur_t);
    // Phase (0..1) of the streaks' run at a demo time, shifted by rep_t milliseconds.
    static float streak_phase(int in_time_ms, float in_rep_t);

    float m_cur_t = 0.0f; // 0 in front of the gate, 1 deep inside
    float m_rep_t = 0.0f; // shift of the streaks' run, ms

private:
    void draw_gate_light(float in_seconds, float in_eye_z);
    void draw_streaks(int in_time_ms, float in_eye_z);

    iMesh* m_wall = nullptr;         // owned by the mesh manager
    iMesh* m_streaks = nullptr;      // owned by the mesh manager
    GLUquadric* m_quadric = nullptr; // the dark tube behind the petals
};
