// Builds the fuzzers' seed corpora: the hand-made seeds, and inputs cut from the generated
// content (meshes as whole files and as bare payloads, the MIDI file, the marker script, the
// camera paths).
//   fuzz_make_corpus <hand-made seeds> <data folder> <output folder>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t MAX_MESH_FILE = 32 * 1024;    // compressed meshes taken as seeds
constexpr size_t MAX_MESH_PAYLOAD = 64 * 1024; // payloads taken as seeds

using tBytes = std::vector<uint8_t>;

tBytes read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return tBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "models/ganesh/frame.bzobj" under data/ becomes "models_ganesh_frame".
std::string seed_name(const fs::path& data, const fs::path& file)
{
    std::string name = fs::relative(file, data).replace_extension().generic_string();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

std::vector<fs::path> files_with(const fs::path& dir, const std::string& ext)
{
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return out;
    for (const auto& entry : fs::recursive_directory_iterator(dir, ec))
        if (entry.is_regular_file() && entry.path().extension() == ext)
            out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

// The payload of a compressed mesh file; empty when it does not inflate.
tBytes inflate(const tBytes& file)
{
    if (file.size() < 8)
        return {};
    const uint32_t P = uint32_t(file[0]) | uint32_t(file[1]) << 8 | uint32_t(file[2]) << 16 |
                       uint32_t(file[3]) << 24;
    if (P > MAX_MESH_PAYLOAD)
        return {};
    tBytes payload(P);
    uLongf length = P;
    if (uncompress(payload.data(), &length, file.data() + 8, uLong(file.size() - 8)) != Z_OK)
        return {};
    payload.resize(length);
    return payload;
}

struct sCorpus
{
    fs::path out;
    int written = 0;

    void add(const std::string& reader, const std::string& name, const tBytes& bytes)
    {
        const fs::path dir = out / reader;
        fs::create_directories(dir);
        std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (file)
            ++written;
        else
            std::cerr << "## ERROR: cannot write " << (dir / name).string() << std::endl;
    }
};

void add_meshes(const fs::path& data, sCorpus& corpus)
{
    for (const fs::path& file : files_with(data, ".bzobj")) {
        const tBytes bytes = read_file(file);
        const std::string name = seed_name(data, file);
        if (bytes.size() <= MAX_MESH_FILE) {
            tBytes seed{0};
            seed.insert(seed.end(), bytes.begin(), bytes.end());
            corpus.add("bzobj", "file_" + name, seed);
        }
        const tBytes payload = inflate(bytes);
        if (payload.empty())
            continue;
        tBytes seed{1};
        seed.insert(seed.end(), payload.begin(), payload.end());
        corpus.add("bzobj", "payload_" + name, seed);
    }
}

void add_plain(const fs::path& data, const fs::path& dir, const std::string& ext,
               const std::string& reader, sCorpus& corpus)
{
    for (const fs::path& file : files_with(dir, ext))
        corpus.add(reader, seed_name(data, file), read_file(file));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: fuzz_make_corpus <seeds folder> <data folder> <output folder>"
                  << std::endl;
        return 2;
    }
    const fs::path seeds = argv[1], data = argv[2];
    sCorpus corpus{argv[3]};

    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(seeds, ec)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path rel = fs::relative(entry.path(), seeds);
        corpus.add(rel.begin()->string(), "seed_" + entry.path().filename().string(),
                   read_file(entry.path()));
    }
    if (fs::is_directory(data, ec)) {
        add_meshes(data, corpus);
        add_plain(data, data / "music", ".mid", "midi", corpus);
        add_plain(data, data / "script", ".txt", "markers", corpus);
        add_plain(data, data / "models", ".txt", "campath", corpus);
    } else {
        std::cerr << "# warning: no generated content in " << data.string()
                  << " (build the data target); the corpus holds the hand-made seeds only"
                  << std::endl;
    }
    std::cerr << "# fuzz corpus: " << corpus.written << " seeds in " << corpus.out.string()
              << std::endl;
    return 0;
}
