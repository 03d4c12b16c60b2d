// The mushroom cave: a flight along seven recorded paths through a lightmapped cave, past
// glowing mushrooms in translucent x-ray shells, with floating spore pods and drifting spores.
// The clap flashes the magenta mushrooms, the arpeggio the cyan ones; a phrase cue moves the
// camera on to its next path.
#pragma once

#include <memory>

#include "cam_path.h"
#include "effects/var.h"
#include "scene.h"
#include "tex_proxy.h"

class iMesh;
struct sParticleEffect;

class cSceneMushroomsJ : public cScene
{
public:
    explicit cSceneMushroomsJ(const cClock* in_clock);
    ~cSceneMushroomsJ() override;

    std::string get_name() const override { return "mushrooms"; }
    // Meshes, lightmaps, sprite and camera paths from "../data/models/mushroom" and the texture
    // folders; the four shaders; the spores.
    void load() override;
    // Clap (note on, track 4): flash of the magenta group over 500 ms. Arpeggio (note on, track
    // 21): flash of the cyan group over 200 ms. Phrase cue (note on, track 1, note 48): the
    // next camera path, starting now.
    void handle_event(cEvent* in_event) override;
    // Interpolators (only while the clock runs), then one step of the spores.
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    // "rotation" (0..720).
    tVarList get_vars() override;

    static constexpr int NUM_PATHS = 7;
    // The paths in the order the phrase cues step through them.
    static const char* const path_files[NUM_PATHS];
    static constexpr int PATH_MS = 13333; // one flight: eight bars of the song
    static constexpr int SPORES = 2000;   // particle capacity

    // Progress along the current path at a demo time, 0..1 (0 before the path has started).
    float path_progress(int in_time_ms) const;
    // Brightness of a flash whose progress is `in_flash` (0 at the hit, 1 when it has died).
    static float flash_brightness(float in_flash);
    const sParticleEffect* spores() const { return m_spores.get(); }

    float m_rotation = 0.0f; // degrees: the spore pods' orbit and the camera's sway
    float m_flash_a = 1.0f;  // progress of the magenta flash, 0 (hit) .. 1 (gone)
    float m_flash_b = 1.0f;  // progress of the cyan flash, 0 (hit) .. 1 (gone)
    int m_cur_path = 0;      // index into path_files
    int m_path_start = -1;   // demo ms at which the current path began; -1: not yet
    CCamPath m_paths[NUM_PATHS];

    float m_cave_light = 0.7f; // neutral lightmap strength
    float m_glow_a = 0.55f;    // group lights at rest
    float m_glow_b = 0.55f;
    float m_spore_size = 0.07f; // sprite edge of a spore, units

private:
    // Drops the flash interpolators whose window is over (they have landed on 1 by then), so
    // the list stays short and a seek back does not replay old flashes.
    void drop_finished_flashes(int in_time_ms);
    void place_camera(int in_time_ms);
    void draw_cave();
    void draw_mushrooms();
    void draw_pods(float in_seconds);
    void draw_volumes();
    void draw_spores(float in_seconds);

    cVar<float> m_flash_a_var{"flash_a", &m_flash_a}; // what the flash interpolators drive
    cVar<float> m_flash_b_var{"flash_b", &m_flash_b};
    iMesh* m_cave = nullptr; // meshes owned by the mesh manager
    iMesh* m_mush01 = nullptr;
    iMesh* m_mush01_vol = nullptr;
    iMesh* m_mush02 = nullptr;
    iMesh* m_mush02_vol = nullptr;
    iMesh* m_mush_low = nullptr;
    iMesh* m_scatter = nullptr;
    iMesh* m_minimush = nullptr;
    cTexProxy m_lightmaps[3]; // neutral, group A, group B
    cTexProxy m_skin;
    cTexProxy m_sprite;
    std::unique_ptr<sParticleEffect> m_spores;
    std::vector<Vec3<float>> m_pod_anchors; // points along the flights where pods float
};
