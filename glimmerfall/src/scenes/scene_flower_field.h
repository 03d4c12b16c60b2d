// The flower field: glowing light flowers laid out in rings and spirals, swaying on sine waves
// and flaring on the clap; the camera floats from high above (the field seen as a mandala) down
// among the stems, and at the end the flowers sink away.
#pragma once

#include <vector>

#include "scene.h"
#include "tex_proxy.h"

class iMesh;

class cSceneFlowerField : public cScene
{
public:
    static constexpr int NUM_VARIANTS = 3;
    static constexpr int NUM_CONFIGS = 4;

    // One flower of the field.
    struct sFlower
    {
        float x = 0, z = 0; // on the ground
        float yaw = 0;      // degrees about +y
        float scale = 1;
        int variant = 0; // mesh, 0..2
        int colour = 0;  // palette entry, 0..3
    };

    explicit cSceneFlowerField(const cClock* in_clock);

    std::string get_name() const override { return "flowerfield"; }
    // Fetches the three flower meshes and "leaf.png"; registers "sinewave_shader".
    void load() override;
    // One frame drawn and thrown away: the flowers' first drawing costs some 50 ms more.
    void warm_up() override;
    // The clap (note on, track 4) makes the flowers flare and sway harder.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_config" (0..3), "cur_t" (0..1), "outtro_t" (0..1).
    tVarList get_vars() override;

    // The layout of a configuration: 0 a sunflower spiral, 1 concentric rings, 2 spiral arms,
    // 3 rings coloured by sectors. Out-of-range values give the nearest one.
    static std::vector<sFlower> layout(int in_config);

    int m_cur_config = 1;      // layout and colours, 0..3
    float m_cur_t = 1.0f;      // camera: 0 among the flowers, 1 high above the field
    float m_outtro_t = 0.0f;   // 0 the field, 1 every flower sunk away
    float m_clap = 0.0f;       // clap flare, 1 at the clap back to 0
    float m_sway = 0.16f;      // sway at height 1, object units
    float m_wave_speed = 2.2f; // radians per second
    float m_glow = 1.0f;       // brightness of the halos

private:
    void place_camera(float in_seconds);
    void draw_ground(float in_fade) const;
    void draw_horizon(float in_alpha) const;
    void draw_flowers(float in_seconds);
    void draw_halos(float in_seconds) const;
    // The world position of a flower's heart, swayed as the shader sways it.
    void heart_position(const sFlower& in_flower, float in_seconds, float out[3]) const;
    float sink() const;

    iMesh* m_meshes[NUM_VARIANTS] = {nullptr, nullptr, nullptr};
    cTexProxy m_leaf;
    std::vector<sFlower> m_field;
    int m_field_config = -1; // configuration m_field was laid out for
};
