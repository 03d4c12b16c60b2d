// Linked into the engine's tests: the GL fixture searches the engine's own folders only.
#include "support/gl_fixture.h"

namespace vnt_test {

std::vector<std::string> test_search_dirs()
{
    return {};
}

} // namespace vnt_test
