// The mandala cube: a turning cube whose faces carry eight rings of petals; each ring morphs
// on the GPU between lying folded on the face and standing opened out, in waves that the
// configuration chooses.
#pragma once

#include <memory>

#include "scene.h"

class cMeshMorph;
class iMesh;

class cSceneMandalaCube : public cScene
{
public:
    static constexpr int NUM_LAYERS = 8; // petal rings "layer02" to "layer09"
    static constexpr int NUM_CONFIGS = 4;

    explicit cSceneMandalaCube(const cClock* in_clock);
    ~cSceneMandalaCube() override;

    std::string get_name() const override { return "mandalacube"; }
    // Adds the folder of the grey textures to the search paths, fetches the cube's faces and
    // the eight in/out pairs as morphing meshes, registers "morph_shader" and "dtex_shader".
    void load() override;
    void init() override;
    void handle_event(cEvent* in_event) override {}
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "cur_config" (0..3).
    tVarList get_vars() override;

    // The opening of ring `in_layer` (0 innermost) at `in_seconds` under configuration
    // `in_config`: 0 every ring folded, 1 a wave running outwards, 2 neighbouring rings in
    // turn, 3 every ring open and breathing. Out-of-range configurations fold everything.
    static float layer_weight(int in_config, int in_layer, float in_seconds);
    // Draws ring `in_layer` morphed to `in_weight` (0 folded, 1 open) with the current
    // transformation and lights.
    void draw_layer(int in_layer, float in_weight);
    bool is_loaded() const { return m_faces != nullptr; }

    int m_cur_config = 1; // morph program, 0..3
    float m_speed = 1.0f; // pace of the waves and the turning, 1 = as designed
    float m_light = 1.0f; // brightness of the key light

private:
    iMesh* m_faces = nullptr;                // owned by the mesh manager
    std::unique_ptr<cMeshMorph> m_layers[NUM_LAYERS];
};
