// A production's visual timeline: layers, each a time window in which one scene renders into a
// pooled target, blended in depth order onto an accumulated picture; and the interpolators
// that fade the layers and drive the layer scenes' variables. A production derives from it and
// fills the table in build_timeline().
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene.h"

struct sLayer
{
    int m_starttime;      // first ms of the window
    int m_endtime;        // last ms of the window (inclusive)
    cScene* m_scene;      // not owned
    float m_opacity;      // driven by the fade interpolators
    int m_blendmode;      // cPostComp blend mode

    sLayer(cScene* in_scene, int in_blendmode, int in_starttime, int in_endtime,
           float in_opacity = 1.0f);
    bool contains(int in_t) const { return m_starttime <= in_t && in_t <= m_endtime; }
};

class cLayerComposition : public cScene
{
public:
    explicit cLayerComposition(const cClock* in_clock);
    ~cLayerComposition() override;

    std::string get_name() const override { return "scenecomp"; }
    // Builds the timeline, then loads every layer scene once, in ascending depth, and warms
    // each up (cScene::warm_up()).
    void load() override;
    void draw() override;
    // Passes the event to every scene with an active layer (once per scene), in depth order.
    void handle_event(cEvent* in_event) override;
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    // "curtime", then the variables of every layer shown now, each line led by the layer's
    // depth and scene: "layer 3 tunnel: rot 0.5".
    void print_vars(std::ostream& os) override;
    // Not supported: the composition draws straight onto the screen.
    cRTProxy render_to_texture(int in_time_ms) override;

    // Stores a layer at a free depth above 0, with fade-in and fade-out lerps on its opacity.
    void add_layer(int in_depth, const sLayer& in_layer, int in_fade_in, int in_fade_out);
    // The first variable of the layer scene with that name, or null. The composition keeps
    // the variable alive for the interpolators bound to it.
    iVar* find_var(int in_depth, const std::string& in_name);

    const std::map<int, sLayer>& layers() const { return m_layers; }
    sLayer& layer(int in_depth) { return m_layers.at(in_depth); }
    // Depths of the layers whose window contains `in_t`, ascending.
    std::vector<int> active_depths(int in_t) const;

    int m_curtime = 0; // demo time of the last drawn frame; the "curtime" slider edits it

protected:
    // The production's table of layers and timed parameter changes, added through add_layer()
    // and add_interpolator(); called once by load().
    virtual void build_timeline() {}

private:
    // Prepares the compositing's pass for the last two layers of each set of layers the
    // timeline shows together (cPostComp::warm_up_two()), as their scenes say what they leave.
    void warm_up_last_two();

    // The particles' shared random table is read by each scene through a cursor of its own,
    // set from its layer's start when the layer comes on: a layer's particles are then a
    // function of the time since its start, whatever other scenes drew before (a capture that
    // begins inside a layer replays only from the layer's start).
    uint32_t& random_cursor(cScene* in_scene, int in_t);
    std::map<const cScene*, uint32_t> m_random_cursors;
    std::vector<cScene*> m_updated_scenes; // shown at the last update

    std::map<int, sLayer> m_layers;
    std::vector<std::unique_ptr<iVar>> m_found_vars;
    std::string m_active_text; // the active depths as last reported by update()
};
