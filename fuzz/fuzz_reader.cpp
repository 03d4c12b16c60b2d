// libFuzzer entry for one of the file readers, chosen when the target is built (FUZZ_READER).
// The readers' log lines are swallowed (VANTOR_FUZZ_VERBOSE=1 keeps them); a fatal exit is the
// reader's answer to a bad file, as long as it ends with a status that reader may end with.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>

#include "fatal.h"
#include "fuzz_inputs.h"

namespace {

class cNullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

cNullBuffer g_null;
const vnt_fuzz::sReader* g_reader = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_reader = vnt_fuzz::find_reader(FUZZ_READER);
    if (!g_reader) {
        std::fprintf(stderr, "fuzz: no reader \"%s\"\n", FUZZ_READER);
        std::abort();
    }
    const char* verbose = std::getenv("VANTOR_FUZZ_VERBOSE");
    if (!verbose || !*verbose || *verbose == '0') {
        std::cout.rdbuf(&g_null);
        std::cerr.rdbuf(&g_null);
        std::clog.rdbuf(&g_null);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        g_reader->feed(data, size);
    } catch (const vnt::fatal_error& e) {
        const std::vector<int>& allowed = g_reader->fatal_statuses;
        if (std::find(allowed.begin(), allowed.end(), e.status()) == allowed.end()) {
            std::fprintf(stderr, "fuzz: the %s reader ended the program with status %d\n",
                         g_reader->name, e.status());
            std::abort();
        }
    }
    return 0;
}
