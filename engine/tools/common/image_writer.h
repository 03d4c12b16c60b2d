// Writing generated pictures (PNG, JPEG) for the content generators, through DevIL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// An RGBA picture, rows from the bottom (OpenGL's and DevIL's lower-left origin).
struct sImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width * height * 4

    sImage() = default;
    sImage(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 0) {}
    uint8_t* at(int x, int y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    void set(int x, int y, float r, float g, float b, float a = 1.0f);
};

// Writes the picture; the format follows the extension (".png", ".jpg"). Creates the folder.
// The file is written to a temporary name first and renamed, so readers never see half a file.
bool write_image(const std::string& path, const sImage& image);

// Deterministic pseudo-random numbers for generators (the same bytes on every build).
class cRandom
{
public:
    explicit cRandom(uint64_t seed) : m_state(seed * 6364136223846793005ull + 1442695040888963407ull) {}
    uint32_t next_u32();
    // Uniform in [0, 1).
    double next();
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    uint64_t m_state;
};

} // namespace assets
