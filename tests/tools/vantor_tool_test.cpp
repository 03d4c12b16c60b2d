// The author tool run as authors run it, on files the tests write: the figures it prints for a
// MIDI file, a marker script, OBJ and compressed meshes and a camera path, the OBJ round trip
// through the compressed format, and its answers to bad files and bad arguments.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "events/midi_file_builder.h"
#include "mesh_files/bzobj/bzobj_loader.h"
#include "mesh_files/mesh_obj.h"
#include "support/process.h"
#include "support/test_media.h"

namespace {

using vnt_test::sProcessResult;

std::string shell_quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

sProcessResult tool(std::initializer_list<std::string> args, const std::string& cwd = "")
{
    std::string command = cwd.empty() ? "" : "cd " + shell_quote(cwd) + " && ";
    command += shell_quote(VANTOR_TOOL_EXE);
    for (const std::string& a : args)
        command += " " + shell_quote(a);
    return vnt_test::run_process(command);
}

bool write_bytes(const std::string& path, const midi_test::Bytes& bytes)
{
    return vnt_test::write_text(path, std::string(bytes.begin(), bytes.end()));
}

// The line that starts with `prefix`, or "" when none does.
std::string line_with(const std::string& text, const std::string& prefix)
{
    const std::size_t at = ("\n" + text).find("\n" + prefix);
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A run that must succeed.
sProcessResult tool_ok(std::initializer_list<std::string> args, const std::string& cwd = "")
{
    sProcessResult r = tool(args, cwd);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
}

// A run that ends with `status` and says `part` on its error stream.
void expect_refusal(const sProcessResult& r, int status, const std::string& part)
{
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_TRUE(contains(r.err, part)) << r.err;
}

// Every one of `lines` is a whole line of `text`.
void expect_lines(const std::string& text, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        EXPECT_TRUE(contains("\n" + text, "\n" + line + "\n")) << line << "\n" << text;
}

// The eight cells of the table row of MIDI track `index`, one blank apart.
std::string track_row(const std::string& out, int index)
{
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string cells, cell;
        int n = 0;
        for (; in >> cell; ++n)
            cells += (n ? " " : "") + cell;
        if (n == 8 && cells.rfind(std::to_string(index) + " ", 0) == 0)
            return cells;
    }
    return "";
}

const std::string g_dir = vnt_test::temp_dir("vantor_tool");

std::string file(const std::string& name)
{
    return g_dir + "/" + name;
}

// Three tracks at 480 ticks per quarter and 400000 us per quarter (150 bpm): a conductor, the
// cue track with two notes and two controllers, and an unnamed track whose first notes are on
// MIDI channel 2. The last event lies at tick 2400, 2000 ms.
midi_test::Bytes three_track_song()
{
    using midi_test::cTrack;
    cTrack conductor;
    conductor.name("conductor").tempo(0, 400000).end(2400);
    cTrack cues;
    cues.name("cues")
        .note_on(0, 48, 100)
        .msg(240, 0x80, 48, 0)
        .note_on(720, 54, 90)
        .note_on(0, 50, 0) // velocity 0: no event
        .msg(10, 0xB0, 74, 20)
        .msg(0, 0xB0, 7, 100)
        .end();
    cTrack other;
    other.note_on(0, 60, 100, 1).note_on(100, 62, 100, 1).note_on(1820, 60, 100).end();
    return midi_test::build_file(480, {conductor, cues, other});
}

const char* const CUBE_MTL = "# two used materials and one that no face uses\n"
                             "newmtl red\nKd 1 0 0\nillum 2\nmap_Kd vt_test_red.png\n"
                             "newmtl blue\nKd 0 0 1\nillum 1\nbump vt_test_missing_bump.png\n"
                             "newmtl odd\"name\x01\nillum 0\n";

// A box from (0, -2, -3) to (1, 2, 0.5) of six quads, four red, two blue, without normals.
const char* const CUBE_OBJ = "mtllib cube.mtl\n"
                             "v 0 -2 -3\nv 1 -2 -3\nv 1 2 -3\nv 0 2 -3\n"
                             "v 0 -2 0.5\nv 1 -2 0.5\nv 1 2 0.5\nv 0 2 0.5\n"
                             "usemtl red\nf 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 2 6 7 3\n"
                             "usemtl blue\nf 3 7 8 4\nf 5 1 4 8\n";

void write_cube()
{
    ASSERT_TRUE(vnt_test::write_text(file("cube.obj"), CUBE_OBJ) &&
                vnt_test::write_text(file("cube.mtl"), CUBE_MTL));
}

TEST(VantorTool, MidiReportShowsTrackIndicesTempoAndBeats)
{
    ASSERT_TRUE(write_bytes(file("song.mid"), three_track_song()));
    const sProcessResult r = tool_ok({"midi", file("song.mid")});
    expect_lines(r.out, {"header: format 1, 3 tracks, division 480 ticks per quarter note",
                         "ms per beat: 400", "beat events: 6", // at 0, 400, ..., 2000
                         "song length: 2000 ms (00:00:02,000)"});
    EXPECT_TRUE(contains(line_with(r.out, "tempo:"), "400000 us per quarter note (150 bpm)"));

    // index, name, note-ons, low, high, first ms, last ms, controllers
    EXPECT_EQ(track_row(r.out, 0), "0 conductor 0 - - - - -");
    EXPECT_EQ(track_row(r.out, 1), "1 cues 2 48 54 0 800 7,74");
    EXPECT_EQ(track_row(r.out, 2), "2 - 1 60 60 1600 1600 -");
    EXPECT_TRUE(contains(r.out, "track 2 has 2 note-ons on MIDI channels 2 to 16"));

    // Half a beat of offset moves notes by 200 ms, not the beats.
    const sProcessResult shifted = tool_ok({"midi", file("song.mid"), "--offset", "0.5"});
    EXPECT_EQ(track_row(shifted.out, 1), "1 cues 2 48 54 200 1000 7,74");
    EXPECT_EQ(line_with(shifted.out, "beat events:"), "beat events: 6");
}

TEST(VantorTool, MidiTimingOfLaterTemposAndTimeCodeFiles)
{
    using midi_test::cTrack;
    cTrack a, b;
    a.tempo(0, 500000).note_on(480, 60, 100).end();
    b.tempo(0, 250000).end(960);
    ASSERT_TRUE(write_bytes(file("tempi.mid"), midi_test::build_file(480, {a, b})));
    const sProcessResult r = tool_ok({"midi", file("tempi.mid")});
    // The last tempo read times the whole song.
    EXPECT_TRUE(contains(line_with(r.out, "tempo:"), "250000 us per quarter note (240 bpm)"));
    EXPECT_EQ(line_with(r.out, "ms per beat:"), "ms per beat: 250");
    EXPECT_EQ(track_row(r.out, 0), "0 - 1 60 60 250 250 -");
    EXPECT_TRUE(contains(r.out, "# warning: 2 tempo events"));

    // 25 frames of 40 ticks: one tick per millisecond, no beat grid.
    cTrack t;
    t.note_on(1500, 64, 100).end();
    const std::int16_t smpte = std::int16_t(-(25 << 8) | 40);
    ASSERT_TRUE(write_bytes(file("smpte.mid"), midi_test::build_file(smpte, {t})));
    const sProcessResult s = tool_ok({"midi", file("smpte.mid")});
    EXPECT_TRUE(contains(s.out, "25 frames per second, 40 ticks per frame"));
    EXPECT_EQ(track_row(s.out, 0), "0 - 1 64 64 1500 1500 -");
    EXPECT_EQ(line_with(s.out, "beat events:"), "beat events: 0");
}

TEST(VantorTool, MidiFilesTheReaderRefuses)
{
    expect_refusal(tool({"midi", file("nowhere.mid")}), 1, "Unable to open file");

    // The reader's own refusals are tested with the reader; here, that the tool passes one on.
    midi_test::Bytes cut = three_track_song();
    cut.resize(cut.size() - 5);
    ASSERT_TRUE(write_bytes(file("cut.mid"), cut));
    expect_refusal(tool({"midi", file("cut.mid")}), 1, "Track 3/3 runs past the end of the file!");

    EXPECT_EQ(tool({"midi"}).status, 2);
    EXPECT_EQ(tool({"midi", file("song.mid"), "--offset", "half"}).status, 2);
    EXPECT_EQ(tool({"midi", file("song.mid"), "--tempo", "1"}).status, 2);
}

TEST(VantorTool, MarkerEventsInTimeOrderThenTheReadersWarnings)
{
    ASSERT_TRUE(vnt_test::write_text(file("markers.txt"), "# the demo's marks\n"
                                                          "quit 01:00:00,0\n"
                                                          "technofx2 0:1:2,345\n"
                                                          "beat 00:00:01,500\r\n"
                                                          "s00 00:00:01,000\n"
                                                          "bogus 00:00:03,000\n"
                                                          "lead 1:2\n"
                                                          "123 comment line\n"
                                                          "\n"
                                                          "s100\t00:00:02,000\n"));
    const sProcessResult r = tool_ok({"markers", file("markers.txt")});
    const std::string events = r.out.substr(r.out.find("time "));
    EXPECT_TRUE(contains(events, "\n00:00:01,000  s00        0\n"
                                 "00:00:01,500  beat       25\n"
                                 "00:00:02,000  s100       22\n"
                                 "00:01:02,345  technofx2  32\n"
                                 "01:00:00,000  quit       41\n"
                                 "5 events\n"))
        << events;
    // Skipped lines come back as the reader's own warnings, after the events.
    const std::string warnings = r.out.substr(r.out.find("warnings:"));
    EXPECT_TRUE(contains(warnings, "unknown token bogus"));
    EXPECT_TRUE(contains(warnings, "invalid time \"1:2\""));
    EXPECT_FALSE(contains(warnings, "123"));

    // Without "s00" the demo stops on its first frame.
    ASSERT_TRUE(vnt_test::write_text(file("nostart.txt"), "beat 00:00:01,000\nquit 0:0:2,0\n"));
    const sProcessResult nostart = tool({"markers", file("nostart.txt")});
    expect_refusal(nostart, 1, "no \"s00\" mark");
    EXPECT_TRUE(contains(nostart.out, "00:00:01,000  beat"));

    const sProcessResult missing = tool({"markers", file("none.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.out, "Error reading file \"" + file("none.txt")));
}

TEST(VantorTool, ObjMeshReportCountsMaterialsRangesAndBounds)
{
    write_cube();
    ASSERT_TRUE(vnt_test::write_text(file("vt_test_red.png"), "not loaded"));
    const sProcessResult r = tool_ok({"mesh", file("cube.obj")});
    expect_lines(r.out, {"obj: 8 positions, 0 texture coordinates, 0 normals, 6 faces (6 with "
                         "more than three corners)",
                         "material library: cube.mtl (" + file("cube.mtl") + ")",
                         "flags: 0x12 = normals, draw per material", "vertices: 8", "triangles: 12",
                         "materials: 3",
                         "  0 \"red\": illumination model 2, diffuse (1, 0, 0), dissolve 1",
                         "material ranges: 2", "  triangles 0-7: material 0 \"red\"",
                         "  triangles 8-11: material 1 \"blue\"",
                         "bounding box: min (0, -2, -3), max (1, 2, 0.5), size (1, 4, 3.5)"});
    for (const char* part : {"diffuse texture: vt_test_red.png (beside the model only",
                             "bump texture: vt_test_missing_bump.png (not found)",
                             "  2 \"odd\"name?\": illumination model 0"})
        EXPECT_TRUE(contains(r.out, part)) << part;

    // JSON: the loader's own messages go to the error stream, names are escaped.
    const sProcessResult j = tool_ok({"mesh", "--json", file("cube.obj")});
    EXPECT_TRUE(j.out.size() > 2 && j.out.front() == '{' && j.out.substr(j.out.size() - 2) == "}\n")
        << j.out;
    EXPECT_FALSE(contains(j.out, "done reading obj."));
    EXPECT_TRUE(contains(j.err, "done reading obj."));
    for (const char* part :
         {"\"triangles\": 12", "\"vertices\": 8", "\"per_material\": true", "\"normals\": true",
          "\"min\": [0, -2, -3]", "\"max\": [1, 2, 0.5]", "\"name\": \"odd\\\"name\\u0001\"",
          "\"first_triangle\": 8", "\"name\": \"vt_test_missing_bump.png\""})
        EXPECT_TRUE(contains(j.out, part)) << part;
}

TEST(VantorTool, ConvertedObjLoadsWithTheSameFigures)
{
    write_cube();
    const sProcessResult c = tool({"convert", file("cube.obj"), file("cube.bzobj")});
    ASSERT_EQ(c.status, 0) << c.err; // the mesh is read back below
    EXPECT_TRUE(contains(c.out, "wrote " + file("cube.bzobj") +
                                    ": 8 vertices, 12 triangles, 3 materials, 2 material ranges"));

    const sProcessResult obj = tool({"mesh", file("cube.obj")});
    const sProcessResult bz = tool_ok({"mesh", file("cube.bzobj")});
    for (const char* key :
         {"flags:", "vertices:", "triangles:", "materials:", "  0 ", "  1 ",
          "material ranges:", "  triangles 0-", "  triangles 8-", "bounding box:"}) {
        EXPECT_FALSE(line_with(bz.out, key).empty()) << key;
        EXPECT_EQ(line_with(obj.out, key), line_with(bz.out, key)) << key;
    }

    // The engine's reader sees the ranges, the material table and the texture names.
    cMeshObj mesh;
    bobj_load_compressed(mesh, file("cube.bzobj"));
    EXPECT_EQ(mesh.m_matranges, (std::vector<tMatRange>{{0u, 0}, {24u, 1}, {36u, -1}}));
    ASSERT_EQ(mesh.m_materials.size(), 3u);
    const auto& m = mesh.m_materials;
    EXPECT_EQ(std::tuple(m[0].m_tex_diffuse, m[1].m_tex_bump, m[1].m_illum, m[2].m_name),
              std::tuple("vt_test_red.png", "vt_test_missing_bump.png", 1, "odd\"name\x01"));

    // Materials used again later are listed once per range, in range order.
    ASSERT_TRUE(vnt_test::write_text(file("aba.obj"), "mtllib cube.mtl\n"
                                                      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                                      "usemtl red\nf 1 2 3\n"
                                                      "usemtl blue\nf 1 3 4\n"
                                                      "usemtl red\nf 4 3 2\n"));
    const sProcessResult aba = tool_ok({"convert", file("aba.obj"), file("aba.bzobj")});
    EXPECT_TRUE(contains(aba.out, "one material per range, in range order: 3 table entries "
                                  "from 3 materials"));
    const sProcessResult aba_mesh = tool({"mesh", file("aba.bzobj")});
    EXPECT_EQ(line_with(aba_mesh.out, "  triangles 2-"), "  triangles 2-2: material 2 \"red\"");
}

TEST(VantorTool, ConvertOptionsDropMaterialsAndReplaceNormals)
{
    write_cube();
    const sProcessResult flat =
        tool_ok({"convert", file("cube.obj"), file("flat.bzobj"), "--drop-materials"});
    const sProcessResult flat_mesh = tool({"mesh", file("flat.bzobj")});
    expect_lines(flat_mesh.out, {"flags: 0x02 = normals", "materials: 0", "triangles: 12"});
    EXPECT_TRUE(contains(line_with(flat_mesh.out, "material ranges:"), "material ranges: 1 "));

    // A quad in the xy plane whose file normals point along x: smoothing gives it +z.
    ASSERT_TRUE(vnt_test::write_text(file("quad.obj"), "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                                       "vn 1 0 0\nf 1//1 2//1 3//1 4//1\n"));
    for (bool smooth : {false, true}) {
        const std::string out = file(smooth ? "smooth.bzobj" : "kept.bzobj");
        const sProcessResult r = smooth
                                     ? tool({"convert", file("quad.obj"), out, "--smooth-normals"})
                                     : tool({"convert", file("quad.obj"), out});
        ASSERT_EQ(r.status, 0) << r.err;
        cMeshObj mesh;
        bobj_load_compressed(mesh, out);
        ASSERT_EQ(mesh.m_norm.size(), mesh.m_pos.size());
        for (std::size_t i = 0; i < mesh.m_norm.size(); i += 3) {
            EXPECT_FLOAT_EQ(mesh.m_norm[i], smooth ? 0.0f : 1.0f);
            EXPECT_FLOAT_EQ(mesh.m_norm[i + 2], smooth ? 1.0f : 0.0f);
        }
    }
}

TEST(VantorTool, ConvertRefusesWhatTheDemoCouldNotLoad)
{
    write_cube();
    EXPECT_EQ(tool({"convert", file("cube.obj"), file("cube_copy.obj")}).status, 2);
    EXPECT_EQ(tool({"convert", file("cube.obj")}).status, 2);

    expect_refusal(tool({"convert", file("gone.obj"), file("gone.bzobj")}), 255,
                   "file was not found in path: " + file("gone.obj"));

    ASSERT_TRUE(vnt_test::write_text(file("points.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\n"));
    expect_refusal(tool({"convert", file("points.obj"), file("points.bzobj")}), 1,
                   "## ERROR: cannot write " + file("points.bzobj"));
    EXPECT_EQ(tool({"mesh", file("points.obj")}).status, 1);

    ASSERT_TRUE(vnt_test::write_text(file("model.ply"), "ply\n"));
    expect_refusal(tool({"convert", file("model.ply"), file("model.bzobj")}), 1, "no loader for");
}

TEST(VantorTool, CampathKeysBoxesAndLengthInTheDemosAxes)
{
    // Eye keys (0,0,0), (3,0,0), (3,4,0) in the file's z-up axes: (x, z, -y) in the demo's.
    ASSERT_TRUE(vnt_test::write_text(file("path.txt"), "(0,0,0)(1,2,3)(0,0,1)\n"
                                                       "(3,0,0)(1,2,3)(0,0,1)\n"
                                                       "(3,4,0) (1,2,3) (0,0,1)\n"));
    const sProcessResult r = tool_ok({"campath", file("path.txt")});
    expect_lines(r.out, {"keys: 3", "eye box: min (0, 0, -4), max (3, 0, 0)", "eye path length: 7",
                         "centre box: min (1, 3, -2), max (1, 3, -2)", "centre path length: 0"});

    // The keys before an unreadable one are kept, with the reader's warning.
    ASSERT_TRUE(vnt_test::write_text(file("broken.txt"), "(0,0,0)(1,2,3)(0,0,1)\n(x,y,z)\n"));
    const sProcessResult broken = tool({"campath", file("broken.txt")});
    expect_refusal(broken, 0, "unreadable camera key at line 2");
    EXPECT_EQ(line_with(broken.out, "keys:"), "keys: 1");

    ASSERT_TRUE(vnt_test::write_text(file("nokeys.txt"), "garbage\n"));
    EXPECT_EQ(tool({"campath", file("nokeys.txt")}).status, 1);
    expect_refusal(tool({"campath", file("nothere.txt")}), 1, "file not found");
}

TEST(VantorTool, VerbsHelpAndBareNamesFromTheDataFolders)
{
    const sProcessResult help = tool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* verb : {"midi", "markers", "mesh", "campath", "convert"}) {
        EXPECT_TRUE(contains(help.out, std::string("  ") + verb + " ")) << verb;
        const sProcessResult v = tool({verb, "--help"});
        EXPECT_EQ(v.status, 0) << verb;
        EXPECT_EQ(v.out.rfind(std::string("usage: vantor-tool ") + verb, 0), 0u) << verb;
    }
    EXPECT_EQ(tool({}).status, 2);
    EXPECT_EQ(tool({"render", "x"}).status, 2);

    // A bare name is found among the engine's assets, whatever the working folder.
    const sProcessResult r = tool_ok({"mesh", "plane_hz_mirror.bzobj"}, g_dir);
    EXPECT_TRUE(contains(line_with(r.out, "file:"), "vantor-assets/models/plane_hz_mirror.bzobj"));
}

} // namespace
