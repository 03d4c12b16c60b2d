// The shape builder of the cave and sculpture content: a mesh built through a transform that
// flattens or mirrors it (normals and windings no longer agree) is refused, not written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "mesh_builder.h"

namespace {

TEST(ShapeBuilder, SingularOrMirroringTransformsAreRefusedAtSave)
{
    const std::string path = "/tmp/vnt_shapes_" + std::to_string(getpid()) + ".bzobj";
    const float white[4] = {1, 1, 1, 1};
    const content::sXform transforms[] = {
        content::sXform::scale(1, 1, -1),
        content::sXform::scale(2, 0, 1),
        content::sXform::rotate(30, content::vec(0, 1, 0)) * content::sXform::scale(0.5),
    };
    for (const content::sXform& x : transforms) {
        content::cShapeBuilder b;
        b.begin_material(content::make_material("m", "", white));
        b.push(x);
        b.box(content::vec(-1, -1, -1), content::vec(1, 1, 1));
        b.pop();
        std::string error;
        const bool turned_inside_out = x.determinant() <= 0;
        EXPECT_EQ(b.save(path, error), !turned_inside_out) << error;
        if (turned_inside_out)
            EXPECT_EQ(error, "built through a singular or mirroring transform");
    }
    std::remove(path.c_str());
}

} // namespace
