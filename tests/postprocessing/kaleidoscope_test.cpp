// 2D kaleidoscope pass: type 0 copies, every mirror sheet covers the whole target and maps the
// picture as its name says, types past the last act as the last, the source's own size is
// sampled. Writes a PNG per type to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fsq.h"
#include "gl_extensions.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_manager.h"
#include "pass_helpers.h"
#include "postprocessing/kaleidoscope.h"
#include "render_target.h"
#include "render_target_manager.h"
#include "resource_path.h"
#include "support/gl_fixture.h"

namespace {

// The test picture: red grows to the right and green upwards (so a pixel tells where in the
// picture it came from), with a blue "F" in the lower left and a blue ring on the right, so
// mirror images show at a glance.
vnt_test::sPicture test_picture(int w, int h)
{
    vnt_test::sPicture pic(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float u = (float(x) + 0.5f) / float(w), v = (float(y) + 0.5f) / float(h);
            const bool stem = u > 0.12f && u < 0.17f && v > 0.15f && v < 0.6f;
            const bool top = u > 0.12f && u < 0.32f && v > 0.52f && v < 0.6f;
            const bool bar = u > 0.12f && u < 0.26f && v > 0.36f && v < 0.43f;
            const float dx = (u - 0.72f) * float(w) / float(h), dy = v - 0.62f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const bool ring = r > 0.12f && r < 0.17f;
            pic.rect(x, y, x + 1, y + 1,
                     {uint8_t(std::lround(255.0f * u)), uint8_t(std::lround(255.0f * v)),
                      uint8_t(stem || top || bar || ring ? 255 : 40), 255});
        }
    }
    return pic;
}

double fold(double t)
{
    const double m = std::fmod(std::fabs(t), 2.0);
    return m <= 1.0 ? m : 2.0 - m;
}

class KaleidoscopeTest : public vnt_test::GLTest
{
protected:
    void SetUp() override
    {
        vnt_test::GLTest::SetUp();
        m_source = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        m_out = get_tmp_rt(cRenderTargetManager::RTT_FULL);
        m_w = int(m_source->m_width);
        m_h = int(m_source->m_height);
        m_picture = test_picture(m_w, m_h).px;
        vnt_test::upload(*m_source, test_picture(m_w, m_h));
    }

    std::vector<unsigned char> run(uint8_t type)
    {
        cPostKaleidoscope::get_instance()->process(*m_source, *m_out, type);
        return vnt_test::download(*m_out).px;
    }

    // Red and green at output pixel (x, y) against the picture position (u, v) they should
    // come from; `tolerance` in steps of 1/255.
    void expect_from(const std::vector<unsigned char>& px, int x, int y, double u, double v,
                     int tolerance, const char* what)
    {
        const unsigned char* p = &px[(size_t(y) * size_t(m_w) + size_t(x)) * 4];
        EXPECT_TRUE(std::fabs(p[0] - 255.0 * u) <= tolerance &&
                    std::fabs(p[1] - 255.0 * v) <= tolerance)
            << what << " at " << x << "," << y << ": " << int(p[0]) << "," << int(p[1]) << " for "
            << u << "," << v;
    }

    // Sheet coordinate of an output pixel centre: the sheet spans 1.01 of the target.
    double sheet_x(int x) const { return (x + 0.5) / m_w / 1.01; }
    double sheet_z(int y) const { return (y + 0.5) / m_h / 1.01; }

    cRTProxy m_source;
    cRTProxy m_out;
    int m_w = 0, m_h = 0;
    std::vector<unsigned char> m_picture;
};

} // namespace

TEST_F(KaleidoscopeTest, TypeZeroCopiesAndEverySheetCoversTheTarget)
{
    EXPECT_TRUE(run(0) == m_picture);
    for (int type = 1; type <= 7; ++type) {
        const std::vector<unsigned char> px = run(uint8_t(type));
        vnt_test::write_png(("kaleidoscope_type_" + std::to_string(type) + ".png").c_str(), m_w,
                            m_h, px);
        size_t holes = 0;
        for (size_t i = 3; i < px.size(); i += 4)
            holes += px[i] != 255;
        EXPECT_EQ(holes, 0u) << "type " << type;
    }
    // Types past the last act as the last.
    const std::vector<unsigned char> last = run(7);
    for (int type : {8, 100, 255})
        EXPECT_TRUE(run(uint8_t(type)) == last) << type;
}

TEST_F(KaleidoscopeTest, SheetsMapThePictureAsNamed)
{
    // Sample points a little away from the fold lines, where the mapping is smooth.
    const double fractions[] = {0.05, 0.2, 0.3, 0.42, 0.58, 0.7, 0.8, 0.95};
    const std::vector<unsigned char> cylinder = run(1);
    const std::vector<unsigned char> hz = run(2);
    const std::vector<unsigned char> dual = run(3);
    const std::vector<unsigned char> matrix = run(5);
    for (double fx : fractions) {
        for (double fy : fractions) {
            const int x = int(fx * m_w), y = int(fy * m_h);
            const double xs = sheet_x(x), zs = sheet_z(y);
            expect_from(cylinder, x, y, 0.5 - 0.5 * std::cos(2.0 * M_PI * xs), zs, 4, "cylinder");
            expect_from(hz, x, y, 0.5 * fold(2.0 * xs), zs, 2, "horizontal mirror");
            expect_from(dual, x, y, 0.5 * fold(2.0 * xs), 0.5 * fold(2.0 * zs), 2, "dual");
            if (std::fabs(std::remainder(3.0 * xs, 1.0)) > 0.02 &&
                std::fabs(std::remainder(3.0 * zs, 1.0)) > 0.02)
                expect_from(matrix, x, y, fold(3.0 * xs), fold(3.0 * zs), 2, "matrix");
        }
    }
    // The mandala and the circular repeat are symmetric about the centre of the sheet (which
    // the 1.01 overlap moves to 0.505 of the target): a half-turn maps the mandala's sixteen
    // slices and the repeat's eight onto themselves.
    for (int type : {6, 7}) {
        const std::vector<unsigned char> px = run(uint8_t(type));
        const double cx = 1.01 * m_w / 2.0, cy = 1.01 * m_h / 2.0;
        int differ = 0;
        // Offsets chosen so no sample sits on a slice border (the axes and diagonals).
        for (int dy = -189; dy <= 200; dy += 40) {
            for (int dx = -289; dx <= 300; dx += 40) {
                const int x = int(cx) + dx, y = int(cy) + dy;
                const int mx = int(std::lround(2.0 * cx - x - 1.0));
                const int my = int(std::lround(2.0 * cy - y - 1.0));
                const unsigned char* a = &px[(size_t(y) * size_t(m_w) + size_t(x)) * 4];
                const unsigned char* b = &px[(size_t(my) * size_t(m_w) + size_t(mx)) * 4];
                differ +=
                    std::abs(int(a[0]) - int(b[0])) > 12 || std::abs(int(a[1]) - int(b[1])) > 12;
            }
        }
        EXPECT_EQ(differ, 0) << "type " << type;
    }
}

TEST_F(KaleidoscopeTest, AHalfSizeSourceIsSampledWhole)
{
    cRTProxy half = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    const int hw = int(half->m_width), hh = int(half->m_height);
    vnt_test::upload(*half, test_picture(hw, hh));
    cPostKaleidoscope::get_instance()->process(*half, *m_out, 3);
    const std::vector<unsigned char> px = vnt_test::download(*m_out).px;
    for (double f : {0.1, 0.3, 0.45, 0.7, 0.9}) {
        const int x = int(f * m_w), y = int((1.0 - f) * m_h);
        expect_from(px, x, y, 0.5 * fold(2.0 * sheet_x(x)), 0.5 * fold(2.0 * sheet_z(y)), 3,
                    "half-size dual");
    }
}

// The sheets of many cells are read through a fold map; drawing the sheet itself, triangle by
// triangle, must give the very same pixels, into targets of either size.
TEST_F(KaleidoscopeTest, FoldMapsGiveTheSheetsOwnPixels)
{
    auto drawn_sheet = [&](iRenderTarget& target, int type) {
        iMesh* sheet = cMeshManager::get_instance()->get(
            cResourcePath::get_instance()->get_fullpath(cPostKaleidoscope::mirror_files[type - 1]),
            true, true, false);
        glClearColor(0, 0, 0, 0);
        target.bind_as_target(true);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glScalef(float(m_w), float(m_h), 1.0f);
        glMatrixMode(GL_MODELVIEW);
        begin_fsq();
        m_source->bind_as_texture(GL_TEXTURE0);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        glScalef(1.01f, 1.01f, 1.01f);
        sheet->draw();
        m_source->unbind_as_texture();
        end_fsq();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        target.unbind_as_target();
        return vnt_test::download(target).px;
    };
    cPostKaleidoscope* pass = cPostKaleidoscope::get_instance();
    cRTProxy half = get_tmp_rt(cRenderTargetManager::RTT_HALF);
    for (int type : {6, 7}) {
        EXPECT_TRUE(run(uint8_t(type)) == drawn_sheet(*m_out, type)) << type;
        pass->process(*m_source, *half, uint8_t(type));
        EXPECT_TRUE(vnt_test::download(*half).px == drawn_sheet(*half, type)) << type;
    }
    // Made once for each sheet and size, a few kept.
    const size_t maps = pass->fold_map_count();
    EXPECT_GE(maps, 2u);
    EXPECT_LE(maps, cPostKaleidoscope::MAX_FOLD_MAPS);
    run(7);
    EXPECT_EQ(pass->fold_map_count(), maps);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
