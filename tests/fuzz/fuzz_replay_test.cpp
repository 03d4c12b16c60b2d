// Replays the fuzzers' hand-made seeds, the inputs of past findings and the generated content
// through every file reader, each input in a child process. A reader either reads the input or
// ends the program with one of its own exit statuses, never without a message; seeds named
// "bad_*" must be refused, the other seeds and the demo's own content must be read.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <streambuf>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz_inputs.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace {

// Passes the error stream on, character by character, and counts what went through.
class cCountingBuffer : public std::streambuf
{
public:
    explicit cCountingBuffer(std::streambuf* in_out) : m_out(in_out) {}
    size_t count() const { return m_count; }

protected:
    int overflow(int c) override
    {
        m_count += c != traits_type::eof();
        return c == traits_type::eof() ? traits_type::not_eof(c) : m_out->sputc(char(c));
    }

private:
    std::streambuf* m_out;
    size_t m_count = 0;
};

bool g_returned = false;
cCountingBuffer* g_errors = nullptr;

// Child side: exit status 0 when the reader took the input, the reader's own status when it
// refused it, and 99 when it refused it without a word on the error stream.
[[noreturn]] void read_and_exit(const vnt_fuzz::sReader& in_reader, const std::vector<uint8_t>& in)
{
    // Never destroyed: the standard streams flush through it after the statics are gone.
    g_errors = new cCountingBuffer(std::cerr.rdbuf());
    std::cerr.rdbuf(g_errors);
    std::cout.rdbuf(nullptr); // progress lines
    std::atexit([] {
        if (!g_returned && g_errors->count() == 0) {
            static const char text[] = "refused without a message\n";
            (void)!write(2, text, sizeof(text) - 1);
            _exit(99);
        }
    });
    in_reader.feed(in.data(), in.size());
    g_returned = true;
    std::exit(0);
}

std::vector<uint8_t> read_bytes(const fs::path& in_path)
{
    const std::string bytes = vnt_test::read_file(in_path.string());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<fs::path> files_in(const fs::path& in_dir, const std::string& in_ext = "")
{
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::is_directory(in_dir, ec))
        return out;
    for (const auto& entry : fs::recursive_directory_iterator(in_dir, ec))
        if (entry.is_regular_file() && (in_ext.empty() || entry.path().extension() == in_ext))
            out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

// Runs one input in a child and checks how it ended.
void expect_outcome(const vnt_fuzz::sReader& in_reader, const std::vector<uint8_t>& in_bytes,
                    const std::set<int>& in_statuses, const std::string& in_what)
{
    EXPECT_EXIT(
        read_and_exit(in_reader, in_bytes),
        [in_statuses](int st) { return WIFEXITED(st) && in_statuses.count(WEXITSTATUS(st)) > 0; },
        "")
        << in_what;
}

std::set<int> refusals(const vnt_fuzz::sReader& in_reader)
{
    std::set<int> out;
    for (int s : in_reader.fatal_statuses)
        out.insert(s & 0xff);
    return out;
}

void replay(const std::string& in_name)
{
    const vnt_fuzz::sReader* reader = vnt_fuzz::find_reader(in_name);
    ASSERT_NE(reader, nullptr) << in_name;
    const fs::path root = fs::path(VANTOR_SOURCE_DIR) / "tests" / "fuzz";
    const std::vector<fs::path> seeds = files_in(root / "seeds" / in_name);
    const std::vector<fs::path> found = files_in(root / "regressions" / in_name);
    ASSERT_FALSE(seeds.empty()) << "no seeds for the " << in_name << " reader";

    // A seed is a valid file unless its name says otherwise, and must be read; a past
    // finding may be read or refused, as long as the reader does not crash.
    int refused = 0;
    for (const fs::path& file : seeds) {
        const bool bad = file.filename().string().rfind("bad_", 0) == 0;
        std::set<int> statuses = bad ? refusals(*reader) : std::set<int>{0};
        if (bad) {
            ++refused;
            ASSERT_FALSE(statuses.empty()) << in_name << " refuses nothing; rename " << file;
        }
        expect_outcome(*reader, read_bytes(file), statuses, file.string());
    }
    for (const fs::path& file : found) {
        std::set<int> statuses = refusals(*reader);
        statuses.insert(0);
        expect_outcome(*reader, read_bytes(file), statuses, file.string());
    }
    if (!reader->fatal_statuses.empty())
        EXPECT_GT(refused, 0) << "no input the " << in_name << " reader must refuse";
}

} // namespace

TEST(FuzzReplay, SeedsAndPastFindingsOfEveryReader)
{
    for (const vnt_fuzz::sReader& reader : vnt_fuzz::readers())
        replay(reader.name);
}

// The generated content goes through the same readers and checks, and is read without refusal.
TEST(FuzzReplay, GeneratedContentIsRead)
{
    const fs::path data = fs::path(VANTOR_SOURCE_DIR) / "data";
    int files = 0;
    for (auto [folder, ext, reader] : {std::tuple{"models", ".bzobj", "bzobj"},
                                       {"models", ".txt", "campath"},
                                       {"music", ".mid", "midi"},
                                       {"script", ".txt", "markers"}}) {
        for (const fs::path& file : files_in(data / folder, ext)) {
            std::vector<uint8_t> bytes = read_bytes(file);
            if (std::string(reader) == "bzobj")
                bytes.insert(bytes.begin(), 0); // a whole file, as the fuzzer's inputs say
            expect_outcome(*vnt_fuzz::find_reader(reader), bytes, {0}, file.string());
            ++files;
        }
    }
    if (files == 0)
        GTEST_SKIP() << "no generated content in " << data.string();
}
