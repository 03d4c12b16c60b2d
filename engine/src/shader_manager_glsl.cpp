// Shader registry, bind stack and profile choice (see shader_manager_glsl.h).
#include "shader_manager_glsl.h"

#include <SDL2/SDL.h>

#include <cassert>
#include <cctype>
#include <iostream>

#include "fatal.h"
#include "gl_extensions.h"
#include "shader.h"
#include "shader_glsl.h"

namespace {

const char* const null_shader = "null_shader";
const char* const dashes = "---------------------------------------------------";

// The first blank-separated word of the driver's version text ("4.50" of "4.50 Mesa").
std::string version_word(const char* text)
{
    std::string word;
    for (const char* c = text; c && *c && !std::isspace(static_cast<unsigned char>(*c)); ++c)
        word += *c;
    return word;
}

} // namespace

void print_shader_error_block(std::ostream& os, const std::string& in_error,
                              const std::string& in_listing, const std::string& in_current)
{
    os << "\n" << dashes << std::endl;
    os << in_error << std::endl;
    if (!in_listing.empty())
        os << in_listing << std::endl;
    os << dashes << std::endl;
    os << "last-shader: " << in_current << std::endl;
    os << "GLSL error, exiting..." << std::endl;
}

cShaderManager_GLSL::cShaderManager_GLSL() = default;

cShaderManager_GLSL::~cShaderManager_GLSL()
{
    // The shaders delete their own programs, so they go while the context is still there.
    if (m_context && m_current_shader != null_shader)
        disable();
    m_shaders.clear();
    m_prev_shaders.clear();
    m_context = nullptr;
}

int cShaderManager_GLSL::parse_glsl_version(const char* in_text)
{
    if (!in_text)
        return 0;
    const char* c = in_text;
    int major = 0;
    int digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*c)) && digits < 3; ++c, ++digits)
        major = major * 10 + (*c - '0');
    if (digits == 0 || *c != '.')
        return 0;
    ++c;
    int minor = 0;
    digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*c)) && digits < 2; ++c, ++digits)
        minor = minor * 10 + (*c - '0');
    if (digits == 0)
        return 0;
    if (digits == 1)
        minor *= 10;
    return major * 100 + minor;
}

void cShaderManager_GLSL::choose_profiles_from(const char* in_version_text, int& out_vprof,
                                               int& out_fprof)
{
    const int version = parse_glsl_version(in_version_text);
    if (version < 120) {
        std::cout << "## glsl-ERROR: No vertex-programming capabilities detected - exiting"
                  << std::endl;
        vnt::fatal_exit(-1);
    }
    const std::string word = version_word(in_version_text);
    out_vprof = version;
    std::cout << "# glsl: Chose glsl vertex-profile:\tGLSL " << word << std::endl;
    out_fprof = version;
    std::cout << "# glsl:Chose glsl fragment-profile:\tGLSL " << word << std::endl;
}

void cShaderManager_GLSL::choose_profiles()
{
    const char* text = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    choose_profiles_from(text, m_vprof, m_fprof);
}

void cShaderManager_GLSL::init()
{
    const char* text = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    std::cout << "# glsl: GLSL version: " << (text ? text : "") << std::endl;
    choose_profiles();
    m_context = SDL_GL_GetCurrentContext();
    disable();
}

bool cShaderManager_GLSL::has_shader(const std::string& in_name) const
{
    return m_shaders.find(in_name) != m_shaders.end();
}

bool cShaderManager_GLSL::may_add(const std::string& in_name) const
{
    assert(in_name != null_shader && "null_shader is reserved for 'no shader bound'");
    if (m_shaders.find(in_name) == m_shaders.end())
        return true;
    std::cerr << "# warning: shader \"" << in_name << "\" already exists! Skipping..." << std::endl;
    return false;
}

void cShaderManager_GLSL::insert_shader(const std::string& in_name,
                                        std::unique_ptr<cShader> in_shader)
{
    m_shaders.emplace(in_name, std::move(in_shader));
}

void cShaderManager_GLSL::bind(const std::string& in_shd_type)
{
    assert(in_shd_type != null_shader && "call disable() instead");
    if (m_current_shader != null_shader)
        disable();
    m_vprof_enabled = true;
    m_fprof_enabled = true;
    assert(in_shd_type != null_shader && "call disable() instead");
    const auto found = m_shaders.find(in_shd_type);
    if (found == m_shaders.end()) {
        std::cerr << "#WARNING in "
                  << "cShaderManager_GLSL::bind"
                  << ": trying to bind unknown shader: \"" << in_shd_type << "\"" << std::endl;
        return;
    }
    m_current_shader = in_shd_type;
    found->second->bind();
}

void cShaderManager_GLSL::disable()
{
    if (!m_context) {
        std::cerr << "## ERROR in " << __FILE__ << " line " << __LINE__
                  << ": no current GLSL-context available!" << std::endl;
        return;
    }
    if (m_current_shader == null_shader)
        return;
    m_shaders.at(m_current_shader)->unbind();
    m_current_shader = null_shader;
    m_vprof_enabled = false;
    m_fprof_enabled = false;
}

void cShaderManager_GLSL::push_shader()
{
    m_prev_shaders.push_back(m_current_shader);
}

void cShaderManager_GLSL::pop_shader()
{
    assert(!m_prev_shaders.empty() && "tried to pop empty shaderstack");
    const std::string name = m_prev_shaders.back();
    if (name == null_shader)
        disable();
    else
        bind(name);
    m_prev_shaders.pop_back();
}

void cShaderManager_GLSL::set_parameter(const std::string& in_shader, int in_parm_name,
                                        iVar* in_var)
{
    const auto found = m_shaders.find(in_shader);
    assert(found != m_shaders.end() && "m_shaders.find( shader ) != m_shaders.end()");
    found->second->set_parameter(in_parm_name, in_var);
    if (in_shader == m_current_shader)
        found->second->update_parameters();
}

void cShaderManager_GLSL::report_error(const std::string& in_error,
                                       const std::string& in_listing) const
{
    print_shader_error_block(std::cerr, in_error, in_listing, m_current_shader);
}

cShader* cShaderManager_GLSL::get_shader(const std::string& in_name) const
{
    const auto found = m_shaders.find(in_name);
    return found == m_shaders.end() ? nullptr : found->second.get();
}

cShaderManager_GLSL::sReloadCount cShaderManager_GLSL::reload_changed()
{
    sReloadCount count;
    for (const auto& [name, shader] : m_shaders) {
        auto* glsl = dynamic_cast<cShader_GLSL*>(shader.get());
        const auto result = glsl ? glsl->reload_if_changed() : cShader_GLSL::RELOAD_UNCHANGED;
        if (result == cShader_GLSL::RELOAD_DONE) {
            ++count.reloaded;
            std::cout << "# glsl: reloaded \"" << name << "\" (" << glsl->files() << ")"
                      << std::endl;
        } else if (result == cShader_GLSL::RELOAD_FAILED) {
            ++count.failed;
            std::cerr << "# WARNING: shader \"" << name << "\" (" << glsl->files()
                      << ") did not build; it keeps its running program" << std::endl;
        } else {
            ++count.unchanged;
        }
    }
    std::cout << "# glsl: reload: " << count.reloaded << " rebuilt, " << count.failed << " failed, "
              << count.unchanged << " unchanged" << std::endl;
    return count;
}
