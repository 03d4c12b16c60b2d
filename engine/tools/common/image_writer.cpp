// Picture writing and deterministic random numbers for the generators (see image_writer.h).
#include "image_writer.h"

#include <IL/il.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace assets {

void sImage::set(int x, int y, float r, float g, float b, float a)
{
    uint8_t* p = at(x, y);
    const float c[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(std::clamp(c[i], 0.0f, 1.0f) * 255.0f + 0.5f);
}

bool write_image(const std::string& path, const sImage& image)
{
    static bool il_ready = false;
    if (!il_ready) {
        ilInit();
        il_ready = true;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string ext = fs::path(path).extension().string();
    // A per-process name: two builds may regenerate the same picture at once.
    const std::string tmp = fs::path(path).parent_path().string() + "/.tmp_" +
                            std::to_string(::getpid()) + "_" + fs::path(path).stem().string() +
                            ext;

    ILuint id = 0;
    ilGenImages(1, &id);
    ilBindImage(id);
    ilTexImage(ILuint(image.width), ILuint(image.height), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
               const_cast<uint8_t*>(image.rgba.data()));
    if (ext == ".jpg" || ext == ".jpeg")
        ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE);
    ilEnable(IL_FILE_OVERWRITE);
    const bool ok = ilSaveImage(tmp.c_str()) == IL_TRUE;
    ilDeleteImages(1, &id);
    if (!ok)
        return false;
    fs::rename(tmp, path, ec);
    return !ec;
}

uint32_t cRandom::next_u32()
{
    // PCG-XSH-RR: small, fast and the same everywhere.
    uint64_t old = m_state;
    m_state = old * 6364136223846793005ull + 1442695040888963407ull;
    uint32_t xorshifted = uint32_t(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = uint32_t(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

double cRandom::next() { return double(next_u32()) / 4294967296.0; }

} // namespace assets
