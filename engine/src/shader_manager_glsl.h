// Owner of every shader program: the GLSL profile choice, the registry by name, the bound
// shader and the stack that lets drawing code restore whatever shader was bound before it.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "singleton.h"

class cShader;
class iVar;

class cShaderManager_GLSL : public vnt::tSingleton<cShaderManager_GLSL>
{
public:
    // Prints the version lines, chooses the profiles (ends the program with -1 below GLSL
    // 1.20) and takes the current GL context.
    void init();
    // Reads GL_SHADING_LANGUAGE_VERSION; at least 1.20 is needed.
    void choose_profiles();
    // The profile choice for a version text ("4.50 Mesa" -> 450 for both profiles); prints the
    // two choice lines, or the error line and ends the program with -1 when unusable.
    static void choose_profiles_from(const char* in_version_text, int& out_vprof, int& out_fprof);
    // "1.20" -> 120, "4.60 NVIDIA" -> 460; 0 for a null or malformed text.
    static int parse_glsl_version(const char* in_text);

    // Builds effect class T under `in_name` (compiling its programs), unless the name exists;
    // T's constructor takes the context, the two profiles and then `in_args`.
    template <class T, class... tArgs>
    void add_shader(const std::string& in_name, tArgs... in_args);
    // Whether a shader of that name was added.
    bool has_shader(const std::string& in_name) const;

    // Unbinds the current shader (also when it is `in_shd_type`) and binds `in_shd_type`,
    // sending its stored parameter values. An unknown name is warned about; nothing is bound.
    void bind(const std::string& in_shd_type);
    // Unbinds the current shader, if any: fixed-function drawing.
    void disable();
    // Remembers the current shader ("null_shader" too) on the stack.
    void push_shader();
    // Rebinds (or disables) the shader remembered by the matching push_shader().
    void pop_shader();
    // Stores a parameter value in the named shader; sent at once when that shader is bound,
    // else at its next bind.
    void set_parameter(const std::string& in_shader, int in_parm_name, iVar* in_var);

    // Rebuilds every shader whose source files changed on disk since they were last built or
    // tried (the author's reload key). One that fails prints its error block and keeps its
    // running program. Prints a summary line.
    struct sReloadCount
    {
        int reloaded = 0;
        int failed = 0;
        int unchanged = 0;
    };
    sReloadCount reload_changed();

    // The compile/link report: the dashed block naming the current shader.
    void report_error(const std::string& in_error, const std::string& in_listing) const;

    const std::string& get_current_shader() const { return m_current_shader; }
    // The shader registered under `in_name`, or null.
    cShader* get_shader(const std::string& in_name) const;
    bool profiles_enabled() const { return m_vprof_enabled && m_fprof_enabled; }
    std::size_t stack_depth() const { return m_prev_shaders.size(); }
    void* get_context() const { return m_context; }

private:
    friend class vnt::tSingleton<cShaderManager_GLSL>;
    cShaderManager_GLSL();
    ~cShaderManager_GLSL();

    // False (after the duplicate warning) when `in_name` is taken.
    bool may_add(const std::string& in_name) const;
    void insert_shader(const std::string& in_name, std::unique_ptr<cShader> in_shader);

    void* m_context = nullptr; // the GL context the programs live in; every shader reads it here
    int m_vprof = 0;           // chosen GLSL version, e.g. 450
    int m_fprof = 0;
    std::string m_current_shader = "null_shader";
    std::map<std::string, std::unique_ptr<cShader>> m_shaders;
    std::deque<std::string> m_prev_shaders; // used as a stack
    bool m_vprof_enabled = false;           // profile switches: no GL counterpart, kept as state
    bool m_fprof_enabled = false;
};

// The block printed for a shader that fails to build: dashes, the error, the listing (when
// there is one), dashes, the current shader and the closing line.
void print_shader_error_block(std::ostream& os, const std::string& in_error,
                              const std::string& in_listing, const std::string& in_current);

template <class T, class... tArgs>
void cShaderManager_GLSL::add_shader(const std::string& in_name, tArgs... in_args)
{
    if (!may_add(in_name))
        return;
    insert_shader(in_name,
                  std::unique_ptr<cShader>(new T(&m_context, m_vprof, m_fprof, in_args...)));
}
