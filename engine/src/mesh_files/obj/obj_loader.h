// Reader of Wavefront ".obj" meshes: the line parser, triangulation and the conversion into a
// mesh object with one vertex per distinct corner.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mesh_files/material.h"
#include "mesh_files/mesh_obj.h"

class iMeshLoader_data : public iMeshType
{
public:
    static constexpr uint8_t T_NOTTRIS_BIT_ = 128; // some face has more than three corners
};

class iMeshLoader
{
public:
    virtual ~iMeshLoader() = default;
    virtual bool load_file(const std::string& path) = 0;
    virtual void triangulate() = 0;
    virtual void fix_texcoords() = 0;
    virtual void smooth_normals() = 0;
};

// One face as read: zero-based indices per corner (texture and normal lists are empty when
// the face has none), the material it uses (-1: none) and its line, for messages.
struct sObjPolygon
{
    std::vector<int32_t> m_Vindex;
    std::vector<int32_t> m_Tindex;
    std::vector<int32_t> m_Nindex;
    int32_t m_material = -1;
    int m_line = 0;
};

class cObjLoader : public iMeshLoader, public iMeshLoader_data
{
public:
    // Reads the file at `path` and parses it; a missing file ends the program.
    bool load_file(const std::string& path) override;
    // Parses OBJ text; `source` names it in messages and locates its material libraries.
    void parse(const char* text, size_t size, const std::string& source);
    // Splits every face of more than three corners into a fan of triangles, in place; faces
    // of fewer than three corners are dropped.
    void triangulate() override;
    // Faces without texture indices use the first texture coordinate.
    void fix_texcoords() override;
    // One normal per position, from the area-weighted face normals around it.
    void smooth_normals() override;
    // Fills `mesh` (flags, lists, ranges, materials) from the triangulated faces.
    void convert(cMeshObj& mesh);

    // Hands the text of a material library named by "mtllib" to the parser; false when it
    // cannot be had. By default the library is found through the search paths (or beside the
    // OBJ file) and read from disk.
    std::function<bool(const std::string& name, std::string& text)> m_read_library;

    std::vector<float> m_positions; // x y z w per "v"
    std::vector<float> m_texcoords; // u v per "vt"
    std::vector<float> m_normals;   // x y z per "vn"
    std::vector<sObjPolygon> m_polys;
    std::vector<cMaterial_GL> m_materials;
    std::vector<float> m_smooth; // x y z per position, made by smooth_normals()

private:
    void read_vertex(const std::vector<std::string_view>& tokens, int line);
    void read_texcoord(const std::vector<std::string_view>& tokens, int line);
    void read_normal(const std::vector<std::string_view>& tokens, int line);
    void read_face(const std::vector<std::string_view>& tokens, int line);
    void use_material(const std::vector<std::string_view>& tokens, int line);
    void load_library(const std::vector<std::string_view>& tokens);
    void drop_faces_out_of_range();
    bool read_library_file(const std::string& name, std::string& text) const;

    std::string m_source;
    int32_t m_current_material = -1;
};

class ObjLoader
{
public:
    // A new mesh from the OBJ file `name` (found through the search paths), materials and
    // their textures loaded; not yet uploaded. A missing file ends the program.
    static cMeshObj* create(const std::string& name);
};
