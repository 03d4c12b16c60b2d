// The abstract scene: a visual effect with its camera, its interpolators and a view of the
// demo clock. The scene manager updates and draws the current scene; the composition asks its
// layer scenes to render into pooled targets.
#pragma once

#include <list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "draw_state.h"
#include "math/vec3.h"
#include "render_target_manager.h"

class cEvent;
class cInterpolator;
class iGuiNode;
class iVar;
struct cClock;
struct glow_params;

// A scene's tweakable variables, each with the overlay widget that edits it (may be null).
// Whoever asks for the list owns both objects of every pair.
using tVarList = std::vector<std::pair<iVar*, iGuiNode*>>;
// Deletes the variables and widgets of a list and empties it.
void delete_var_list(tVarList& in_list);

struct sCamera
{
    Vec3<float> eye;
    Vec3<float> ctr;
    Vec3<float> up;
    float fov = 65.0f; // vertical field of view, degrees
    float znear = 0.1f;
    float zfar = 500.0f;
    float aspect = 16.0f / 9.0f; // window width / height at construction
    double roll = 0.0;           // degrees about the viewing axis

    sCamera();
    // Projection: perspective (fov, aspect, znear, zfar). Modelview: the roll about (0, 0, -1),
    // then the look-at from eye to ctr.
    void apply_camera() const;
    // "set_eye", "set_ctr" (each component in [min, max]), "set_fov" and "set_roll" controls.
    void add_camera_gui(iGuiNode* in_gui, float in_min, float in_max);
};

class cScene
{
public:
    explicit cScene(const cClock* in_clock);
    virtual ~cScene();
    cScene(const cScene&) = delete;
    cScene& operator=(const cScene&) = delete;

    // The registered name ("scenecomp", "miditest", ...).
    virtual std::string get_name() const = 0;
    // Creates the resources; called once before the first frame.
    virtual void load() = 0;
    // Draws once, at load, what the scene's frames draw and throws the picture away, so that
    // the driver builds its code for those passes and the scene its buffers before the show:
    // on a software rasteriser the first frame of a scene otherwise costs tens of ms more (a
    // stall where it comes in). Leaves the scene as it was; the base draws nothing.
    virtual void warm_up() {}
    // Draws the scene on the screen, over the tiled checker background.
    virtual void draw();
    // Reacts to a timed event (MIDI notes, controllers, beats); the event is borrowed.
    virtual void handle_event(cEvent* in_event) = 0;
    // Per-frame step before drawing; true when the set of controls the scene offers changed.
    virtual bool update() = 0;
    // Adds the scene's sliders to the overlay.
    virtual void add_gui(iGuiNode* in_gui);
    // Renders one frame into a pooled target and hands it over. `in_time_ms` is the demo time
    // in milliseconds (the same unit everywhere; scenes may also read it from the clock).
    virtual cRTProxy render_to_texture(int in_time_ms) = 0;
    // render_to_texture(), and the end of a drawing the scene began and did not end (a return
    // between begin_drawing() and end_drawing()): whatever it does, the state is given back.
    cRTProxy render(int in_time_ms);
    // render(), except that a scene whose last step is its glow (finish_glow()) hands over the
    // picture without it and leaves the glow picture in `out_glow`, for the caller to add as it
    // draws the picture on (cPostComp does): one full-size pass fewer. `out_glow` is left empty
    // by the other scenes.
    cRTProxy render_leaving_glow(int in_time_ms, cRTProxy& out_glow);
    // render_leaving_glow(), and a scene whose picture lies over a picture of its own as its
    // last step (finish_over(), a trail) hands over the picture alone and leaves that picture
    // in `out_under`, for the caller to lay the picture over as it draws it on: one full-size
    // pass fewer again. `out_under` stays the scene's and holds until its next frame; the
    // other scenes leave it null.
    cRTProxy render_leaving(int in_time_ms, cRTProxy& out_glow, iRenderTarget*& out_under);
    // What render_leaving() leaves as a rule: a glow, a picture to lie over. The composition
    // prepares the passes that will read them while it loads; where a scene leaves what it did
    // not say, its layer is composited as well, only one full-size pass slower.
    virtual bool leaves_glow() const { return false; }
    virtual bool leaves_under() const { return false; }
    // The variables the timeline and the overlay may drive; the caller owns the list's objects.
    virtual tVarList get_vars();
    // The Space-key listing: one line "<name> <value>" per variable.
    virtual void print_vars(std::ostream& os);

    // Runs the scene's interpolators once at the current demo time.
    void update_interpolators();
    // Appends an interpolator; the scene owns it from now on.
    void add_interpolator(cInterpolator* in_interpolator);
    const std::vector<cInterpolator*>& interpolators() const { return m_interpolators; }

    // Demo time in ms, as the clock reads it.
    int demo_time() const;
    const cClock* clock() const { return m_clock; }

    sCamera m_camera;

protected:
    // A scene's render_to_texture() draws between these two. begin_drawing() saves what the
    // drawing may change (push_drawing_state()), puts on m_draw_state from its neutral baseline
    // and then the scene's own init(); end_drawing() gives back what was saved. A second
    // begin_drawing() before the end, or an end without a beginning, does nothing.
    void begin_drawing();
    void end_drawing();
    // What the scene draws with beyond its declared state (lights, point sprites, a clear
    // colour...), set by begin_drawing() only: anything it changes must be among what
    // push_drawing_state() saves.
    virtual void init() {}
    // A full-size target from the pool, bound for drawing and cleared to the colour and depth 1
    // (the clear colour and depth mask are left as they were).
    cRTProxy bind_full_target_cleared(float in_r, float in_g, float in_b, float in_a);
    // The same for a target of another size class (cRenderTargetManager::RTT_...).
    cRTProxy bind_target_cleared(int in_size, float in_r, float in_g, float in_b, float in_a);
    // The last step of a scene that glows, whose result render_to_texture() returns as it is:
    // `in_picture` with its glow added, in a new full-size target; or, under
    // render_leaving_glow(), `in_picture` itself with the glow picture left for the caller.
    cRTProxy finish_glow(cRTProxy in_picture, const glow_params& in_params);
    // The last step of a scene whose picture lies over another (stretched over it): in a new
    // full-size target `in_picture` over `in_under`; or, under render_leaving(), `in_picture`
    // itself with `in_under` left for the caller (which must hold until the next frame).
    cRTProxy finish_over(cRTProxy in_picture, iRenderTarget& in_under);

    // What the scene draws with; declared in the scene's constructor.
    sDrawState m_draw_state;
    const cClock* m_clock;
    std::vector<cInterpolator*> m_interpolators;
    std::list<void*> m_aux; // not used by the base
    int m_last_round = -1;  // demo time of the previous interpolator run

private:
    // Saves what a scene's drawing changes: the bound shader (none is bound afterwards), the
    // enables, lighting, fog, colour, depth, polygon, texture, scissor and point state, the
    // current colour, the matrix mode and both matrices.
    void push_drawing_state();
    // Puts back what push_drawing_state() saved.
    void pop_drawing_state();

    bool m_drawing = false;                  // between begin_drawing() and end_drawing()
    cRTProxy* m_glow_slot = nullptr;         // where finish_glow() leaves the glow, if anywhere
    iRenderTarget** m_under_slot = nullptr;  // where finish_over() leaves its picture below
    float m_colour_before[4] = {1, 1, 1, 1}; // current colour when push_drawing_state() ran
};
