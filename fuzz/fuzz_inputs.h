// One input fed to each of the demo's file readers, as the fuzzers and the replay test do it.
// Besides surviving the bytes, every reader must hand over what its callers rely on; a broken
// promise aborts with a line naming it. A rejected file leaves through vnt::fatal_exit.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cam_path.h"
#include "event_queue.h"
#include "event_queue_factory.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "mesh_files/obj/mtl_loader.h"
#include "mesh_files/obj/obj_loader.h"
#include "midi_event.h"
#include "midi_loader.h"

namespace vnt_fuzz {

inline void require(bool in_ok, const char* in_promise)
{
    if (!in_ok) {
        std::fprintf(stderr, "fuzz: broken promise: %s\n", in_promise);
        std::abort();
    }
}

// What a mesh reader hands to the vertex buffers and to drawing per material range.
inline void check_mesh(const cMeshObj& mesh)
{
    const size_t vertices = mesh.m_pos.size() / 3;
    require(mesh.m_pos.size() % 3 == 0, "three position floats per vertex");
    require(mesh.m_elem.size() % 3 == 0, "three indices per triangle");
    for (uint32_t i : mesh.m_elem)
        require(i < vertices, "every index addresses a vertex");
    if (mesh.checktypebit(iMeshType::T_NORMALS_BIT))
        require(mesh.m_norm.size() == vertices * 3, "one normal per vertex");
    if (mesh.checktypebit(iMeshType::T_DTEX_BIT))
        require(mesh.m_tex0.size() == vertices * 2, "one texture coordinate per vertex");

    const std::vector<tMatRange>& ranges = mesh.m_matranges;
    require(ranges.size() >= 2, "a material range and the terminator");
    require(ranges.front().first == 0, "the first range starts at index 0");
    require(ranges.back().first == mesh.m_elem.size() && ranges.back().second == -1,
            "the terminator (size of the index list, -1)");
    for (size_t i = 0; i + 1 < ranges.size(); ++i) {
        require(ranges[i].first <= ranges[i + 1].first, "ranges in index order");
        require(ranges[i].second >= 0, "a material number in every range");
        if (mesh.checktypebit(iMeshType::T_MATERIALS_BIT))
            require(size_t(ranges[i].second) < mesh.m_materials.size(),
                    "drawn ranges name a material of the table");
    }
}

// Compressed mesh. The first byte chooses the form of the rest: even, a whole file; odd, a
// payload that is wrapped into a file here (so the fuzzer reaches the parser past zlib), its
// declared size cut short by byte / 2 when bit 1 is set.
inline void feed_bzobj(const uint8_t* in_data, size_t in_size)
{
    if (in_size == 0)
        return;
    const uint8_t mode = in_data[0];
    const uint8_t* data = in_data + 1;
    const size_t size = in_size - 1;
    cMeshObj mesh;
    if (!(mode & 1)) {
        bobj_load_compressed(mesh, data, size, "fuzz input");
    } else {
        uLongf packed = compressBound(uLong(size));
        std::vector<uint8_t> file(8 + packed);
        require(compress2(file.data() + 8, &packed, data, uLong(size), 1) == Z_OK,
                "zlib packs the payload");
        uint32_t declared = uint32_t(size);
        if (mode & 2)
            declared = declared > uint32_t(mode / 2) ? declared - uint32_t(mode / 2) : 0;
        const uint32_t header[2] = {declared, uint32_t(packed)};
        for (int k = 0; k < 2; ++k)
            for (int b = 0; b < 4; ++b)
                file[size_t(k) * 4 + size_t(b)] = uint8_t(header[k] >> (8 * b));
        bobj_load_compressed(mesh, file.data(), 8 + packed, "fuzz input");
    }
    check_mesh(mesh);
    // The mesh manager may ask for smooth normals on whatever the file held.
    smooth_normals(mesh);
    require(mesh.m_norm.size() == mesh.m_pos.size(), "smooth normals for every vertex");
}

// OBJ text; a zero byte ends it, and what follows is the text every "mtllib" reads.
inline void feed_obj(const uint8_t* in_data, size_t in_size)
{
    const std::string_view all(reinterpret_cast<const char*>(in_data), in_size);
    const size_t split = std::min(all.find('\0'), all.size());
    const std::string_view obj = all.substr(0, split);
    const std::string library(split < all.size() ? all.substr(split + 1) : std::string_view());

    cObjLoader loader;
    loader.m_read_library = [&library](const std::string&, std::string& text) {
        text = library;
        return true;
    };
    loader.parse(obj.data(), obj.size(), "fuzz.obj");
    // The order ObjLoader::create runs them in.
    loader.fix_texcoords();
    loader.triangulate();
    cMeshObj mesh;
    loader.convert(mesh);
    check_mesh(mesh);
}

inline void feed_mtl(const uint8_t* in_data, size_t in_size)
{
    std::vector<cMaterial_GL> materials;
    cMtlLoader().parse(reinterpret_cast<const char*>(in_data), in_size, "fuzz.mtl", materials);
}

// MIDI file, shifted by half a beat so that the offset correction runs as well.
inline void feed_midi(const uint8_t* in_data, size_t in_size)
{
    cEventQueue queue;
    sMidiFileInfo info;
    cMidiLoader::load_from_memory(in_data, in_size, queue, 0.5f, &info);
    require(queue.m_track_names.size() == info.m_num_tracks, "one name per declared track");
    for (size_t i = 0; i + 1 < queue.m_controllers.size(); ++i)
        require(queue.m_controllers[i] < queue.m_controllers[i + 1],
                "controller numbers ascending, each once");
    bool beat = false;
    int previous = 0;
    for (const cEvent* ev : queue.events()) {
        require(ev->m_time >= previous, "events sorted by time, none before 0");
        previous = ev->m_time;
        beat = beat || ev->m_id == EV_MIDI_BEAT;
        if (ev->m_id == EV_MIDI_BEAT)
            continue;
        require(ev->m_id == EV_MIDI, "only MIDI and beat events");
        const iMidiEvent* midi = dynamic_cast<const iMidiEvent*>(ev);
        require(midi && midi->m_track >= 0 && unsigned(midi->m_track) < info.m_num_tracks,
                "MIDI events carry the track they came from");
    }
    require(beat == (info.m_division > 0), "beat events exactly when the file counts beats");
}

inline void feed_markers(const uint8_t* in_data, size_t in_size)
{
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::load_from_text(
        std::string_view(reinterpret_cast<const char*>(in_data), in_size)));
    require(queue != nullptr, "a queue for any text");
    require(queue->cursor() == 0, "the queue comes rewound");
    int previous = 0;
    for (const cEvent* ev : queue->events()) {
        require(ev->m_time >= previous, "events sorted by time, none before 0");
        previous = ev->m_time;
        require(ev->is_valid() && ev->m_id != EV_DIGIT, "only events of known tokens");
        require(!cEventQueue_factory::token_name(ev->m_id).empty(), "an id a token gives");
    }
    // What the scene manager does with it: the start mark, then everything due.
    queue->find_next(EV_SCENE_FIRST);
    queue->seek(previous / 2);
    const int until = previous < INT_MAX ? previous + 1 : INT_MAX;
    while (const cEvent* ev = queue->pop_due(until))
        require(ev->m_time < until, "only due events fire");
    require(queue->cursor() == queue->size() || queue->events()[queue->cursor()]->m_time >= until,
            "every due event fires");
}

inline void feed_campath(const uint8_t* in_data, size_t in_size)
{
    CCamPath path;
    path.parse(std::string_view(reinterpret_cast<const char*>(in_data), in_size));
    for (const CCamPath::sKey& key : path.keys())
        for (const Vec3<float>* v : {&key.eye, &key.centre, &key.up})
            require(std::isfinite(v->x) && std::isfinite(v->y) && std::isfinite(v->z),
                    "keys hold finite numbers");
    // Scenes evaluate any progress an interpolator hands them.
    for (float t : {-1.0f, 0.0f, 0.3f, 0.5f, 0.99f, 1.0f, 2.0f, NAN, INFINITY}) {
        path.eye(t);
        path.centre(t);
        path.up(t);
    }
}

// Every reader, with the exit statuses its bad files may end the program with. The OBJ reader
// ends the program only for a file it cannot open: in memory it drops what it cannot use.
struct sReader
{
    const char* name;
    void (*feed)(const uint8_t*, size_t);
    std::vector<int> fatal_statuses;
};

inline const std::vector<sReader>& readers()
{
    static const std::vector<sReader> all = {
        {"bzobj", feed_bzobj, {-1, 1}}, {"obj", feed_obj, {}},
        {"mtl", feed_mtl, {}},          {"midi", feed_midi, {1}},
        {"markers", feed_markers, {}},  {"campath", feed_campath, {}},
    };
    return all;
}

inline const sReader* find_reader(const std::string& in_name)
{
    for (const sReader& r : readers())
        if (in_name == r.name)
            return &r;
    return nullptr;
}

} // namespace vnt_fuzz
