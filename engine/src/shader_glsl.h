// A vertex and a fragment program linked into one GLSL program object: the common base of
// every effect class. Parameters are uniform locations, texture samplers own fixed units.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "effects/var.h"
#include "shader.h"

// A shader parameter of several floats: where they are and how many. The shader copies only a
// block of exactly the length it expects, so a short array is refused rather than over-read.
class cFloatsVar : public iVar
{
public:
    template <std::size_t N>
    explicit cFloatsVar(const float (&in_values)[N]) : m_values(in_values), m_count(N)
    {
    }
    template <std::size_t N>
    explicit cFloatsVar(const std::array<float, N>& in_values)
        : m_values(in_values.data()), m_count(N)
    {
    }

    std::string get_name() const override { return std::string(); }
    std::string to_string() const override;
    const float* values() const { return m_values; }
    std::size_t count() const { return m_count; }

private:
    const float* m_values;
    std::size_t m_count;
};

class cShader_GLSL : public cShader
{
public:
    // One failed step of a build: the error text and the compiler's or linker's log.
    struct sBuildError
    {
        std::string error;
        std::string listing;
    };
    // Outcome of compiling and linking a pair. On failure every GL object is already deleted
    // and `program` is 0; the flags say which step failed.
    struct sBuild
    {
        unsigned vertex = 0;
        unsigned fragment = 0;
        unsigned program = 0;
        bool vertex_failed = false;
        bool fragment_failed = false;
        bool link_failed = false;
        std::vector<sBuildError> errors; // in the order they arose
        // The files read or looked for (both stages and their includes) and their stamps as
        // read: what a later reload compares.
        std::vector<std::string> watched;
        std::string stamp;
        bool ok() const { return program != 0; }
    };
    // Resolves both names through the search paths, compiles both sources (the fragment one
    // also when the vertex one failed) and links them. Prints nothing, never exits.
    // A source line `#include "name"` splices in that file, looked for beside the including
    // file first, then through the search paths; each file enters a stage once. A missing file,
    // an include cycle, nesting deeper than 16 or a #version outside the stage's own file fails
    // the stage with the file and line in the error. Each space-separated name in `in_defines`
    // is defined (`#define NAME`) in both stages, right after their #version lines.
    static sBuild compile_and_link(const std::string& in_vertex_file,
                                   const std::string& in_fragment_file,
                                   const std::string& in_defines = "");

    // `in_context` is the address of the manager's context field, read at every use; the
    // profiles are the GLSL versions the manager chose (e.g. 450), copied.
    cShader_GLSL(void* const* in_context, const int& in_vprof, const int& in_fprof);
    ~cShader_GLSL() override;
    cShader_GLSL(const cShader_GLSL&) = delete;
    cShader_GLSL& operator=(const cShader_GLSL&) = delete;

    // Builds the pair and looks the parameters up. A source that is missing or does not
    // compile or link prints the error block and the failing name, and ends the program (1).
    bool load_from_files(std::string in_vertex_file, std::string in_fragment_file) override;
    // Rebuilds the pair from its (edited) files for author tools: on failure prints the error
    // block, keeps the running program and returns false.
    bool reload_from_files(const std::string& in_vertex_file, const std::string& in_fragment_file);

    // Outcome of reload_if_changed().
    enum eReload
    {
        RELOAD_UNCHANGED,
        RELOAD_DONE,
        RELOAD_FAILED, // the error block was printed; the running program stays
    };
    // Rebuilds the pair when one of its source files or the files they include changed on
    // disk (time, size, or which search path holds it) since it was last built or tried. A failed
    // try is not repeated until the files change again.
    eReload reload_if_changed();
    // "vertex / fragment" as passed.
    const std::string& files() const { return m_files; }

    // glUseProgram, then the stored parameter values.
    void bind() override;
    // Releases the texture parameters, then glUseProgram(0).
    void unbind() override;

    unsigned get_program() const { return m_program; }

    // A sampler of the sources and the texture unit it reads (0 for GL_TEXTURE0).
    struct sSampler
    {
        const char* name;
        int unit;
    };

protected:
    // The effect's samplers; set by the effect's constructor before load_from_files(). Every
    // link points them at their units; one the programs lack is reported on the error stream.
    void set_samplers(std::vector<sSampler> in_samplers) { m_samplers = std::move(in_samplers); }
    // Names defined in both stages (space-separated), for effects built from one source in
    // several variants; set before load_from_files(), kept for reloads.
    void set_defines(std::string in_defines) { m_defines = std::move(in_defines); }
    // Location of a uniform of the linked pair; -1 when the programs lack it.
    int get_named_parameter(const char* in_name) const;
    // The value of a one-float parameter (a cVar<float>), or null after an error line saying
    // that `in_what` expects one float, when the variable is missing or of another type.
    static const float* float_parameter(iVar* in_var, const char* in_what);
    // The values of a parameter of `in_count` floats (a cFloatsVar of that length), or null
    // after an error line saying what `in_what` expects and what it got.
    static const float* floats_parameter(iVar* in_var, std::size_t in_count, const char* in_what);
    // The error line for a parameter id the effect does not have.
    static void report_unknown_parameter(const char* in_shader, int in_parm_name);

private:
    // Takes the built objects over (deleting the previous ones) and runs the set-up hooks.
    void adopt(const sBuild& in_build);
    // Adopts a build of the pair and notes its files for reloading.
    void keep_build(const std::string& in_vertex_file, const std::string& in_fragment_file,
                    const sBuild& in_build);
    void release_programs();
    void assign_texture_units() const;

    void* const* m_context = nullptr;
    int m_vprof = 0;
    int m_fprof = 0;
    unsigned m_vp = 0;         // vertex shader object, owned
    unsigned m_fp = 0;         // fragment shader object, owned
    unsigned m_program = 0;    // the linked program, owned
    std::string m_files;       // "vertex / fragment" as passed, for messages
    std::string m_vertex_file; // as passed, for reloading
    std::string m_fragment_file;
    std::string m_defines;              // see set_defines()
    std::vector<std::string> m_watched; // the files of the last build or try, includes too
    std::string m_source_stamp;         // where and when they were read
    std::vector<sSampler> m_samplers;
};
