// Running programs from tests (see process.h).
#include "support/process.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "support/test_media.h"

namespace vnt_test {

sProcessResult run_process(const std::string& command)
{
    char out_name[] = "/tmp/vnt_outXXXXXX";
    char err_name[] = "/tmp/vnt_errXXXXXX";
    const int out_fd = mkstemp(out_name);
    const int err_fd = mkstemp(err_name);
    close(out_fd);
    close(err_fd);
    const std::string full = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + command + " >" +
                             out_name + " 2>" + err_name;
    const int raw = std::system(full.c_str());
    sProcessResult result;
    if (raw != -1 && WIFEXITED(raw))
        result.status = WEXITSTATUS(raw);
    result.out = read_file(out_name);
    result.err = read_file(err_name);
    std::remove(out_name);
    std::remove(err_name);
    return result;
}

std::string source_dir()
{
    return VANTOR_SOURCE_DIR;
}

} // namespace vnt_test
