// Linked into Glimmerfall's tests: the GL fixture searches the production's folders as the
// program does, and the tests that run the program find it.
#include "glimmerfall.h"
#include "support/gl_fixture.h"
#include "support/process.h"

namespace vnt_test {

std::vector<std::string> test_search_dirs()
{
    return cGlimmerfall::search_dirs();
}

std::string demo_exe()
{
    return VANTOR_DEMO_EXE;
}

} // namespace vnt_test
