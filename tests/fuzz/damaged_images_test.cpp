// Damaged copies of the demo's own pictures (emptied, cut after the header, cut in half, bytes
// flipped, one format under the other's name) go through the texture manager: each becomes a
// picture or the white placeholder, never a crash, and leaves no OpenGL error behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "gl_extensions.h"
#include "resource_path.h"
#include "support/gl_fixture.h"
#include "support/process.h"
#include "support/test_media.h"
#include "texture_manager.h"

namespace fs = std::filesystem;

namespace {

using tBytes = std::vector<char>;

tBytes read_bytes(const fs::path& in_path)
{
    const std::string bytes = vnt_test::read_file(in_path.string());
    return tBytes(bytes.begin(), bytes.end());
}

// The two smallest pictures of a kind among the generated textures.
std::vector<fs::path> smallest(const fs::path& in_dir, const std::string& in_ext)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(in_dir, ec))
        if (entry.is_regular_file() && entry.path().extension() == in_ext)
            out.push_back(entry.path());
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) {
        return fs::file_size(a) < fs::file_size(b);
    });
    out.resize(std::min<size_t>(out.size(), 2));
    return out;
}

struct sDamage
{
    std::string name;
    tBytes bytes;
    bool decodable; // false: nothing of the picture is left
};

std::vector<sDamage> damaged(const tBytes& in, const tBytes& in_other_kind)
{
    tBytes flipped = in;
    for (size_t i = 64; i < flipped.size(); i += 97)
        flipped[i] = char(flipped[i] ^ 0x5a);
    return {{"empty", {}, false},
            {"header", tBytes(in.begin(), in.begin() + std::min<size_t>(in.size(), 24)), false},
            {"half", tBytes(in.begin(), in.begin() + ptrdiff_t(in.size() / 2)), true},
            {"flipped", flipped, true},
            {"otherkind", in_other_kind, true}};
}

using DamagedImages = vnt_test::GLTest;

} // namespace

TEST_F(DamagedImages, BecomePicturesOrThePlaceholder)
{
    const fs::path textures = fs::path(VANTOR_SOURCE_DIR) / "data" / "textures";
    const std::vector<fs::path> png = smallest(textures, ".png");
    const std::vector<fs::path> jpg = smallest(textures, ".jpg");
    if (png.empty() || jpg.empty())
        GTEST_SKIP() << "no generated pictures in " << textures.string();

    const std::string dir = vnt_test::temp_dir("damaged_images");
    cResourcePath::get_instance()->push_searchpath(dir);
    int loaded = 0;
    for (const std::vector<fs::path>* kind : {&png, &jpg}) {
        const tBytes other = read_bytes(kind == &png ? jpg.front() : png.front());
        for (const fs::path& source : *kind) {
            for (const sDamage& d : damaged(read_bytes(source), other)) {
                const std::string name =
                    d.name + "_" + source.stem().string() + source.extension().string();
                std::ofstream(fs::path(dir) / name, std::ios::binary)
                    .write(d.bytes.data(), std::streamsize(d.bytes.size()));

                cTexProxy p;
                const std::string err = vnt_test::stderr_of([&] {
                    p = cTextureManager::get_instance()->get_texture(name, true, GL_REPEAT, 0);
                });
                ASSERT_TRUE(p.isValid()) << name;
                EXPECT_TRUE(p.get_width() >= 1u && p.get_height() >= 1u) << name;
                EXPECT_EQ(err.find("## ERROR: OpenGL"), std::string::npos) << name << ": " << err;
                if (!d.decodable)
                    EXPECT_NE(err.find("placeholder"), std::string::npos) << name << ": " << err;
                // The texture binds and draws like any other.
                p.bind(GL_TEXTURE0);
                glBegin(GL_QUADS);
                for (auto [u, v] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                    glTexCoord2f(float(u), float(v));
                    glVertex2f(float(2 * u - 1), float(2 * v - 1));
                }
                glEnd();
                p.unbind();
                EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << name;
                ++loaded;
            }
        }
    }
    EXPECT_EQ(loaded, 5 * int(png.size() + jpg.size()));
}
