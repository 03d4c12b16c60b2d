// Snapshot of the fixed-function GL state for hunting state leaks between drawing routines: a
// plain record, its text (one "NAME=value" line per state) and a file of the lines that differ.
#pragma once

#include <cstdint>
#include <string>

struct sGLstate
{
    bool alpha_test = false;
    bool blend = false;
    bool cull_face = false;
    bool color_material = false;
    bool depth_test = false;
    int32_t alpha_test_func = 0;
    int32_t blend_src = 0;
    int32_t blend_dst = 0;
    float color_clear_value[4] = {0, 0, 0, 0};
    bool color_writemask[4] = {false, false, false, false};
    bool depth_writemask = false;
    float depth_clear_value = 0;
    int32_t depth_func = 0;
    int32_t cull_face_mode = 0;
    float current_color[4] = {0, 0, 0, 0};
    float current_normal[3] = {0, 0, 0};
    float current_texture_coords[4] = {0, 0, 0, 0};
    bool fog = false;
    float fog_color[4] = {0, 0, 0, 0};
    float fog_density = 0;
    float fog_start = 0;
    float fog_end = 0;
    int32_t fog_mode = 0;
    int32_t front_face = 0;
    bool lighting = false;
    int32_t max_lights = 0;
    bool light[8] = {false, false, false, false, false, false, false, false};
    float light_model_ambient[4] = {0, 0, 0, 0};
    bool light_model_local_viewer = false;
    bool light_model_two_side = false;
    bool normalize = false;
    int32_t polygon_mode[2] = {0, 0};
    int32_t shade_model = 0;
    bool texture_1d = false;
    bool texture_2d = false;
    bool texture_rectangle = false;
    int32_t texture_binding_1d = 0;
    int32_t texture_binding_2d = 0;
    int32_t texture_binding_rectangle = 0;
    bool texture_gen_q = false;
    bool texture_gen_r = false;
    bool texture_gen_s = false;
    bool texture_gen_t = false;
    int32_t rectangle_min_filter = 0; // of the bound rectangle texture
    int32_t rectangle_mag_filter = 0;
    int32_t viewport[4] = {0, 0, 0, 0};
    int32_t texture_env_mode = 0;

    // Queries every field, texture state on the active unit.
    void capture();
    // One "NAME=value" line per state: booleans "true"/"false", integers in decimal, floats
    // cut or padded to two decimals, vectors as "(a, b, ...)".
    std::string as_text() const;

    // The lines in which `a` and `b` differ: a's line, b's line and a blank line per pair.
    static std::string diff(const sGLstate& a, const sGLstate& b);
    // Writes diff(a, b) to `in_file` through writestring().
    static bool write_diff(const std::string& in_file, const sGLstate& a, const sGLstate& b);
    // Writes `in_text` and an end of line to `in_file` (truncating it); an unwritable file
    // prints the error line and gives false.
    static bool writestring(const std::string& in_file, const std::string& in_text);
};
