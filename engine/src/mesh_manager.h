// Cache of the loaded meshes by file name: the first request loads the file with the loader of
// its extension, prepares the mesh (material removal, smooth normals) and uploads it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "singleton.h"

class iMesh;

class cMeshManager : public vnt::tSingleton<cMeshManager>
{
public:
    enum eMeshFormat
    {
        MF_UNKNOWN = 0,
        MF_OBJ,
        MF_BZOBJ
    };

    // The cached mesh for the file part of `name`, loaded and prepared first when absent. A
    // later request with other flags gets the mesh as it was prepared the first time.
    iMesh* get(const std::string& name, bool clear, bool drop_materials, bool smooth_normals);
    // Loads, prepares and uploads `name` and stores it under its file part.
    void load(const std::string& name, bool clear, bool drop_materials, bool smooth_normals);

    // The text after the last "/" or "\".
    static std::string file_part(const std::string& name);
    // By the text after the last ".": "obj" and "bzobj" exactly (case matters).
    static eMeshFormat format_of(const std::string& name);

    size_t size() const { return m_meshes.size(); }

private:
    friend class vnt::tSingleton<cMeshManager>;
    cMeshManager();
    ~cMeshManager();

    std::map<std::string, std::unique_ptr<iMesh>> m_meshes; // owned until shutdown
};
