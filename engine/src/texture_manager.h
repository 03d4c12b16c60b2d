// Image files turned into OpenGL textures once per name, handed out as cTexProxy values.
#pragma once

#include <map>
#include <string>

#include "gl_extensions.h"
#include "singleton.h"
#include "tex_proxy.h"

class cTextureManager : public vnt::tSingleton<cTextureManager>
{
public:
    // The texture for the image file `name` (found through the search paths by its last path
    // component). `textarget` 0 chooses: height 1 is 1D, power-of-two sides are 2D, anything
    // else a rectangle texture without mipmaps. The first request for a name fixes wrap mode,
    // filters and mipmaps; later requests get the same texture.
    cTexProxy get_texture(const std::string& name, bool mipmap, GLenum wrap, GLenum textarget);

    // Number of names in the cache, and whether `name` has been uploaded (for tests and tools).
    size_t size() const { return m_cache.size(); }
    bool is_uploaded(const std::string& name) const;

private:
    friend class vnt::tSingleton<cTextureManager>;
    cTextureManager() = default;
    ~cTextureManager();

    struct sEntry
    {
        unsigned image = 0; // DevIL image id
        GLuint texture = 0; // 0 until the first upload
    };

    // Decodes the file into a new DevIL image and enters it in the cache; false when it could
    // not be entered (the missing-file cases end the program before that).
    bool load(const std::string& name);
    void upload(const std::string& name, sEntry& entry, GLenum target, bool mipmap, GLenum wrap,
                unsigned width, unsigned height);

    std::map<std::string, sEntry> m_cache; // keyed by the name as the caller gave it
};
