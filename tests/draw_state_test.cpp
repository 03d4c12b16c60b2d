// The drawing state a scene declares: on while the scene draws, whatever the state before, and
// the state before given back afterwards.
#include <gtest/gtest.h>

#include <vector>

#include "draw_state.h"
#include "gl_extensions.h"
#include "render_target.h"
#include "scene.h"
#include "support/gl_fixture.h"

namespace {

const GLenum CAPS[] = {
    GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND,      GL_LIGHTING,   GL_COLOR_MATERIAL,
    GL_NORMALIZE,  GL_FOG,       GL_TEXTURE_2D, GL_TEXTURE_1D, GL_TEXTURE_RECTANGLE_ARB,
    GL_ALPHA_TEST, GL_LIGHT0};

// What a scene finds while it draws.
struct sSeen
{
    std::vector<bool> enabled; // CAPS, in order
    GLboolean depth_write = GL_FALSE;
    GLint depth_func = 0, cull_face = 0, blend[4] = {}, attrib_depth = 0;
    GLfloat ambient[4] = {}, fog_start = 0, fog_end = 0;
};

sSeen see()
{
    sSeen seen;
    for (GLenum cap : CAPS)
        seen.enabled.push_back(glIsEnabled(cap) == GL_TRUE);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &seen.depth_write);
    glGetIntegerv(GL_DEPTH_FUNC, &seen.depth_func);
    glGetIntegerv(GL_CULL_FACE_MODE, &seen.cull_face);
    glGetIntegerv(GL_BLEND_SRC_RGB, &seen.blend[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &seen.blend[1]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &seen.blend[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &seen.blend[3]);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &seen.attrib_depth);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, seen.ambient);
    glGetFloatv(GL_FOG_START, &seen.fog_start);
    glGetFloatv(GL_FOG_END, &seen.fog_end);
    return seen;
}

// Records what it finds between the beginning and the end of its drawing; its own init() turns
// on a light.
class cProbeScene : public cScene
{
public:
    explicit cProbeScene(const sDrawState& in_state) : cScene(nullptr) { m_draw_state = in_state; }
    std::string get_name() const override { return "probe"; }
    void load() override {}
    void handle_event(cEvent*) override {}
    bool update() override { return false; }
    cRTProxy render_to_texture(int) override
    {
        begin_drawing();
        begin_drawing(); // already begun: saves nothing more
        m_seen = see();
        if (m_ends) {
            end_drawing();
            end_drawing(); // nothing left to give back
        }
        return cRTProxy();
    }
    void init() override
    {
        ++m_inits;
        glEnable(GL_LIGHT0);
    }

    sSeen m_seen;
    int m_inits = 0;
    bool m_ends = true; // false: returns without ending its drawing
};

// Everything the baseline sets, set otherwise.
void upset_state()
{
    for (GLenum cap : CAPS)
        glEnable(cap);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_GREATER);
    glCullFace(GL_FRONT);
    glBlendFunc(GL_ONE, GL_ONE);
    const GLfloat red[4] = {1, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, red);
    glFogf(GL_FOG_START, 50.0f);
    glFogf(GL_FOG_END, 60.0f);
}

using DrawStateTest = vnt_test::GLTest;

TEST_F(DrawStateTest, SceneDrawsWithItsDeclaredStateAndGivesBackTheStateBefore)
{
    const GLfloat ambient[4] = {0.5f, 0.25f, 0.125f, 1};
    const GLfloat haze[4] = {0.1f, 0.2f, 0.3f, 1};
    const sDrawState full = sDrawState()
                                .with_depth_test()
                                .with_depth_writes()
                                .with_culling()
                                .with_blending(GL_ONE, GL_ONE_MINUS_SRC_COLOR, GL_ZERO, GL_ONE)
                                .with_lighting()
                                .with_ambient(ambient)
                                .with_colour_material()
                                .with_normalize()
                                .with_fog(2.0f, 9.0f, haze)
                                .with_texture_2d();
    struct sCase
    {
        sDrawState declared;
        std::vector<bool> enabled;
        GLint blend[4];
        GLfloat ambient0;
        bool ends;
    };
    const sCase cases[] = {
        // Nothing declared: all off but the scene's own light, the engine's blend and ambient.
        {sDrawState(),
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
         0.1f,
         true},
        {full,
         {1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1},
         {GL_ONE, GL_ONE_MINUS_SRC_COLOR, GL_ZERO, GL_ONE},
         0.5f,
         false}, // render() ends the drawing the scene left open
    };
    for (const sCase& c : cases) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        upset_state();
        const std::string before = vnt_test::frame_state();
        GLint depth_before = 0;
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth_before);
        cProbeScene scene(c.declared);
        scene.m_ends = c.ends;
        scene.render(0);
        EXPECT_EQ(scene.m_inits, 1);
        const sSeen& seen = scene.m_seen;
        EXPECT_EQ(seen.enabled, c.enabled);
        EXPECT_EQ(seen.depth_write, c.declared.depth_write ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(seen.depth_func, GL_LEQUAL);
        EXPECT_EQ(seen.cull_face, GL_BACK);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(seen.blend[i], c.blend[i]) << i;
        EXPECT_FLOAT_EQ(seen.ambient[0], c.ambient0);
        if (c.declared.fog) {
            EXPECT_FLOAT_EQ(seen.fog_start, 2.0f);
            EXPECT_FLOAT_EQ(seen.fog_end, 9.0f);
        }
        EXPECT_EQ(seen.attrib_depth, depth_before + 1); // saved once
        EXPECT_EQ(vnt_test::frame_state(), before);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glPopAttrib();
    }
}

} // namespace
