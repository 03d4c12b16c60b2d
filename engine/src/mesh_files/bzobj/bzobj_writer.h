// Writer of the compressed binary mesh format, for the project's asset generators and tests:
// what it writes, the reader reads back to the same lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class cMeshObj;

// The uncompressed payload of `mesh`. False, with the reason in `error`, when the mesh cannot
// be written: no vertices or faces, lists that do not match the flags, indices outside the
// vertex list, material ranges off triangle boundaries, or names longer than 127 bytes.
bool bobj_write_payload(const cMeshObj& mesh, std::vector<uint8_t>& out, std::string& error);
// The whole file: payload size, compressed size and the zlib stream (the same bytes on every
// run for the same mesh).
bool bobj_write_compressed(const cMeshObj& mesh, std::vector<uint8_t>& out, std::string& error);
// Writes the file at `path` (through a temporary name, so readers never see half a file).
bool bobj_save(const cMeshObj& mesh, const std::string& path, std::string& error);
