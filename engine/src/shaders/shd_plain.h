// Base of the effects without parameters: a fixed pair of sources, the texture units of their
// samplers and the names defined in both (a variant of shared sources). set_parameter() keeps
// the default, which refuses every parameter.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shader_glsl.h"

class cShdPlain : public cShader_GLSL
{
public:
    cShdPlain(void* const* in_context, const int& in_vprof, const int& in_fprof,
              const char* in_vertex_file, const char* in_fragment_file,
              std::vector<sSampler> in_samplers, std::string in_defines = "")
        : cShader_GLSL(in_context, in_vprof, in_fprof)
    {
        set_samplers(std::move(in_samplers));
        set_defines(std::move(in_defines));
        load_from_files(in_vertex_file, in_fragment_file);
    }

    void init_parameters() override {}
    void update_parameters() override {}
    void disable_parameters() override {}
};
