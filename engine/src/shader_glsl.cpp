// GLSL program pair (see shader_glsl.h).
#include "shader_glsl.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
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

// The stamp of the files a build read, read again now.
std::string stamp_of(const std::vector<std::string>& watched)
{
    std::string stamp;
    for (const std::string& name : watched)
        stamp += source_stamp(name);
    return stamp;
}

// Deeper nesting than this is taken for a runaway include chain.
constexpr size_t MAX_INCLUDE_DEPTH = 16;

// One stage's source with the files its `#include "name"` lines (outside /* */ comments) name
// spliced in. An included file is looked for in the including file's folder first, then
// through the search paths, and enters a stage once (a later include of it is dropped); a file
// that includes itself, directly or through others, is refused. `#line` directives number the
// files 0 (the stage's own), 1, 2, ... in the order they are read, so the compiler's line
// numbers point into the right file; a failed stage's log is followed by that numbering.
class cSourceReader
{
public:
    // Every file read (or looked for) is added to `io_watched`, its stamp to `io_stamp`.
    cSourceReader(std::vector<std::string>& io_watched, std::string& io_stamp)
        : m_watched(io_watched), m_stamp(io_stamp)
    {
    }

    // The expanded text of the stage file `name` (as passed); false with `error` set when it or
    // one of its includes cannot be read or an include is refused.
    bool read_stage(const std::string& name, std::string& text, std::string& error)
    {
        m_watched.push_back(name);
        m_stamp += source_stamp(name); // before reading: an edit saved meanwhile is a change
        return read_into(cResourcePath::get_instance()->get_fullpath(name), text, error);
    }

    // "source 0: path" lines naming the files of the #line numbers.
    std::string numbering() const
    {
        std::string lines;
        for (size_t i = 0; i < m_files.size(); ++i)
            lines += "source " + std::to_string(i) + ": " + m_files[i] + "\n";
        return lines;
    }
    bool has_includes() const { return m_files.size() > 1; }

private:
    enum eDirective
    {
        D_OTHER,
        D_VERSION,
        D_INCLUDE,
    };

    bool read_into(const std::string& path, std::string& out, std::string& error)
    {
        std::string source;
        if (path.empty() || !read_file(path, source)) {
            error = "file not found";
            return false;
        }
        const int number = int(m_files.size());
        m_files.push_back(path);
        m_stack.push_back(path);
        const bool ok = splice(source, path, number, out, error);
        m_stack.pop_back();
        return ok;
    }

    bool splice(const std::string& source, const std::string& path, int number, std::string& out,
                std::string& error)
    {
        int line_no = 0;
        bool spliced = false;    // #version must stay the first directive the compiler sees
        bool in_comment = false; // a /* comment runs on at the start of the line
        for (size_t at = 0; at < source.size();) {
            size_t end = source.find('\n', at);
            end = end == std::string::npos ? source.size() : end + 1;
            const std::string line = source.substr(at, end - at);
            at = end;
            ++line_no;
            std::string name;
            const eDirective directive = in_comment ? D_OTHER : classify(line, name);
            in_comment = comment_open_after(line, in_comment);
            if (directive == D_VERSION && (number != 0 || spliced)) {
                error = where(path, line_no) +
                        (spliced ? "#version must come before any #include"
                                 : "#version belongs in the stage's own file only");
                return false;
            }
            if (directive != D_INCLUDE) {
                out += line;
                continue;
            }
            if (name.empty()) {
                error = where(path, line_no) + "#include needs a file name in quotes";
                return false;
            }
            const std::string target = resolve(path, name);
            if (target.empty()) {
                error = where(path, line_no) + "cannot find included file \"" + name + "\"";
                // Watched where it would stand beside the including file: creating it there is
                // a change.
                watch(folder_of(path) + name);
                return false;
            }
            if (std::find(m_stack.begin(), m_stack.end(), target) != m_stack.end()) {
                error =
                    where(path, line_no) + "include cycle: \"" + name + "\" is already being read";
                return false;
            }
            if (m_stack.size() >= MAX_INCLUDE_DEPTH) {
                error = where(path, line_no) + "includes nested deeper than " +
                        std::to_string(MAX_INCLUDE_DEPTH);
                return false;
            }
            if (std::find(m_files.begin(), m_files.end(), target) != m_files.end()) {
                out += "\n"; // already in this stage: the line stays, empty
                continue;
            }
            watch(target);
            spliced = true;
            out += line_directive(1, int(m_files.size()));
            std::string text;
            if (!read_into(target, text, error))
                return false;
            out += text;
            if (!text.empty() && text.back() != '\n')
                out += '\n';
            out += line_directive(line_no + 1, number);
        }
        return true;
    }

    // Whether `line` is a #version line (its number noted) or an #include line (its quoted name
    // into `name`, left empty when it has none).
    eDirective classify(const std::string& line, std::string& name)
    {
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] != '#')
            return D_OTHER;
        i = line.find_first_not_of(" \t", i + 1);
        if (i == std::string::npos)
            return D_OTHER;
        if (line.compare(i, 7, "version") == 0) {
            if (m_files.size() == 1)
                m_version = std::atoi(line.c_str() + i + 7);
            return D_VERSION;
        }
        if (line.compare(i, 7, "include") != 0)
            return D_OTHER;
        const size_t open = line.find('"', i + 7);
        const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close != std::string::npos && close > open + 1)
            name = line.substr(open + 1, close - open - 1);
        return D_INCLUDE;
    }

    // Whether a /* comment is still open at the end of `line`, given whether it was at its start.
    static bool comment_open_after(const std::string& line, bool open)
    {
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            if (open && line[i] == '*' && line[i + 1] == '/') {
                open = false;
                ++i;
            } else if (!open && line[i] == '/' && line[i + 1] == '/') {
                break;
            } else if (!open && line[i] == '/' && line[i + 1] == '*') {
                open = true;
                ++i;
            }
        }
        return open;
    }

    // Makes the line after the directive line `next_line` of file `file`. Before GLSL 3.30 the
    // directive names the number of the line before that one.
    std::string line_directive(int next_line, int file) const
    {
        const int line = m_version < 330 ? next_line - 1 : next_line;
        return "#line " + std::to_string(line) + " " + std::to_string(file) + "\n";
    }

    static std::string folder_of(const std::string& path)
    {
        const size_t cut = path.find_last_of("/\\");
        return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    }

    static std::string where(const std::string& path, int line)
    {
        return path + ":" + std::to_string(line) + ": ";
    }

    // The included file, made absolute: beside the including one, else through the search
    // paths; "" when neither has it.
    static std::string resolve(const std::string& including, const std::string& name)
    {
        std::string found = folder_of(including) + name;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(found, ec))
            found = cResourcePath::get_instance()->get_fullpath(name);
        if (found.empty())
            return found;
        const std::filesystem::path absolute = std::filesystem::absolute(found, ec);
        return ec ? found : absolute.lexically_normal().string();
    }

    void watch(const std::string& path)
    {
        m_watched.push_back(path);
        m_stamp += source_stamp(path);
    }

    std::vector<std::string>& m_watched;
    std::string& m_stamp;
    int m_version = 110;              // of the stage file; GLSL's default without a #version line
    std::vector<std::string> m_files; // read so far, in #line numbering
    std::vector<std::string> m_stack; // being read, outermost first
};

// `source` with a `#define NAME` line for each of the space-separated `defines` after its
// #version line (or at the top), and a #line directive that keeps the lines numbered as in the
// file.
std::string with_defines(const std::string& source, const std::string& defines)
{
    std::string lines;
    size_t at = 0, end = 0;
    while ((at = defines.find_first_not_of(' ', end)) != std::string::npos) {
        end = std::min(defines.find(' ', at), defines.size());
        lines += "#define " + defines.substr(at, end - at) + "\n";
    }
    if (lines.empty())
        return source;
    size_t insert = 0;
    int next_line = 1, version = 110;
    for (size_t line = 0; line < source.size(); ++next_line) {
        const size_t first = source.find_first_not_of(" \t", line);
        const size_t stop = source.find('\n', line);
        if (first != std::string::npos && source.compare(first, 8, "#version") == 0) {
            insert = stop == std::string::npos ? source.size() : stop + 1;
            version = std::atoi(source.c_str() + first + 8);
            ++next_line;
            break;
        }
        if (stop == std::string::npos)
            break;
        line = stop + 1;
    }
    if (insert == 0)
        next_line = 1;
    std::string out = source.substr(0, insert);
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    // Before GLSL 3.30 the directive names the number of the line before the next one.
    const int directive = version < 330 ? next_line - 1 : next_line;
    return out + lines + "#line " + std::to_string(directive) + " 0\n" + source.substr(insert);
}

// Compiles one stage from the file `name` (as passed), with `defines` (see with_defines()); 0
// and an error entry on failure.
GLuint compile_stage(GLenum stage, const std::string& name, const std::string& defines,
                     cShader_GLSL::sBuild& build)
{
    const std::string path = cResourcePath::get_instance()->get_fullpath(name);
    const std::string shown = path.empty() ? name : path;
    cSourceReader reader(build.watched, build.stamp);
    std::string source, error;
    if (!reader.read_stage(name, source, error)) {
        build.errors.push_back({"GLSL compile error in " + shown, error});
        return 0;
    }
    source = with_defines(source, defines);
    const GLuint shader = glCreateShader(stage);
    const GLchar* text = source.data();
    const GLint length = GLint(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        std::string log = shader_log(shader);
        if (reader.has_includes())
            log += (log.empty() || log.back() == '\n' ? "" : "\n") + reader.numbering();
        build.errors.push_back({"GLSL compile error in " + shown, log});
        glDeleteShader(shader);
        return 0;
    }
    return shader;
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
                                                    const std::string& in_fragment_file,
                                                    const std::string& in_defines)
{
    sBuild build;
    build.vertex = compile_stage(GL_VERTEX_SHADER, in_vertex_file, in_defines, build);
    build.fragment = compile_stage(GL_FRAGMENT_SHADER, in_fragment_file, in_defines, build);
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
    const sBuild build = compile_and_link(in_vertex_file, in_fragment_file, m_defines);
    report(build.errors);
    if (!build.ok()) {
        // Both stages failing names the vertex file; so does a pair that does not link.
        const std::string& failed =
            build.fragment_failed && !build.vertex_failed ? in_fragment_file : in_vertex_file;
        std::cerr << "## ERROR: cShader_GLSL::load_from_files() failed on " << failed << std::endl;
        vnt::fatal_exit(1);
    }
    keep_build(in_vertex_file, in_fragment_file, build);
    return true;
}

bool cShader_GLSL::reload_from_files(const std::string& in_vertex_file,
                                     const std::string& in_fragment_file)
{
    const sBuild build = compile_and_link(in_vertex_file, in_fragment_file, m_defines);
    report(build.errors);
    if (!build.ok())
        return false;
    keep_build(in_vertex_file, in_fragment_file, build);
    return true;
}

cShader_GLSL::eReload cShader_GLSL::reload_if_changed()
{
    if (m_vertex_file.empty())
        return RELOAD_UNCHANGED; // never built from files
    if (stamp_of(m_watched) == m_source_stamp)
        return RELOAD_UNCHANGED;
    const sBuild build = compile_and_link(m_vertex_file, m_fragment_file, m_defines);
    report(build.errors);
    if (!build.ok()) {
        // The files this try read (a fixed include may name others) are watched from now on.
        m_watched = build.watched;
        m_source_stamp = build.stamp;
        return RELOAD_FAILED;
    }
    keep_build(m_vertex_file, m_fragment_file, build);
    return RELOAD_DONE;
}

void cShader_GLSL::keep_build(const std::string& in_vertex_file,
                              const std::string& in_fragment_file, const sBuild& in_build)
{
    m_files = in_vertex_file + " / " + in_fragment_file;
    m_vertex_file = in_vertex_file;
    m_fragment_file = in_fragment_file;
    m_watched = in_build.watched;
    m_source_stamp = in_build.stamp;
    adopt(in_build);
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
