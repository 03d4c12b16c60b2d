// GL state snapshot, its text and the difference file (see gl_state.h).
#include "gl_state.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "gl_extensions.h"

namespace {

bool enabled(GLenum cap)
{
    return glIsEnabled(cap) == GL_TRUE;
}

int32_t get_int(GLenum pname)
{
    GLint value = 0;
    glGetIntegerv(pname, &value);
    return int32_t(value);
}

float get_float(GLenum pname)
{
    GLfloat value = 0;
    glGetFloatv(pname, &value);
    return value;
}

template <size_t N> void get_floats(GLenum pname, float (&out)[N])
{
    GLfloat values[16] = {};
    glGetFloatv(pname, values);
    for (size_t i = 0; i < N; ++i)
        out[i] = values[i];
}

template <size_t N> void get_ints(GLenum pname, int32_t (&out)[N])
{
    GLint values[16] = {};
    glGetIntegerv(pname, values);
    for (size_t i = 0; i < N; ++i)
        out[i] = int32_t(values[i]);
}

// A float as the stream prints it, then cut or padded to two digits after the point. The
// exponent of a very large or small number stays, so the text keeps the number's magnitude.
std::string two_decimals(float value)
{
    std::ostringstream os;
    os << value;
    const std::string printed = os.str();
    const std::string::size_type dot = printed.find('.');
    if (dot == std::string::npos)
        return printed;
    const std::string::size_type exponent = printed.find_first_of("eE", dot);
    const std::string fraction = printed.substr(
        dot + 1, exponent == std::string::npos ? std::string::npos : exponent - dot - 1);
    std::string digits = fraction.substr(0, 2);
    while (digits.size() < 2)
        digits += '0';
    return printed.substr(0, dot + 1) + digits +
           (exponent == std::string::npos ? std::string() : printed.substr(exponent));
}

std::string text(bool value)
{
    return value ? "true" : "false";
}

std::string text(int32_t value)
{
    return std::to_string(value);
}

std::string text(float value)
{
    return two_decimals(value);
}

template <class T, size_t N> std::string text(const T (&values)[N])
{
    std::string out = "(";
    for (size_t i = 0; i < N; ++i)
        out += (i ? ", " : "") + text(values[i]);
    return out + ")";
}

std::string filter_name(int32_t filter)
{
    switch (filter) {
    case GL_NEAREST:
        return "GL_NEAREST";
    case GL_LINEAR:
        return "GL_LINEAR";
    case GL_LINEAR_MIPMAP_LINEAR:
        return "GL_LINEAR_MIPMAP_LINEAR";
    default:
        return "unknown";
    }
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

void sGLstate::capture()
{
    alpha_test = enabled(GL_ALPHA_TEST);
    blend = enabled(GL_BLEND);
    cull_face = enabled(GL_CULL_FACE);
    color_material = enabled(GL_COLOR_MATERIAL);
    depth_test = enabled(GL_DEPTH_TEST);
    alpha_test_func = get_int(GL_ALPHA_TEST_FUNC);
    blend_src = get_int(GL_BLEND_SRC);
    blend_dst = get_int(GL_BLEND_DST);
    get_floats(GL_COLOR_CLEAR_VALUE, color_clear_value);
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    for (int i = 0; i < 4; ++i)
        color_writemask[i] = mask[i] == GL_TRUE;
    GLboolean depth_mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    depth_writemask = depth_mask == GL_TRUE;
    depth_clear_value = get_float(GL_DEPTH_CLEAR_VALUE);
    depth_func = get_int(GL_DEPTH_FUNC);
    cull_face_mode = get_int(GL_CULL_FACE_MODE);
    get_floats(GL_CURRENT_COLOR, current_color);
    get_floats(GL_CURRENT_NORMAL, current_normal);
    get_floats(GL_CURRENT_TEXTURE_COORDS, current_texture_coords);
    fog = enabled(GL_FOG);
    get_floats(GL_FOG_COLOR, fog_color);
    fog_density = get_float(GL_FOG_DENSITY);
    fog_start = get_float(GL_FOG_START);
    fog_end = get_float(GL_FOG_END);
    fog_mode = get_int(GL_FOG_MODE);
    front_face = get_int(GL_FRONT_FACE);
    lighting = enabled(GL_LIGHTING);
    max_lights = get_int(GL_MAX_LIGHTS);
    for (int i = 0; i < 8; ++i)
        light[i] = enabled(GLenum(GL_LIGHT0 + i));
    get_floats(GL_LIGHT_MODEL_AMBIENT, light_model_ambient);
    light_model_local_viewer = get_int(GL_LIGHT_MODEL_LOCAL_VIEWER) != 0;
    light_model_two_side = get_int(GL_LIGHT_MODEL_TWO_SIDE) != 0;
    normalize = enabled(GL_NORMALIZE);
    get_ints(GL_POLYGON_MODE, polygon_mode);
    shade_model = get_int(GL_SHADE_MODEL);
    texture_1d = enabled(GL_TEXTURE_1D);
    texture_2d = enabled(GL_TEXTURE_2D);
    texture_rectangle = enabled(GL_TEXTURE_RECTANGLE_ARB);
    texture_binding_1d = get_int(GL_TEXTURE_BINDING_1D);
    texture_binding_2d = get_int(GL_TEXTURE_BINDING_2D);
    texture_binding_rectangle = get_int(GL_TEXTURE_BINDING_RECTANGLE_ARB);
    texture_gen_q = enabled(GL_TEXTURE_GEN_Q);
    texture_gen_r = enabled(GL_TEXTURE_GEN_R);
    texture_gen_s = enabled(GL_TEXTURE_GEN_S);
    texture_gen_t = enabled(GL_TEXTURE_GEN_T);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, &filter);
    rectangle_min_filter = int32_t(filter);
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, &filter);
    rectangle_mag_filter = int32_t(filter);
    get_ints(GL_VIEWPORT, viewport);
    GLint env_mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env_mode);
    texture_env_mode = int32_t(env_mode);
}

std::string sGLstate::as_text() const
{
    std::string out;
    auto line = [&out](const char* label, const std::string& value) {
        out += label;
        out += value;
        out += '\n';
    };
    line("GL_ALPHA_TEST=", text(alpha_test));
    line("GL_BLEND=", text(blend));
    line("GL_CULL_FACE=", text(cull_face));
    line("GL_COLOR_MATERIAL=", text(color_material));
    line("GL_DEPTH_TEST=", text(depth_test));
    line("GL_ALPHA_TEST_FUNC=", text(alpha_test_func));
    line("GL_BLEND_SRC=", text(blend_src));
    line("GL_BLEND_DST=", text(blend_dst));
    line("GL_COLOR_CLEAR_VALUE=", text(color_clear_value));
    line("GL_COLOR_WRITEMASK=", text(color_writemask));
    line("GL_DEPTH_WRITEMASK=", text(depth_writemask));
    line("GL_DEPTH_CLEAR_VALUE=", text(depth_clear_value));
    line("GL_DEPTH_FUNC=", text(depth_func));
    line("GL_CULL_FACE_MODE=", text(cull_face_mode));
    line("GL_CURRENT_COLOR=", text(current_color));
    line("GL_CURRENT_NORMAL=", text(current_normal));
    line("GL_CURRENT_TEXTURE_COORDS=", text(current_texture_coords));
    line("GL_FOG=", text(fog));
    line("GL_FOG_COLOR=", text(fog_color));
    line("GL_FOG_DENSITY=", text(fog_density));
    line("GL_FOG_START=", text(fog_start));
    line("GL_FOG_END=", text(fog_end));
    line("GL_FOG_MODE=", text(fog_mode));
    line("GL_FRONT_FACE=", text(front_face));
    line("GL_LIGHTING=", text(lighting));
    line("GL_LIGHT_MODEL_LOCAL_VIEWER=", text(light_model_local_viewer));
    line("GL_LIGHT_MODEL_TWO_SIDE=", text(light_model_two_side));
    line("GL_MAX_LIGHTS=", text(max_lights));
    static const char* const light_labels[8] = {
        "GL_LIGHT0=", "GL_LIGHT1=", "GL_LIGHT2=", "GL_LIGHT3=",
        "GL_LIGHT4=", "GL_LIGHT5=", "GL_LIGHT6=", "GL_LIGHT7="};
    for (int i = 0; i < 8; ++i)
        line(light_labels[i], text(light[i]));
    line("GL_LIGHT_MODEL_AMBIENT=", text(light_model_ambient));
    line("GL_NORMALIZE=", text(normalize));
    line("GL_POLYGON_MODE=", text(polygon_mode));
    line("GL_SHADE_MODEL=", text(shade_model));
    line("GL_TEXTURE_1D=", text(texture_1d));
    line("GL_TEXTURE_2D=", text(texture_2d));
    line("GL_TEXTURE_RECTANGLE=", text(texture_rectangle));
    line("GL_TEXTURE_BINDING_1D=", text(texture_binding_1d));
    line("GL_TEXTURE_BINDING_2D=", text(texture_binding_2d));
    line("GL_TEXTURE_BINDING_RECTANGLE=", text(texture_binding_rectangle));
    line("GL_TEXTURE_GEN_Q=", text(texture_gen_q));
    line("GL_TEXTURE_GEN_R=", text(texture_gen_r));
    line("GL_TEXTURE_GEN_S=", text(texture_gen_s));
    line("GL_TEXTURE_GEN_T=", text(texture_gen_t));
    line("GL_TEXTURE_ENV_MODE=", text(texture_env_mode));
    line("GL_TEXTURE_MIN_FILTER=", filter_name(rectangle_min_filter));
    line("GL_TEXTURE_MAG_FILTER=", filter_name(rectangle_mag_filter));
    line("GL_VIEWPORT=", text(viewport));
    return out;
}

std::string sGLstate::diff(const sGLstate& a, const sGLstate& b)
{
    const std::vector<std::string> lines_a = split_lines(a.as_text());
    const std::vector<std::string> lines_b = split_lines(b.as_text());
    std::string out;
    for (size_t i = 0; i < lines_a.size() && i < lines_b.size(); ++i) {
        if (lines_a[i] != lines_b[i])
            out += lines_a[i] + "\n" + lines_b[i] + "\n\n";
    }
    return out;
}

bool sGLstate::write_diff(const std::string& in_file, const sGLstate& a, const sGLstate& b)
{
    return writestring(in_file, diff(a, b));
}

bool sGLstate::writestring(const std::string& in_file, const std::string& in_text)
{
    std::ofstream file(in_file, std::ios::out | std::ios::trunc);
    if (!file) {
        std::cerr << "## ERROR while writing " << in_file << "in "
                  << "sGLstate::writestring"
                  << " skipping..." << std::endl;
        return false;
    }
    file << in_text << std::endl;
    return true;
}
