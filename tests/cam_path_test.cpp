// Camera paths: reading keys, the axis conversion, clamping and interpolation.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <string>

#include "cam_path.h"
#include "support/process.h"

namespace {

void expect_vec(const Vec3<float>& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

// Four keys whose eyes sit at x = 0, 10, 20, 30 (file z-up, so y and z carry markers).
CCamPath four_keys()
{
    CCamPath path;
    path.parse("(0,1,2)(0,0,0)(0,0,1)\n"
               "(10,1,2)(1,0,0)(0,0,1)\n"
               "(20,1,2)(2,0,0)(0,0,1)\n"
               "(30,1,2)(3,0,0)(0,0,1)\n");
    return path;
}

} // namespace

TEST(CamPath, KeysAreConvertedFromZUp)
{
    CCamPath path;
    path.parse("(1,2,3)(4,5,6)(0,0,1)");
    ASSERT_EQ(path.keys().size(), 1u);
    expect_vec(path.eye(0.3f), 1, 3, -2);
    expect_vec(path.centre(0.3f), 4, 6, -5);
    expect_vec(path.up(0.3f), 0, 1, 0);

    // Any single characters separate; blanks and line breaks between tokens are skipped.
    path.parse("  [ 1.5 ; -2e1 ; .25 ]\r\n<0|0|0>\n  {0/0/1}  \n\n");
    ASSERT_EQ(path.keys().size(), 1u);
    expect_vec(path.eye(0), 1.5f, 0.25f, 20.0f);
}

TEST(CamPath, EvaluationClampsAndInterpolates)
{
    const CCamPath path = four_keys();
    ASSERT_EQ(path.keys().size(), 4u);
    expect_vec(path.eye(0.5f), 20, 2, -1);
    expect_vec(path.eye(0.625f), 25, 2, -1);
    expect_vec(path.centre(0.625f), 2.5f, 0, 0);
    expect_vec(path.eye(0.75f), 30, 2, -1); // the last key is held from t = 3/4 on
    expect_vec(path.eye(0.125f), 5, 2, -1);
    expect_vec(path.eye(-1.0f), 0, 2, -1);
    expect_vec(path.eye(1e30f), 30, 2, -1);
    expect_vec(path.eye(std::numeric_limits<float>::quiet_NaN()), 0, 2, -1);

    CCamPath single;
    single.parse("(7,8,9)(0,0,0)(0,0,1)");
    expect_vec(single.eye(0.5f), 7, 9, -8);
    CCamPath empty;
    expect_vec(empty.eye(0.5f), 0, 0, 0);
}

TEST(CamPath, BrokenKeysEndTheReading)
{
    CCamPath path;
    const std::string text =
        "(0,0,0)(1,1,1)(0,0,1)\n(1,x,0)(1,1,1)(0,0,1)\n(2,0,0)(1,1,1)(0,0,1)\n";
    const std::string err = vnt_test::stderr_of([&] { path.parse(text); });
    EXPECT_EQ(path.keys().size(), 1u);
    EXPECT_NE(err.find("line 2"), std::string::npos) << err;

    // A key cut short adds nothing.
    EXPECT_FALSE(vnt_test::stderr_of([&] { path.parse("(0,0,0)(1,1,1)(0,0,1)(5,5"); }).empty());
    EXPECT_EQ(path.keys().size(), 1u);
    vnt_test::stderr_of([&] {
        path.parse("(1e99,0,0)(1,1,1)(0,0,1)\n"); // not a float
        path.parse(std::string("(0,0,0)(1,1,1)(0,0,1)\0\xff", 24));
    });
    EXPECT_EQ(path.keys().size(), 1u);
}

TEST(CamPath, LoadReadsAFileOrReportsIt)
{
    const std::string file = testing::TempDir() + "cam_path_test.txt";
    std::ofstream(file) << "(1,2,3)(4,5,6)(0,0,1)\n(2,2,3)(4,5,6)(0,0,1)\n";
    CCamPath path;
    EXPECT_TRUE(path.load(file));
    EXPECT_EQ(path.keys().size(), 2u);
    std::remove(file.c_str());

    const std::string err = vnt_test::stderr_of([&] { EXPECT_FALSE(path.load(file)); });
    EXPECT_TRUE(path.empty());
    EXPECT_NE(err.find("file not found - use cResourcepath?"), std::string::npos) << err;
}
