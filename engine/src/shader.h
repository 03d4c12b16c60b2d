// The interface every shading effect implements: a vertex and a fragment program loaded from
// two source files, bound and unbound by the shader manager, with typed parameters.
#pragma once

#include <stdexcept>
#include <string>

class iVar;

class cShader
{
public:
    virtual ~cShader() = default;

    // Compiles and links the pair; the names are resolved through the search paths.
    virtual bool load_from_files(std::string in_vertex_file, std::string in_fragment_file) = 0;
    virtual void bind() = 0;
    virtual void unbind() = 0;
    // Looks the effect's named parameters up in the freshly linked programs.
    virtual void init_parameters() = 0;
    // Stores a parameter value (by the effect's own id); it reaches the programs at bind time.
    virtual void set_parameter(int in_parm_name, iVar* in_var)
    {
        throw std::runtime_error("set_parameter not implemented for this shader");
    }
    // Hands every stored value to the bound programs.
    virtual void update_parameters() = 0;
    // Releases what update_parameters() enabled (texture parameters).
    virtual void disable_parameters() = 0;
};
