// GLSL program pair (see shader_glsl.h).
#include "shader_glsl.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>

#include "fatal.h"
#include "gl_extensions.h"
#include "resource_path.h"
#include "shader_manager_glsl.h"

namespace {

std::string shader_log(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return std::string();
    std::string log(size_t(length), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, length, &written, &log[0]);
    log.resize(size_t(std::max(0, std::min<GLsizei>(written, length))));
    return log;
}

std::string program_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return std::string();
    std::string log(size_t(length), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(program, length, &written, &log[0]);
    log.resize(size_t(std::max(0, std::min<GLsizei>(written, length))));
    return log;
}

bool read_file(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Compiles one stage from the file `name` (as passed); 0 and an error entry on failure.
GLuint compile_stage(GLenum stage, const std::string& name, cShader_GLSL::sBuild& build)
{
    const std::string path = cResourcePath::get_instance()->get_fullpath(name);
    const std::string shown = path.empty() ? name : path;
    std::string source;
    if (path.empty() || !read_file(path, source)) {
        build.errors.push_back({"GLSL compile error in " + shown, "file not found"});
        return 0;
    }
    const GLuint shader = glCreateShader(stage);
    const GLchar* text = source.data();
    const GLint length = GLint(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        build.errors.push_back({"GLSL compile error in " + shown, shader_log(shader)});
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Resolved path, modification time and size of a source: what "changed on disk" compares.
std::string source_stamp(const std::string& name)
{
    const std::string path = cResourcePath::get_instance()->get_fullpath(name);
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (path.empty() || ec)
        return name + " missing;";
    const auto size = std::filesystem::file_size(path, ec);
    return path + " " + std::to_string(time.time_since_epoch().count()) + " " +
           std::to_string(ec ? 0 : size) + ";";
}

void report(const std::vector<cShader_GLSL::sBuildError>& errors)
{
    for (const auto& e : errors) {
        if (cShaderManager_GLSL::has_instance())
            cShaderManager_GLSL::get_instance()->report_error(e.error, e.listing);
        else
            print_shader_error_block(std::cerr, e.error, e.listing, "null_shader");
    }
}

} // namespace

cShader_GLSL::sBuild cShader_GLSL::compile_and_link(const std::string& in_vertex_file,
                                                    const std::string& in_fragment_file)
{
    sBuild build;
    build.vertex = compile_stage(GL_VERTEX_SHADER, in_vertex_file, build);
    build.fragment = compile_stage(GL_FRAGMENT_SHADER, in_fragment_file, build);
    build.vertex_failed = build.vertex == 0;
    build.fragment_failed = build.fragment == 0;
    if (build.vertex_failed || build.fragment_failed) {
        if (build.vertex)
            glDeleteShader(build.vertex);
        if (build.fragment)
            glDeleteShader(build.fragment);
        build.vertex = build.fragment = 0;
        return build;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, build.vertex);
    glAttachShader(program, build.fragment);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        build.link_failed = true;
        build.errors.push_back({"GLSL link error", program_log(program)});
        glDeleteProgram(program);
        glDeleteShader(build.vertex);
        glDeleteShader(build.fragment);
        build.vertex = build.fragment = 0;
        return build;
    }
    build.program = program;
    return build;
}

cShader_GLSL::cShader_GLSL(void* const* in_context, const int& in_vprof, const int& in_fprof)
    : m_context(in_context), m_vprof(in_vprof), m_fprof(in_fprof)
{
    assert(m_vprof);
    assert(m_fprof);
}

cShader_GLSL::~cShader_GLSL()
{
    release_programs();
}

void cShader_GLSL::release_programs()
{
    if (m_program)
        glDeleteProgram(m_program);
    if (m_vp)
        glDeleteShader(m_vp);
    if (m_fp)
        glDeleteShader(m_fp);
    m_program = m_vp = m_fp = 0;
}

bool cShader_GLSL::load_from_files(std::string in_vertex_file, std::string in_fragment_file)
{
    // Stamped before reading, so an edit saved during the build counts as a change.
    const std::string stamp = source_stamp(in_vertex_file) + source_stamp(in_fragment_file);
    const sBuild build = compile_and_link(in_vertex_file, in_fragment_file);
    report(build.errors);
    if (!build.ok()) {
        // Both stages failing names the vertex file; so does a pair that does not link.
        const std::string& failed =
            build.fragment_failed && !build.vertex_failed ? in_fragment_file : in_vertex_file;
        std::cerr << "## ERROR: cShader_GLSL::load_from_files() failed on " << failed << std::endl;
        vnt::fatal_exit(1);
    }
    m_files = in_vertex_file + " / " + in_fragment_file;
    m_vertex_file = in_vertex_file;
    m_fragment_file = in_fragment_file;
    m_source_stamp = stamp;
    adopt(build);
    return true;
}

bool cShader_GLSL::reload_from_files(const std::string& in_vertex_file,
                                     const std::string& in_fragment_file)
{
    const std::string stamp = source_stamp(in_vertex_file) + source_stamp(in_fragment_file);
    const sBuild build = compile_and_link(in_vertex_file, in_fragment_file);
    report(build.errors);
    if (!build.ok())
        return false;
    m_files = in_vertex_file + " / " + in_fragment_file;
    m_vertex_file = in_vertex_file;
    m_fragment_file = in_fragment_file;
    m_source_stamp = stamp;
    adopt(build);
    return true;
}

cShader_GLSL::eReload cShader_GLSL::reload_if_changed()
{
    if (m_vertex_file.empty())
        return RELOAD_UNCHANGED; // never built from files
    const std::string stamp = source_stamp(m_vertex_file) + source_stamp(m_fragment_file);
    if (stamp == m_source_stamp)
        return RELOAD_UNCHANGED;
    if (reload_from_files(m_vertex_file, m_fragment_file))
        return RELOAD_DONE;
    m_source_stamp = stamp;
    return RELOAD_FAILED;
}

void cShader_GLSL::adopt(const sBuild& in_build)
{
    // Sampler units are program state: they are set with the new program current. Afterwards
    // the surrounding drawing code gets its program back; when that was this shader's old
    // program (a reload while bound), the new one takes its place with the stored values.
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    const bool was_current = m_program && GLuint(previous) == m_program;
    release_programs();
    m_vp = in_build.vertex;
    m_fp = in_build.fragment;
    m_program = in_build.program;
    glUseProgram(m_program);
    assign_texture_units();
    init_parameters();
    if (was_current)
        update_parameters();
    else
        glUseProgram(GLuint(previous));
}

void cShader_GLSL::bind()
{
    assert(m_context && *m_context && "m_context");
    assert(m_vprof);
    assert(m_fprof);
    assert(m_vp);
    glUseProgram(m_program);
    update_parameters();
}

void cShader_GLSL::unbind()
{
    assert(m_context && *m_context && "m_context");
    assert(m_vprof);
    assert(m_fprof);
    assert(m_vp);
    disable_parameters();
    glUseProgram(0);
}

void cShader_GLSL::assign_texture_units() const
{
    for (const sSampler& sampler : m_samplers) {
        const GLint location = glGetUniformLocation(m_program, sampler.name);
        if (location < 0) {
            std::cerr << "## ERROR: no sampler \"" << sampler.name << "\" in " << m_files
                      << std::endl;
            continue;
        }
        glUniform1i(location, sampler.unit);
    }
}

int cShader_GLSL::get_named_parameter(const char* in_name) const
{
    return m_program ? glGetUniformLocation(m_program, in_name) : -1;
}

namespace {

// What a parameter variable is, for the error line of a mismatch.
std::string describe_parameter(iVar* in_var)
{
    if (!in_var)
        return "no variable";
    if (auto* block = dynamic_cast<cFloatsVar*>(in_var))
        return std::to_string(block->count()) + " floats";
    if (dynamic_cast<cVar<float>*>(in_var))
        return "one float";
    return "a variable of another type";
}

} // namespace

const float* cShader_GLSL::float_parameter(iVar* in_var, const char* in_what)
{
    if (auto* value = dynamic_cast<cVar<float>*>(in_var))
        return value->get();
    std::cerr << "## ERROR: " << in_what << " expects one float, got " << describe_parameter(in_var)
              << std::endl;
    return nullptr;
}

const float* cShader_GLSL::floats_parameter(iVar* in_var, std::size_t in_count, const char* in_what)
{
    auto* block = dynamic_cast<cFloatsVar*>(in_var);
    if (block && block->count() == in_count && block->values())
        return block->values();
    std::cerr << "## ERROR: " << in_what << " expects " << in_count << " floats, got "
              << describe_parameter(in_var) << std::endl;
    return nullptr;
}

void cShader_GLSL::report_unknown_parameter(const char* in_shader, int in_parm_name)
{
    std::cerr << "## ERROR: " << in_shader << " has no parameter " << in_parm_name << std::endl;
}

std::string cFloatsVar::to_string() const
{
    std::string text = "(";
    for (std::size_t i = 0; i < m_count; ++i)
        text += (i ? "," : "") + vnt::two_decimals(m_values[i]);
    return text + ")";
}
