// The one headless OpenGL context the GL tests share: SDL's offscreen driver on Mesa, the
// engine brought up in its start-up order.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vnt_test {

// Creates the window, context and managers once per process (1280x720 unless a size was
// requested before the first call).
void ensure_gl(unsigned width = 1280, unsigned height = 720);
// The folders searched before the engine's own: none for the engine's tests, the production's
// for its tests (tests/support/setup_*.cpp, one linked into each test).
std::vector<std::string> test_search_dirs();

// Reads back the pixel at (x, y) of the bound framebuffer as RGBA bytes.
std::array<unsigned char, 4> read_pixel(int x, int y);
// Reads back a w x h region as RGBA bytes, bottom row first.
std::vector<unsigned char> read_pixels(int x, int y, int w, int h);
// Writes RGBA bytes (bottom row first) as a PNG file, for looking at what a test drew.
bool write_png(const char* path, int w, int h, const std::vector<unsigned char>& rgba);

// Everything a frame must give back, one line per item: the fixed-function state, the matrix
// stacks' tops and depths, point and line sizes, buffer, texture-unit and client-array bindings,
// the separate blend factors, the bound shader and its stack.
std::string frame_state();

// Fixture for tests that draw: makes sure the context exists and no GL error is left over.
class GLTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace vnt_test
