// The greetings: the names of ten friendly groups fly one after another out of a tunnel of
// turning ring segments and rushing sparks, each glowing in its colour with a glint sweeping
// across it while it is read, swing past the viewer and are gone.
#pragma once

#include "scene.h"
#include "tex_proxy.h"

class iMesh;

class cSceneGreets : public cScene
{
public:
    static constexpr int NUM_GREETS = 10;

    // Where one greeting is at a moment: its progress through its flight (0 far away, 1 gone)
    // and whether it is shown at all.
    struct sFlight
    {
        bool shown = false;
        float progress = 0.0f;
        float x = 0, y = 0, z = 0; // position of the text's centre
        float roll = 0, yaw = 0;   // degrees
        float alpha = 0;
    };

    explicit cSceneGreets(const cClock* in_clock);

    std::string get_name() const override { return "greets"; }
    // Fetches "greetings_bg_03.bzobj" and "greet_01.bzobj" to "greet_10.bzobj"; registers its
    // shaders.
    void load() override;
    void handle_event(cEvent* in_event) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_t" (0..1).
    tVarList get_vars() override;

    // The flight of greeting `in_index` (0..9) at `in_cur_t`: each starts a little after the one
    // before and takes a fifth of the whole; none shows before 0 or after 1.
    static sFlight flight(int in_index, float in_cur_t);

    float m_cur_t = 0.0f;        // progress through the greetings, 0..1
    float m_tunnel_speed = 4.0f; // units per second
    float m_text_light = 1.0f;   // brightness of the names

private:
    void draw_tunnel(float in_seconds) const;
    void draw_sparks(float in_seconds) const;
    void draw_greet(int in_index, const sFlight& in_flight, float in_seconds);

    iMesh* m_bg = nullptr; // owned by the mesh manager
    iMesh* m_greets[NUM_GREETS] = {};
    cTexProxy m_text_tex;
};
