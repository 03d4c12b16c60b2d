// The strange-attractor scene: a cloud of 100000 points from a three-dimensional Pickover map,
// added up so that dense regions glow, shown either as one graded view or as a six-fold
// mandala; presets, slow parameter drift and MIDI kicks keep it moving.
#pragma once

#include <memory>
#include <string>

#include "math/vec3.h"
#include "postprocessing/glow.h"
#include "postprocessing/hsb.h"
#include "postprocessing/hue_shift.h"
#include "scene.h"

class cAttractorCalculator_pickover;
class cPointCloud;
class cPointSplat;

class cSceneAttractor : public cScene
{
public:
    static constexpr int NUM_POINTS = 100000;
    static constexpr int POINTS_PER_FRAME = 20000;
    static constexpr int NUM_ANIMS = 9;

    explicit cSceneAttractor(const cClock* in_clock);
    ~cSceneAttractor() override;

    std::string get_name() const override { return "attractors"; }
    // Registers the grading passes' shaders, so the first frame does not compile them.
    void load() override;
    // Points as sprites over the dark grey clear colour (additive blending is declared).
    void init() override;
    void handle_event(cEvent* in_event) override;
    // Runs the interpolators and applies the `ifsconfig` preset when it changed.
    bool update() override;
    void add_gui(iGuiNode* in_gui) override;
    cRTProxy render_to_texture(int in_time_ms) override;
    bool leaves_glow() const override { return true; } // its glow, through finish_glow()
    // Both views drawn over the cloud as it stands (no step) and thrown away: the splats take
    // their sizes and every grading pass is drawn once.
    void warm_up() override;
    // "ifsconfig", "cur_config", "cur_anim" and "rot".
    tVarList get_vars() override;

    // The parameter preset `in_config` (0..2; 3 changes nothing).
    void apply_ifsconfig(int in_config);
    // The start values of animation preset `in_anim` (0..8; others stop the program).
    void init_anim(int in_anim);
    // One frame of drift of animation preset `in_anim` over `in_dt_ms`.
    void update_anim(int in_anim, float in_dt_ms);
    // The frame's cloud step: animation preset and drift, parameters, one block of points.
    void step_cloud();

    cPointCloud& cloud() { return *m_cloud; }
    cAttractorCalculator_pickover& calculator() { return *m_pickover; }
    int last_anim() const { return m_last_anim; }
    int last_ifsconfig() const { return m_last_ifsconfig; }

    // Attractor parameters a, b, c, d ("p0".."p3", -4..4).
    float p0 = -1.25962f, p1 = 0.519231f, p2 = 0.735577f, p3 = 1.55289f;
    float noise = 0.25f;                 // jitter; the calculator's scale is noise * 0.0001
    Vec3<float> col1{1.0f, 0.75f, 0.4f}; // point colour ("col1", 0..1)
    float a1 = 0.05f;                    // point alpha ("a1", 0..0.1)
    float a_kick = 0.0f;                 // extra alpha from the kick, eased back to 0
    float pts_size = 1.65625f;           // point size in pixels ("pts-size1", 0.25..10)
    int cur_config = 0;                  // 0: single graded view; 1: six-fold view
    int cur_anim = 1;                    // animation preset ("preset", 0..8)
    int ifsconfig = 0;                   // parameter preset ("ifsconfig", 0..3)
    float rot = 0.0f;                    // extra turn about the vertical axis, degrees
    float dist = 2.16992f;               // camera distance of the single view, 0.5..5
    Vec3<float> pos{0.0f, -0.5f, 0.0f};  // translation of the cloud
    float offset = 0.5f;                 // six-fold view: distance of a copy from the axis
    float fov6 = 40.0f;                  // six-fold view: field of view, degrees
    float hue = 0.0f;                    // hue offset of the single view, degrees
    Vec3<float> stored_pos[2] = {{0.0f, -0.5f, 0.0f}, {0.35f, 0.15f, -0.3f}};

    // Grading. Single view: hue shift (offset = `hue`, turning a full circle every four
    // seconds, with the hue also running along the brightness), then `hsb`, then the 2D
    // kaleidoscope of type `kaleido2d`, then `glow`. A preset's two "colour values" are the
    // glow's pre-cut and post-cut, its selector is the kaleidoscope type, and preset 2's extra
    // value is the saturation of `hsb`:
    //   0: mandala circle (7), pre-cut 250 / post-cut 70.8: a starburst of fine threads; only
    //      the saturated cores glow, hard, so the cloud sparks on each kick's flash;
    //   1: triple mirror (4), 121 / 193: a lace of hexagonal rings under a broad, even halo;
    //   2: mirror matrix (5), 0 / 255 and saturation +66.8: a grid of soft clouds, the whole
    //      picture blooming in deep, saturated colour.
    // Six-fold view: `glow6` alone, 250 / 255: a thin hot rim round the densest threads.
    hueshift_params hueshift{0.0f, 40.0f, 0.0f, 0.5f};
    hsb_params hsb{0.0f, 30.0f, 0.0f};
    int kaleido2d = 7;
    glow_params glow{cRenderTargetManager::RTT_QUATER, 250.0f, 70.8f};
    glow_params glow6{cRenderTargetManager::RTT_QUATER, 250.0f, 255.0f};

private:
    // The frame's picture of view `in_config` (cur_config's values), graded.
    cRTProxy draw_view(int in_config, float in_seconds);
    void draw_single_view(iRenderTarget& in_target, float in_seconds);
    // Adds the cloud, through the current GL matrices, to `io_splat` as soft discs whose
    // centre alpha is the point alpha times `in_gain`.
    void draw_points(cPointSplat& io_splat, float in_gain);
    // The splat in the point colour, written into `in_target` (which has the splat's size).
    void write_splat(iRenderTarget& in_target);
    void draw_sixfold_view(iRenderTarget& in_target, float in_seconds);
    // The six-fold view's camera and its first `in_copies` copies, each turned 60 degrees about
    // the copies' axis from the one before, into `io_splat`; the projection is the caller's.
    void draw_sixfold_copies(cPointSplat& io_splat, int in_copies, float in_seconds);
    // True when the six copies are turns of one copy about the line of sight (the eye on the
    // z axis looking at the origin, no extra turn about y): then one copy is drawn and turned
    // on screen five times, a sixth of the points' cost.
    bool sixfold_turns_on_screen() const;
    // The first copy into a target twice the picture's size (so turned copies keep their
    // corners), in the picture's own pixel scale.
    cRTProxy draw_sixfold_copy(const iRenderTarget& in_picture, float in_seconds);
    // Adds the copy six times into the bound picture, turned by 60 degrees each.
    void add_turned_copies(const iRenderTarget& in_picture, iRenderTarget& in_copy);
    cRTProxy grade_single_view(cRTProxy in_picture);
    cRTProxy grade_sixfold_view(cRTProxy in_picture);

    std::unique_ptr<cPointCloud> m_cloud;
    std::unique_ptr<cPointSplat> m_splat;      // the picture's size
    std::unique_ptr<cPointSplat> m_copy_splat; // the six-fold copy's (twice the picture's)
    float m_pixel_scale = 1.0f; // the picture's rows / 720: point sizes are for 1280x720

public:
    bool m_exact_sixfold = false; // draw all six copies as points (the slow, reference way)

private:
    cAttractorCalculator_pickover* m_pickover = nullptr; // owned by m_cloud
    int m_last_anim = -1;                                // animation preset this scene applied last
    int m_last_ifsconfig = -1;                           // parameter preset this scene applied last
    int m_last_config = -1;                              // the view update() saw last
    bool m_second_pos = false; // which stored position the last track-18 note chose
};
