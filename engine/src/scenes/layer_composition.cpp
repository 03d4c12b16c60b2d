// Layer composition (see layer_composition.h).
#include "scenes/layer_composition.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <set>

#include "effects/interpolator.h"
#include "effects/particles/random_table.h"
#include "effects/var.h"
#include "event_queue.h"
#include "gl_extensions.h"
#include "gui/gui_slider.h"
#include "gui/slider_entries.h"
#include "postprocessing/post_comp.h"
#include "render_target.h"
#include "scene_manager.h"
#include "shader_manager_glsl.h"

namespace {

constexpr int STALL_MS = 2500; // a jump this far from the last drawn frame seeks back

// Whether the layer below the last can be held until the last is drawn and both blended in
// one pass: both in one of the four blends, and from two scenes (a scene drawn again would
// draw over what it left the first time, its trail in particular).
bool can_wait_for_the_last(const sLayer& in_layer, const sLayer& in_last)
{
    return cPostComp::is_blend(in_layer.m_blendmode) && cPostComp::is_blend(in_last.m_blendmode) &&
           in_layer.m_scene != in_last.m_scene;
}

// A layer's picture held for a later pass, with the targets it reads.
struct sHeld
{
    cRTProxy image, glow;
    cPostComp::sLayerPicture picture = {nullptr, nullptr, 0, 0.0f};

    void hold(const cPostComp::sLayerPicture& in_picture, cRTProxy& io_image, cRTProxy& io_glow)
    {
        picture = in_picture;
        image = std::move(io_image);
        if (io_glow.isValid())
            glow = std::move(io_glow);
    }
    bool held() const { return image.isValid(); }
    void release()
    {
        cRenderTargetManager* pool = cRenderTargetManager::get_instance();
        pool->release(image);
        if (glow.isValid())
            pool->release(glow);
    }
};

// `in_layer` blended onto what lies below: the held bottom layer laid over black in the same
// pass, or the picture accumulated so far; straight onto the window when it is the last, else
// into the spare target, which then becomes the accumulated picture.
void composite(const cPostComp::sLayerPicture& in_layer, bool in_last, sHeld& io_bottom,
               cRTProxy& io_accumulator, cRTProxy& io_spare)
{
    cPostComp* comp = cPostComp::get_instance();
    // The last layer is blended straight onto the window: no copy of the finished picture.
    iRenderTarget* out = in_last ? nullptr : io_spare.get_rt();
    if (io_bottom.held()) {
        comp->comp_onto_bottom(out, in_layer, io_bottom.picture);
        io_bottom.release();
    } else if (in_last) {
        comp->comp_here(*in_layer.picture, *io_accumulator, &in_layer.mode, in_layer.opacity,
                        in_layer.glow, in_layer.under);
    } else {
        comp->comp(*io_spare, *in_layer.picture, *io_accumulator, &in_layer.mode, in_layer.opacity,
                   in_layer.glow, in_layer.under);
    }
    if (!in_last) {
        std::swap(io_accumulator, io_spare);
        if (io_spare.get_size() != cRenderTargetManager::RTT_FULL)
            io_spare = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    }
}

} // namespace

sLayer::sLayer(cScene* in_scene, int in_blendmode, int in_starttime, int in_endtime,
               float in_opacity)
    : m_starttime(in_starttime), m_endtime(in_endtime), m_scene(in_scene), m_opacity(in_opacity),
      m_blendmode(in_blendmode)
{
    assert(in_starttime < in_endtime);
    assert(in_scene && "scene-ptr not valid");
}

cLayerComposition::cLayerComposition(const cClock* in_clock) : cScene(in_clock) {}

cLayerComposition::~cLayerComposition() = default;

void cLayerComposition::load()
{
    build_timeline();
    std::vector<cScene*> loaded;
    for (auto& [depth, layer] : m_layers) {
        if (std::find(loaded.begin(), loaded.end(), layer.m_scene) == loaded.end()) {
            loaded.push_back(layer.m_scene);
            layer.m_scene->load();
        }
    }
    // The scenes after the compositing: a software rasteriser keeps only so many of the
    // programs it builds, dropping those used least recently, and the scenes' come first.
    if (m_layers.size() > 1) {
        cPostComp::get_instance()->warm_up();
        warm_up_last_two();
    }
    for (cScene* scene : loaded)
        scene->warm_up();
}

void cLayerComposition::warm_up_last_two()
{
    // The layers shown together: those on at each start and after each end, and at a start
    // without the layers starting then (a fade-in's first frame leaves its layer out).
    std::set<std::vector<int>> sets; // each set once
    for (const auto& [depth, layer] : m_layers) {
        for (int t : {layer.m_starttime, layer.m_endtime + 1}) {
            std::vector<int> on = active_depths(t), settled;
            for (int d : on) {
                if (m_layers.at(d).m_starttime != t)
                    settled.push_back(d);
            }
            sets.insert(on);
            sets.insert(settled);
        }
    }
    for (const std::vector<int>& on : sets) {
        const size_t n = on.size();
        if (n < 2)
            continue; // the last alone: prepared by warm_up()
        const sLayer& first = m_layers.at(on.front());
        const bool first_is_bottom = cPostComp::usable_as_bottom(first.m_blendmode);
        if (n == 2 && first_is_bottom)
            continue; // the last over the bottom layer: prepared by warm_up()
        const sLayer& middle = m_layers.at(on[n - 2]);
        const sLayer& last = m_layers.at(on[n - 1]);
        if (!can_wait_for_the_last(middle, last))
            continue;
        const bool on_bottom = n == 3 && first_is_bottom;
        const cPostComp::sLayerShape shapes[3] = {
            {last.m_blendmode, last.m_scene->leaves_glow(), last.m_scene->leaves_under()},
            {middle.m_blendmode, middle.m_scene->leaves_glow(), middle.m_scene->leaves_under()},
            on_bottom
                ? cPostComp::sLayerShape{first.m_blendmode, first.m_scene->leaves_glow(), false}
                : cPostComp::sLayerShape{cPostComp::BLEND_OVER, false, false}};
        cPostComp::get_instance()->warm_up_two(shapes[0], shapes[1], shapes[2], on_bottom);
    }
}

void cLayerComposition::add_layer(int layer_depth, const sLayer& in_layer, int in_fade_in,
                                  int in_fade_out)
{
    assert(layer_depth > 0);
    assert(m_layers.find(layer_depth) == m_layers.end() &&
           "each layer-depth can only be used once!");
    sLayer& stored = m_layers.emplace(layer_depth, in_layer).first->second;
    if (in_fade_in > 0) {
        m_found_vars.emplace_back(new cVar<float>(&stored.m_opacity));
        add_interpolator(new cLerp<float>(m_found_vars.back().get(), stored.m_starttime,
                                          stored.m_starttime + in_fade_in, 0.0f, 1.0f));
    }
    if (in_fade_out > 0) {
        m_found_vars.emplace_back(new cVar<float>(&stored.m_opacity));
        add_interpolator(new cLerp<float>(m_found_vars.back().get(), stored.m_endtime - in_fade_out,
                                          stored.m_endtime, 1.0f, 0.0f));
    }
}

iVar* cLayerComposition::find_var(int in_depth, const std::string& in_name)
{
    auto found_layer = m_layers.find(in_depth);
    if (found_layer == m_layers.end())
        return nullptr;
    tVarList vars = found_layer->second.m_scene->get_vars();
    iVar* found = find_var_in(vars, in_name);
    for (auto& entry : vars) {
        if (entry.first == found) {
            m_found_vars.emplace_back(entry.first);
            entry.first = nullptr;
        }
    }
    delete_var_list(vars);
    return found;
}

std::vector<int> cLayerComposition::active_depths(int in_t) const
{
    std::vector<int> depths;
    for (const auto& [depth, layer] : m_layers) {
        if (layer.contains(in_t))
            depths.push_back(depth);
    }
    return depths;
}

void cLayerComposition::handle_event(cEvent* in_event)
{
    std::set<cScene*> told;
    cRandomTable& random = cRandomTable::get();
    const uint32_t outside = random.cursor();
    for (int depth : active_depths(demo_time())) {
        cScene* scene = m_layers.at(depth).m_scene;
        if (!told.insert(scene).second)
            continue;
        uint32_t& cursor = random_cursor(scene, demo_time());
        random.set_cursor(cursor);
        scene->handle_event(in_event);
        cursor = random.cursor();
    }
    random.set_cursor(outside);
}

uint32_t& cLayerComposition::random_cursor(cScene* in_scene, int in_t)
{
    auto found = m_random_cursors.find(in_scene);
    if (found != m_random_cursors.end())
        return found->second;
    int start = in_t;
    for (const auto& [depth, layer] : m_layers) {
        if (layer.m_scene == in_scene && layer.contains(in_t))
            start = std::min(start, layer.m_starttime);
    }
    const uint32_t cursor = (uint32_t(start) * 2654435761u) % cRandomTable::SIZE;
    return m_random_cursors.emplace(in_scene, cursor).first->second;
}

bool cLayerComposition::update()
{
    const int t = demo_time();
    if (std::abs(t - m_curtime) > STALL_MS && cSceneManager::has_instance())
        cSceneManager::get_instance()->seek(m_curtime);

    std::set<cScene*> updated;
    const std::vector<int> active = active_depths(demo_time());
    std::vector<cScene*> shown;
    cRandomTable& random = cRandomTable::get();
    const uint32_t outside = random.cursor();
    for (int depth : active) {
        cScene* scene = m_layers.at(depth).m_scene;
        if (!updated.insert(scene).second)
            continue;
        shown.push_back(scene);
        if (std::find(m_updated_scenes.begin(), m_updated_scenes.end(), scene) ==
            m_updated_scenes.end())
            m_random_cursors.erase(scene); // its layer comes on
        uint32_t& cursor = random_cursor(scene, t);
        random.set_cursor(cursor);
        scene->update();
        cursor = random.cursor();
    }
    random.set_cursor(outside);
    m_updated_scenes = shown;
    update_interpolators();

    std::string text;
    for (int depth : active)
        text += std::to_string(depth);
    if (text == m_active_text)
        return false;
    m_active_text = text;
    return true;
}

void cLayerComposition::add_gui(iGuiNode* in_gui)
{
    // "curtime" runs to the "quit" mark: dragging it seeks the demo (see update()).
    int quit_time = 0;
    if (cSceneManager::has_instance()) {
        if (const cEventQueue* queue = cSceneManager::get_instance()->event_queue()) {
            const cEvent quit = queue->peek_next(EV_QUIT);
            if (quit.is_valid())
                quit_time = quit.m_time;
        }
    }
    add_slider(in_gui, "curtime", &m_curtime, 0.0f, float(quit_time));

    // The sliders of the layers shown now; other widgets stay with their scenes.
    std::set<cScene*> asked;
    for (int depth : active_depths(demo_time())) {
        cScene* scene = m_layers.at(depth).m_scene;
        if (!asked.insert(scene).second)
            continue;
        tVarList vars = scene->get_vars();
        for (auto& entry : vars) {
            if (in_gui && entry.first && dynamic_cast<cGuiSlider*>(entry.second)) {
                in_gui->add_var(entry.first, entry.second);
                entry = {nullptr, nullptr};
            }
        }
        delete_var_list(vars);
    }
}

void cLayerComposition::print_vars(std::ostream& os)
{
    os << "curtime " << m_curtime << std::endl;
    for (int depth : active_depths(demo_time())) {
        cScene* scene = m_layers.at(depth).m_scene;
        tVarList vars = scene->get_vars();
        for (const auto& entry : vars) {
            if (entry.first)
                os << "layer " << depth << " " << scene->get_name() << ": "
                   << entry.first->get_name() << " " << entry.first->to_string() << std::endl;
        }
        delete_var_list(vars);
    }
}

cRTProxy cLayerComposition::render_to_texture(int)
{
    assert(0 && "cScene::render-to-texture not implemented for composition-scene");
    return cRTProxy();
}

void cLayerComposition::draw()
{
    if (m_layers.empty())
        return;
    if (m_layers.size() == 1) {
        m_layers.begin()->second.m_scene->draw();
        m_curtime = demo_time();
        return;
    }
    const int t = demo_time();
    // A layer at opacity 0 leaves the picture below as it is in every blend: it is neither
    // rendered nor composited (mostly the first frame of a fade-in or the last of a fade-out).
    std::vector<int> active = active_depths(t);
    active.erase(
        std::remove_if(active.begin(), active.end(),
                       [this](int depth) { return !(m_layers.at(depth).m_opacity > 0.0f); }),
        active.end());
    if (active.empty()) {
        m_curtime = t; // nothing drawn over the cleared window: black, as the layers give
        return;
    }

    // Opaque black under the first layer: a small target does, the compositing stretches it.
    // (Mostly the bottom layer is laid over black in the next layer's pass instead.)
    cRTProxy accumulator = get_tmp_rt(cRenderTargetManager::RTT_EIGHTH);
    cRTProxy spare = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    glClearColor(0, 0, 0, 1);
    accumulator->bind_as_target(true);
    accumulator->unbind_as_target();

    // The bottom layer waits for the next one, whose pass lays it over the black as well; the
    // layer below the last waits for the last, so that both are blended in one pass with no
    // picture in between.
    sHeld bottom, middle;
    cPostComp* comp = cPostComp::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    for (size_t k = 0; k < active.size(); ++k) {
        const bool last = k + 1 == active.size();
        sLayer& layer = m_layers.at(active[k]);
        glPushAttrib(GL_ENABLE_BIT);
        shaders->push_shader();
        cRandomTable& random = cRandomTable::get();
        const uint32_t outside = random.cursor();
        uint32_t& cursor = random_cursor(layer.m_scene, t);
        random.set_cursor(cursor);
        // The bottom layer is laid over black, over nothing of its own: its scene lays its
        // picture over its trail itself.
        const bool bottom_candidate = k == 0 && cPostComp::usable_as_bottom(layer.m_blendmode);
        cRTProxy glow;
        iRenderTarget* under = nullptr;
        cRTProxy image = bottom_candidate ? layer.m_scene->render_leaving_glow(t, glow)
                                          : layer.m_scene->render_leaving(t, glow, under);
        cursor = random.cursor();
        random.set_cursor(outside);
        shaders->pop_shader();
        glPopAttrib();
        assert(image.get_size() != cRenderTargetManager::RTT_NONE);
        // A glow the scene left is added in the layer's own pass.
        const cPostComp::sLayerPicture picture = {image.get_rt(),
                                                  glow.isValid() ? glow.get_rt() : nullptr,
                                                  layer.m_blendmode, layer.m_opacity, under};
        if (bottom_candidate && last) {
            // Alone: laid over black straight onto the window, nothing below read.
            comp->comp_alone(nullptr, picture);
            break;
        }
        if (bottom_candidate) {
            bottom.hold(picture, image, glow);
            continue;
        }
        if (k + 2 == active.size() && can_wait_for_the_last(layer, m_layers.at(active.back()))) {
            middle.hold(picture, image, glow);
            continue;
        }
        if (middle.held()) {
            const cPostComp::sLayerPicture below =
                bottom.held() ? bottom.picture
                              : cPostComp::sLayerPicture{accumulator.get_rt(), nullptr,
                                                         cPostComp::BLEND_OVER, 1.0f};
            if (comp->ready_for_two(picture, middle.picture, below, bottom.held())) {
                comp->comp_two_here(picture, middle.picture, below, bottom.held());
                break;
            }
            // Not prepared while loading: the middle layer in a pass of its own after all.
            composite(middle.picture, false, bottom, accumulator, spare);
        }
        composite(picture, last, bottom, accumulator, spare);
    }
    m_curtime = t;
}
