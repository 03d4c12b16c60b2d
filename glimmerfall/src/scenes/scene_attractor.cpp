// Attractor scene (see scene_attractor.h).
#include "scenes/scene_attractor.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <cassert>
#include <iostream>

#include "clock.h"
#include "effects/interpolator.h"
#include "effects/var.h"
#include "event_queue.h"
#include "fsq.h"
#include "gl_extensions.h"
#include "gui/slider_entries.h"
#include "math/defmath.h"
#include "postprocessing/kaleidoscope.h"
#include "render_target.h"
#include "scenes/attractor_calculator.h"
#include "scenes/attractor_grade.h"
#include "scenes/point_cloud.h"
#include "scenes/point_splat.h"
#include "shader_manager_glsl.h"
#include "shaders/shd_plain.h"

namespace {

// Each point is a soft disc added onto the picture: where the threads of the cloud crowd, the
// discs overlap and the light builds up into a glow. The discs are added up on the CPU
// (cPointSplat): GL points, smoothed or as sprites, are the slowest path of software
// rasterisers.
constexpr float SPRITE_SCALE = 3.0f;  // disc diameter per unit of pts_size, at 720 rows
constexpr float SPRITE_GAIN = 6.0f;   // centre alpha per unit of the point alpha
constexpr float SIXFOLD_GAIN = 0.15f; // the six copies overlap: less light each, or they clip
constexpr const char* TURN_SHADER = "sixfold_turn_shader";

// The six turns of the six-fold view's copy in one pass (see add_turned_copies()).
class cShdSixfoldTurn : public cShdPlain
{
public:
    cShdSixfoldTurn(void* const* in_context, const int& in_vprof, const int& in_fprof)
        : cShdPlain(in_context, in_vprof, in_fprof, "tex01_vert.glsl", "sixfold_turn_frag.glsl",
                    {{"copy", 0}})
    {
    }
};

void set_params(cSceneAttractor& s, float a, float b, float c, float d)
{
    s.p0 = a;
    s.p1 = b;
    s.p2 = c;
    s.p3 = d;
}

// value += rate per second; back to `reset` once past `limit` (upwards for a positive rate,
// downwards for a negative one).
void drift(float& value, float in_dt_ms, float rate, float limit, float reset)
{
    value += in_dt_ms / 1000.0f * rate;
    if (rate > 0 ? value > limit : value < limit)
        value = reset;
}

} // namespace

cSceneAttractor::cSceneAttractor(const cClock* in_clock) : cScene(in_clock)
{
    // Light adds up; nothing hides it.
    m_draw_state = sDrawState().with_blending(GL_SRC_ALPHA, GL_ONE);
    auto calculator = std::make_unique<cAttractorCalculator_pickover>();
    m_pickover = calculator.get();
    m_cloud = std::make_unique<cPointCloud>(NUM_POINTS, POINTS_PER_FRAME, std::move(calculator));
    m_splat = std::make_unique<cPointSplat>();
    m_copy_splat = std::make_unique<cPointSplat>();
    m_camera.eye = Vec3<float>(0.0f, 0.0f, 7.5f);
    m_camera.ctr = Vec3<float>(0.0f, 0.0f, 0.0f);
    m_camera.up = Vec3<float>(0.0f, 1.0f, 0.0f);
}

cSceneAttractor::~cSceneAttractor() = default;

void cSceneAttractor::load()
{
    cPostKaleidoscope::get_instance();
    cPostGlow::get_instance();
    cShaderManager_GLSL::get_instance()->add_shader<cShdSixfoldTurn>(TURN_SHADER);
    // The six-fold view's double-size copy comes from the pool: have one there before the show.
    cRTProxy warm = get_tmp_rt(cRenderTargetManager::RTT_DOUBLE);
}

void cSceneAttractor::init()
{
    glClearColor(0.05f, 0.05f, 0.05f, 0.0f);
}

bool cSceneAttractor::update()
{
    update_interpolators();
    // Back from the six-fold view, whose animation presets tune the points for six copies and
    // its own grading: the single view takes its parameter preset again, so it closes the
    // show as bright as it opened it.
    if (cur_config == 0 && m_last_config == 1)
        m_last_ifsconfig = -1;
    m_last_config = cur_config;
    if (ifsconfig != m_last_ifsconfig) {
        m_last_ifsconfig = ifsconfig;
        apply_ifsconfig(ifsconfig);
    }
    return false;
}

void cSceneAttractor::apply_ifsconfig(int in_config)
{
    switch (in_config) {
    case 0:
        set_params(*this, -1.25962f, 0.519231f, 0.735577f, 1.55289f);
        a1 = 0.1f;
        pts_size = 1.65625f;
        glow.precut = 250.0f;
        glow.postcut = 70.8f;
        cur_anim = 1;
        kaleido2d = 7;
        dist = 2.16992f;
        break;
    case 1:
        set_params(*this, -1.47596f, -3.3149f, -3.23077f, 0.155048f);
        a1 = 0.0537861f;
        glow.precut = 121.064f;
        glow.postcut = 192.706f;
        cur_anim = 6;
        kaleido2d = 4;
        dist = 3.103591f;
        break;
    case 2:
        a1 = 0.1f;
        glow.precut = 0.0f;
        glow.postcut = 255.0f;
        hsb.saturation = 66.7668f;
        cur_anim = 8;
        kaleido2d = 5;
        dist = 3.5f;
        break;
    case 3:
        break;
    default:
        std::cerr << "## ERROR, unhandled case in " << __FILE__ << ", line: " << __LINE__
                  << std::endl;
        break;
    }
}

void cSceneAttractor::init_anim(int in_anim)
{
    switch (in_anim) {
    case 0:
        set_params(*this, 2.75f, 0.806471f, 1.1f, 1.33f);
        noise = 0.33f;
        a1 = 0.015f;
        dist = 1.5f;
        pos = Vec3<float>(0.44f, 0.5f, 0.44f);
        break;
    case 1:
        set_params(*this, -0.887019f, 0.519231f, 0.735577f, 1.55289f);
        noise = 0.33f;
        a1 = 0.03f;
        dist = 4.4f;
        pos = Vec3<float>(-0.11f, 0.2f, -0.17f);
        offset = 1.4f;
        break;
    case 2:
        set_params(*this, 1.0f, 0.284401f, 0.71f, 1.51f);
        noise = 0.33f;
        dist = 2.6f;
        pos = Vec3<float>(0.49f, 0.4f, 0.14f);
        offset = 0.65f;
        break;
    case 3:
        set_params(*this, -1.45853f, -2.28769f, -2.49519f, 0.822116f);
        noise = 0.33f;
        a1 = 0.0537861f;
        dist = 3.2f;
        pos = Vec3<float>(-0.71f, 0.6f, -0.13f);
        offset = 1.4f;
        break;
    case 4:
        set_params(*this, 1.77394f, 1.8f, 0.71f, 1.51f);
        noise = 0.33f;
        a1 = 0.0537861f;
        dist = 1.5f;
        pos = Vec3<float>(0.5f, 0.4f, 0.5f);
        offset = 0.42f;
        break;
    case 5:
        set_params(*this, -1.99f, -1.63f, 0.44f, 1.49f);
        noise = 0.33f;
        a1 = 0.0537861f;
        dist = 1.4f;
        pos = Vec3<float>(-0.49f, 0.56f, -0.41f);
        offset = 0.75f;
        break;
    case 6:
        set_params(*this, -1.63882f, -2.22476f, -2.80168f, 0.155048f);
        noise = 0.33f;
        a1 = 0.0537861f;
        dist = 2.5f;
        pos = Vec3<float>(-0.84f, 0.59f, -0.63f);
        offset = 1.5f;
        break;
    case 7:
        set_params(*this, 1.0f, 1.8f, 0.71f, 1.49017f);
        noise = 0.33f;
        a1 = 0.0537861f;
        dist = 1.55f;
        pos = Vec3<float>(0.3f, 0.45f, 0.3f);
        offset = 0.55f;
        break;
    case 8:
        set_params(*this, 1.0f, 1.8f, 1.04485f, 1.54f);
        noise = 0.6f;
        a1 = 0.03f;
        dist = 3.5f;
        pos = Vec3<float>(0.14f, 0.5f, 0.27f);
        offset = 0.87f;
        break;
    default:
        assert(0 && "non-existing anim inited");
        return;
    }
    pts_size = 1.65625f;
}

void cSceneAttractor::update_anim(int in_anim, float in_dt_ms)
{
    switch (in_anim) {
    case 0:
        drift(p1, in_dt_ms, 0.015f, 0.9f, 0.7f);
        offset = 0.5f;
        break;
    case 1:
        drift(p0, in_dt_ms, -0.3f, -3.03846f, -0.887019f);
        break;
    case 2:
        drift(p1, in_dt_ms, 0.045f, 1.9f, 0.25f);
        break;
    case 3:
        drift(p3, in_dt_ms, 0.045f, 1.13f, 0.822f);
        break;
    case 4:
        drift(p0, in_dt_ms, 0.1f, 2.0f, 1.773f);
        break;
    case 5:
        drift(p1, in_dt_ms, 0.2f, -1.19f, -1.63f);
        break;
    case 6:
        drift(p2, in_dt_ms, -0.05f, -2.85577f, -2.22476f);
        drift(p3, in_dt_ms, 0.05f, 1.09255f, 0.155048f);
        break;
    case 7:
        drift(p3, in_dt_ms, 0.006f, 1.54f, 1.485f);
        break;
    case 8:
        drift(p2, in_dt_ms, 0.09f, 1.85f, 0.6f);
        break;
    default:
        assert(0 && "non-existing anim updated");
        break;
    }
}

void cSceneAttractor::step_cloud()
{
    if (cur_anim != m_last_anim) {
        m_last_anim = cur_anim;
        init_anim(cur_anim);
    }
    if (cur_config == 1) {
        // The clock reads a zero step while paused, so the drift stands still.
        const int dt = m_clock ? m_clock->delta() : 0;
        update_anim(cur_anim, float(dt > 0 ? dt : 0));
    }
    cPointCloud& cloud = *m_cloud;
    cloud.m_params[0] = p0;
    cloud.m_params[1] = p1;
    cloud.m_params[2] = p2;
    cloud.m_params[3] = p3;
    m_pickover->noise_scale = double(noise) * 0.0001;
    cloud.step();
}

void cSceneAttractor::handle_event(cEvent* in_event)
{
    if (!in_event)
        return;
    const int t = in_event->m_time >= 0 ? in_event->m_time : demo_time();
    if (cur_config == 0) {
        if (is_note_on(in_event, 2))
            add_interpolator(new cSmoothStep<float>(&a_kick, t, t + 350, 0.06f, 0.0f));
    } else if (cur_config == 1) {
        if (is_note_on(in_event, 1, 48)) {
            cur_anim = (cur_anim + 1) % NUM_ANIMS;
            add_interpolator(new cEaseIn<float>(&fov6, t, t + 1000, 160.0f, 40.0f));
        } else if (is_note_on(in_event, 18)) {
            m_second_pos = !m_second_pos;
            pos = stored_pos[m_second_pos ? 1 : 0];
        }
    }
}

cRTProxy cSceneAttractor::render_to_texture(int in_time_ms)
{
    begin_drawing();
    step_cloud();
    cRTProxy result = draw_view(cur_config, float(in_time_ms) / 1000.0f);
    end_drawing();
    return result;
}

void cSceneAttractor::warm_up()
{
    const float hue_before = hue, hueshift_before = hueshift.hue;
    begin_drawing();
    for (int config : {0, 1})
        cRTProxy picture = draw_view(config, 0.0f);
    end_drawing();
    hue = hue_before;
    hueshift.hue = hueshift_before;
}

cRTProxy cSceneAttractor::draw_view(int in_config, float in_seconds)
{
    cRTProxy picture = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    m_pixel_scale = float(picture->m_height) / 720.0f;
    // Light added onto opaque black: the layer's colour is its whole picture. The discs are
    // added up on the CPU and the sum written into the target; the turned copies of the
    // six-fold view cover every pixel of the picture.
    if (in_config == 1 && sixfold_turns_on_screen()) {
        cRTProxy copy = draw_sixfold_copy(*picture, in_seconds);
        picture->bind_as_target(false);
        add_turned_copies(*picture, *copy);
        picture->unbind_as_target();
    } else {
        m_splat->clear(int(picture->m_width), int(picture->m_height));
        if (in_config == 1) {
            draw_sixfold_view(*picture, in_seconds);
            write_splat(*picture);
        } else {
            draw_single_view(*picture, in_seconds);
            // The grading is a tone for each weight: the splat is packed graded.
            hue = in_seconds * 90.0f;
            hueshift.hue = hue;
            const float colour[3] = {col1.x, col1.y, col1.z};
            const sToneTable table = grade_tones(colour, hueshift, hsb);
            picture->write_pixels(m_splat->pack(table.tones, table.step).data());
        }
    }

    return in_config == 1 ? grade_sixfold_view(std::move(picture))
                          : grade_single_view(std::move(picture));
}

void cSceneAttractor::draw_single_view(iRenderTarget& in_target, float in_seconds)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, double(in_target.m_width) / double(in_target.m_height), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, dist, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(in_seconds * 10.0f + rot, 0.0f, 1.0f, 0.0f);
    glTranslatef(pos.x, pos.y, pos.z);
    draw_points(*m_splat, 1.0f);
}

void cSceneAttractor::draw_points(cPointSplat& io_splat, float in_gain)
{
    // The cloud through the matrices set up as for GL points; the diameter and the clamped
    // centre alpha are those a point sprite of the current size and colour would have.
    float projection[16], modelview[16], mvp[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += projection[k * 4 + row] * modelview[col * 4 + k];
            mvp[col * 4 + row] = sum;
        }
    const float diameter = std::max(pts_size * SPRITE_SCALE * m_pixel_scale, 1.0f);
    const float alpha = std::clamp((a1 + a_kick) * SPRITE_GAIN * in_gain, 0.0f, 1.0f);
    io_splat.add(m_cloud->points(), m_cloud->filled(), mvp, diameter, alpha);
}

void cSceneAttractor::write_splat(iRenderTarget& in_target)
{
    const float colour[3] = {col1.x, col1.y, col1.z};
    in_target.write_pixels(m_splat->pack(colour).data());
}

void cSceneAttractor::draw_sixfold_view(iRenderTarget& in_target, float in_seconds)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov6, double(in_target.m_width) / double(in_target.m_height), 0.1, 100.0);
    draw_sixfold_copies(*m_splat, 6, in_seconds);
}

void cSceneAttractor::draw_sixfold_copies(cPointSplat& io_splat, int in_copies, float in_seconds)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(in_seconds * 10.0f, 0.0f, 0.0f, -1.0f);
    const sCamera& cam = m_camera;
    gluLookAt(cam.eye.x, cam.eye.y, cam.eye.z, 0.0, 0.0, 0.0, cam.up.x, cam.up.y, cam.up.z);
    glRotatef(rot + 90.0f, 0.0f, 1.0f, 0.0f);
    for (int i = 0; i < in_copies; ++i) {
        glPushMatrix();
        glRotatef(float(i) * 60.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, offset);
        glScalef(0.4f, 1.0f, 1.0f);
        glTranslatef(pos.x, pos.y, pos.z);
        draw_points(io_splat, SIXFOLD_GAIN);
        glPopMatrix();
    }
}

bool cSceneAttractor::sixfold_turns_on_screen() const
{
    // Ry(rot + 90) lays the copies' x axis along -z, the line of sight of an eye on the z axis.
    const sCamera& cam = m_camera;
    return !m_exact_sixfold && rot == 0.0f && cam.eye.x == 0.0f && cam.eye.y == 0.0f &&
           cam.eye.z > 0.0f && cam.up.z == 0.0f;
}

cRTProxy cSceneAttractor::draw_sixfold_copy(const iRenderTarget& in_picture, float in_seconds)
{
    cRTProxy copy = get_tmp_rt(cRenderTargetManager::RTT_DOUBLE);
    m_copy_splat->clear(int(copy->m_width), int(copy->m_height));
    // The picture's frustum widened to the copy's size: one pixel of the copy is one of the
    // picture, around the same centre.
    const double top = 0.1 * std::tan(double(fov6) * vnt::PI / 360.0);
    const double right = top * double(in_picture.m_width) / double(in_picture.m_height);
    const double grow_x = double(copy->m_width) / double(in_picture.m_width);
    const double grow_y = double(copy->m_height) / double(in_picture.m_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-right * grow_x, right * grow_x, -top * grow_y, top * grow_y, 0.1, 100.0);
    draw_sixfold_copies(*m_copy_splat, 1, in_seconds);
    // The turns read the copy within half the picture's diagonal of its centre (and a texel
    // more, filtering): only that band of columns is written, the rest is never read.
    const float reach =
        0.5f * std::hypot(float(in_picture.m_width), float(in_picture.m_height)) + 2.0f;
    const float centre = 0.5f * float(copy->m_width);
    const int first = std::max(int(std::floor(centre - reach)), 0);
    const int last = std::min(int(std::ceil(centre + reach)), int(copy->m_width));
    const float colour[3] = {col1.x, col1.y, col1.z};
    copy->write_columns(m_copy_splat->pack(colour).data(), uint32_t(first), uint32_t(last - first));
    return copy;
}

void cSceneAttractor::add_turned_copies(const iRenderTarget& in_picture, iRenderTarget& in_copy)
{
    // One pass adds the six turns of the copy (sixfold_turn shader), as six textured quads
    // added onto opaque black would, for the price of one full-screen pass instead of six.
    // The sum of the six turns looks the same turned by 180 degrees, which takes each pixel
    // centre to another: the pass fills the upper half and the lower half is the upper one
    // copied upside down and mirrored.
    const int width = int(in_picture.m_width), height = int(in_picture.m_height);
    const float w = float(width), h = float(height);
    const float lower = float(height / 2) / h; // the rows the pass starts at
    const float cw = float(in_copy.m_width), ch = float(in_copy.m_height);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    begin_fsq();
    in_copy.bind_as_texture(GL_TEXTURE0);
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->bind(TURN_SHADER);
    const float corners[4][2] = {{0, lower}, {1, lower}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glMultiTexCoord2fARB(GL_TEXTURE0, (c[0] - 0.5f) * w, (c[1] - 0.5f) * h);
        glMultiTexCoord2fARB(GL_TEXTURE1, cw * 0.5f, ch * 0.5f);
        glVertex2f(c[0], c[1]);
    }
    glEnd();
    shaders->disable();
    in_copy.unbind_as_texture();
    end_fsq();
    glPopAttrib();
    // Row j takes row height - 1 - j, column i column width - 1 - i; the two halves do not
    // overlap (an odd middle row was drawn and stays).
    glBlitFramebuffer(0, height - height / 2, width, height, width, height / 2, 0, 0,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

cRTProxy cSceneAttractor::grade_single_view(cRTProxy in_picture)
{
    // The picture comes graded (the hue shift, then the hue-saturation-brightness adjustment):
    // the kaleidoscope, then the glow.
    cRTProxy other = get_tmp_rt(cRenderTargetManager::RTT_FULL);
    const int type = kaleido2d < 0 ? 0 : kaleido2d > 255 ? 255 : kaleido2d;
    cPostKaleidoscope::get_instance()->process(*in_picture, *other, uint8_t(type));
    return finish_glow(std::move(other), glow);
}

cRTProxy cSceneAttractor::grade_sixfold_view(cRTProxy in_picture)
{
    return finish_glow(std::move(in_picture), glow6);
}

void cSceneAttractor::add_gui(iGuiNode* in_gui)
{
    add_slider(in_gui, "cur_config", &cur_config, 0, 1);
    add_slider(in_gui, "ifsconfig", &ifsconfig, 0, 3);
    add_slider(in_gui, "offset", &offset, 0, 5);
    add_slider(in_gui, "p0", &p0, -4, 4);
    add_slider(in_gui, "p1", &p1, -4, 4);
    add_slider(in_gui, "p2", &p2, -4, 4);
    add_slider(in_gui, "p3", &p3, -4, 4);
    add_vec3_slider(in_gui, "col1", &col1, 0, 1);
    add_slider(in_gui, "a1", &a1, 0, 0.1f);
    add_slider(in_gui, "pts-size1", &pts_size, 0.25f, 10);
    // The grading blocks: single view in pass order, then the six-fold view's glow.
    tParamSliders grading = sliders(hueshift);
    for (const tParamSliders& block : {sliders(hsb), sliders(glow)})
        grading.insert(grading.end(), block.begin(), block.end());
    for (sParamSlider entry : sliders(glow6)) {
        entry.name = "six-fold " + entry.name;
        grading.push_back(entry);
    }
    add_sliders(in_gui, grading);
    add_slider(in_gui, "preset", &cur_anim, 0, NUM_ANIMS - 1);
    add_slider(in_gui, "rot", &rot, 0, 360);
    add_slider(in_gui, "dist", &dist, 0.5f, 5);
    add_slider(in_gui, "kaleido2d", &kaleido2d, 0,
               float(cPostKaleidoscope::get_instance()->mesh_count()));
}

tVarList cSceneAttractor::get_vars()
{
    tVarList vars;
    add_slider(vars, "ifsconfig", &ifsconfig, 0, 3);
    add_slider(vars, "cur_config", &cur_config, 0, 1);
    add_slider(vars, "cur_anim", &cur_anim, 0, NUM_ANIMS - 1);
    add_slider(vars, "rot", &rot, 0, 360);
    return vars;
}
