// Surface description of a mesh range: colours, shininess, illumination model and texture maps,
// and its OpenGL form that binds the maps on their texture units.
#pragma once

#include <string>

#include "tex_proxy.h"

class cMaterial
{
public:
    virtual ~cMaterial() = default;

    // Every value of `other` except its name.
    virtual void copy_values(const cMaterial& other);
    // Sets the fixed-function material state for the illumination model (0: flat emission of
    // the diffuse colour, 1: no specular, 2 and 4: full; others leave the state alone).
    virtual void apply() const;

    std::string m_name;
    std::string m_tex_ambient;
    std::string m_tex_diffuse;
    std::string m_tex_specular;
    std::string m_tex_bump;
    std::string m_tex_transparency;
    float m_emission[4] = {0, 0, 0, 0};
    float m_ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float m_diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float m_specular[4] = {0, 0, 0, 1.0f};
    float m_shininess = 0;
    int m_illum = 2;
    float m_dissolve = 1.0f; // 1 = opaque
    float m_optical_density = 1.0f;
};

class cMaterial_GL : public cMaterial
{
public:
    // copy_values, then the emission colour and the four texture handles of `other` (a
    // missing map stays missing).
    virtual void assign(const cMaterial_GL& other);
    // apply(), then each present map on its unit: ambient 2, diffuse 0, specular 1, with a
    // white colour of that kind. Unit 0 is active afterwards.
    virtual void bind();
    void unbind();
    // Fetches the named maps from the texture manager (the transparency map stands in for a
    // missing diffuse one) and copies the dissolve into the four colours' alpha.
    void load_textures();

    cTexProxy m_ambient_map;
    cTexProxy m_diffuse_map;
    cTexProxy m_specular_map;
    cTexProxy m_bump_map; // loaded, never bound by the material
};
