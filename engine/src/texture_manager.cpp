// Texture cache: DevIL decodes, OpenGL holds the pixels (see texture_manager.h).
#include "texture_manager.h"

#include <IL/il.h>

#include <cassert>
#include <fstream>
#include <iostream>

#include "fatal.h"
#include "resource_path.h"
#include "startup.h"

namespace {

bool is_power_of_two(unsigned v)
{
    return v && !(v & (v - 1));
}

std::string last_component(const std::string& name)
{
    const std::string::size_type cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

// Pixel data is handed to OpenGL as bytes in the image's own format, whose DevIL codes equal
// OpenGL's for RGB(A), BGR(A) and luminance. Palette images and deeper channels are turned into
// bytes first, so OpenGL never reads them as something else.
void convert_to_bytes()
{
    const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
    const ILint type = ilGetInteger(IL_IMAGE_TYPE);
    if (format == IL_COLOUR_INDEX)
        ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    else if (type != IL_UNSIGNED_BYTE)
        ilConvertImage(format, IL_UNSIGNED_BYTE);
}

} // namespace

cTextureManager::~cTextureManager()
{
    for (auto& [name, entry] : m_cache) {
        ILuint image = entry.image;
        ilDeleteImages(1, &image);
        if (entry.texture)
            glDeleteTextures(1, &entry.texture);
    }
    m_cache.clear();
}

bool cTextureManager::is_uploaded(const std::string& name) const
{
    const auto it = m_cache.find(name);
    return it != m_cache.end() && it->second.texture != 0;
}

bool cTextureManager::load(const std::string& name)
{
    const std::string fullpath = cResourcePath::get_instance()->get_fullpath(last_component(name));
    if (fullpath.empty()) {
        std::cerr << "## ERROR: in " << __FILE__ << " line " << __LINE__
                  << ": file was not found in path: \"" << name << "\"" << std::endl;
        vnt::fatal_exit(-1);
    }
    {
        std::ifstream probe(fullpath, std::ios::binary);
        if (!probe) {
            std::cerr << "## ERROR: in " << __FILE__ << " line " << __LINE__
                      << ": unable to open file " << fullpath << std::endl;
            vnt::fatal_exit(-1);
        }
    }

    ILuint id = 0;
    ilGenImages(1, &id);
    assert(id && "il_imgno");
    ilBindImage(id);
    if (!ilLoadImage(fullpath.c_str())) {
        // An undecodable file keeps the program going with a white placeholder; the library's
        // reasons are printed with the usual error check.
        check_il_error();
        std::cerr << "# WARNING: could not decode \"" << fullpath
                  << "\", using a white 1x1 placeholder" << std::endl;
        unsigned char white[4] = {255, 255, 255, 255};
        ilTexImage(1, 1, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, white);
    }
    convert_to_bytes();
    m_cache[name] = sEntry{id, 0};
    return true;
}

cTexProxy cTextureManager::get_texture(const std::string& name, bool mipmap, GLenum wrap,
                                       GLenum textarget)
{
    auto it = m_cache.find(name);
    if (it == m_cache.end()) {
        if (!load(name)) {
            std::cerr << "# ERROR in "
                      << "cTextureManager::get_texture"
                      << " - \"" << name << "\" not found" << std::endl;
            return cTexProxy();
        }
        it = m_cache.find(name);
    }
    sEntry& entry = it->second;

    ilBindImage(entry.image);
    const unsigned height = unsigned(ilGetInteger(IL_IMAGE_HEIGHT));
    const unsigned width = unsigned(ilGetInteger(IL_IMAGE_WIDTH));

    GLenum target = textarget;
    if (target == 0) {
        if (height == 1) {
            // A one-row image is a lookup table: no mipmaps (a 1D chain is never built).
            target = GL_TEXTURE_1D;
            mipmap = false;
        } else if (is_power_of_two(width) && is_power_of_two(height)) {
            target = GL_TEXTURE_2D;
        } else {
            target = GL_TEXTURE_RECTANGLE_ARB;
            mipmap = false;
        }
    }

    if (entry.texture == 0)
        upload(name, entry, target, mipmap, wrap, width, height);

    return cTexProxy(target, entry.texture, width, height);
}

void cTextureManager::upload(const std::string& name, sEntry& entry, GLenum textarget, bool mipmap,
                             GLenum wrap, unsigned width, unsigned height)
{
    glGenTextures(1, &entry.texture);
    const GLenum format = GLenum(ilGetInteger(IL_IMAGE_FORMAT));
    const ILubyte* tmp_img_data = ilGetData();
    assert(tmp_img_data);

    // Enables are pushed: the target is enabled only while the texture is filled.
    glPushAttrib(GL_ENABLE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glEnable(textarget);
    glBindTexture(textarget, entry.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // DevIL rows are tightly packed
    // Rectangle textures cannot repeat; asking for it would leave the wrap mode unset.
    if (textarget == GL_TEXTURE_RECTANGLE_ARB && (wrap == GL_REPEAT || wrap == GL_MIRRORED_REPEAT))
        wrap = GL_CLAMP_TO_EDGE;
    glTexParameteri(textarget, GL_TEXTURE_WRAP_S, GLint(wrap));
    glTexParameteri(textarget, GL_TEXTURE_WRAP_T, GLint(wrap));
    glTexParameteri(textarget, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmap) {
        glTexParameteri(textarget, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        assert(textarget == GL_TEXTURE_2D);
        gluBuild2DMipmaps(textarget, GL_RGBA, GLint(width), GLint(height), format, GL_UNSIGNED_BYTE,
                          tmp_img_data);
    } else {
        glTexParameteri(textarget, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        if (textarget == GL_TEXTURE_1D) {
            glTexImage1D(textarget, 0, GL_RGB, GLsizei(width), 0, format, GL_UNSIGNED_BYTE,
                         tmp_img_data);
        } else {
            assert((textarget == GL_TEXTURE_2D) || (textarget == GL_TEXTURE_RECTANGLE_ARB));
            glTexImage2D(textarget, 0, GL_RGBA, GLsizei(width), GLsizei(height), 0, format,
                         GL_UNSIGNED_BYTE, tmp_img_data);
        }
    }
    glPopClientAttrib();
    glDisable(textarget);
    glBindTexture(textarget, 0);
    check_il_error();
    check_gl_error("cTextureManager::get_texture " + name);
    glPopAttrib();
}
