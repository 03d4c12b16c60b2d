// Materials (see material.h).
#include "material.h"

#include <algorithm>

#include "texture_manager.h"

namespace {

const GLfloat white[4] = {1, 1, 1, 1};
const GLfloat black[4] = {0, 0, 0, 1};

} // namespace

void cMaterial::copy_values(const cMaterial& other)
{
    m_tex_ambient = other.m_tex_ambient;
    m_tex_diffuse = other.m_tex_diffuse;
    m_tex_specular = other.m_tex_specular;
    m_tex_bump = other.m_tex_bump;
    m_tex_transparency = other.m_tex_transparency;
    std::copy_n(other.m_emission, 4, m_emission);
    std::copy_n(other.m_ambient, 4, m_ambient);
    std::copy_n(other.m_diffuse, 4, m_diffuse);
    std::copy_n(other.m_specular, 4, m_specular);
    m_shininess = other.m_shininess;
    m_illum = other.m_illum;
    m_dissolve = other.m_dissolve;
    m_optical_density = other.m_optical_density;
}

void cMaterial::apply() const
{
    switch (m_illum) {
    case 0:
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_diffuse);
        break;
    case 1:
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_emission);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
        break;
    case 2:
    case 4:
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_emission);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m_shininess, 0.0f, 128.0f));
        break;
    default:
        break;
    }
}

void cMaterial_GL::assign(const cMaterial_GL& other)
{
    copy_values(other);
    std::copy_n(other.m_emission, 4, m_emission);
    m_ambient_map = other.m_ambient_map;
    m_diffuse_map = other.m_diffuse_map;
    m_specular_map = other.m_specular_map;
    m_bump_map = other.m_bump_map;
}

void cMaterial_GL::bind()
{
    apply();
    if (m_ambient_map.isValid()) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
        m_ambient_map.bind(GL_TEXTURE2);
    }
    if (m_diffuse_map.isValid()) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
        m_diffuse_map.bind(GL_TEXTURE0);
    }
    if (m_specular_map.isValid()) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
        m_specular_map.bind(GL_TEXTURE1);
    }
    glActiveTextureARB(GL_TEXTURE0);
}

void cMaterial_GL::unbind()
{
    if (m_ambient_map.isValid())
        m_ambient_map.unbind();
    if (m_diffuse_map.isValid())
        m_diffuse_map.unbind();
    if (m_specular_map.isValid())
        m_specular_map.unbind();
    glActiveTextureARB(GL_TEXTURE0);
}

void cMaterial_GL::load_textures()
{
    cTextureManager* textures = cTextureManager::get_instance();
    if (!m_tex_ambient.empty())
        m_ambient_map = textures->get_texture(m_tex_ambient, true, GL_CLAMP, 0);
    if (!m_tex_diffuse.empty())
        m_diffuse_map = textures->get_texture(m_tex_diffuse, true, GL_CLAMP, 0);
    else if (!m_tex_transparency.empty())
        m_diffuse_map = textures->get_texture(m_tex_transparency, true, GL_REPEAT, 0);
    if (!m_tex_specular.empty())
        m_specular_map = textures->get_texture(m_tex_specular, true, GL_CLAMP, 0);
    if (!m_tex_bump.empty())
        m_bump_map = textures->get_texture(m_tex_bump, true, GL_CLAMP, 0);
    m_emission[3] = m_dissolve;
    m_ambient[3] = m_dissolve;
    m_diffuse[3] = m_dissolve;
    m_specular[3] = m_dissolve;
}
