// The production's content (see glimmerfall.h).
#include "glimmerfall.h"

#include <exception>

namespace {

bool g_glimmerfall_exists = false;

class cSingleGlimmerfallError : public std::exception
{
public:
    const char* what() const noexcept override
    {
        return "only a single demo allowed at any one time...";
    }
};

} // namespace

cGlimmerfall::cGlimmerfall()
{
    if (!claim_single_demo(g_glimmerfall_exists))
        throw cSingleGlimmerfallError();
}

cGlimmerfall::~cGlimmerfall() { g_glimmerfall_exists = false; }

void cGlimmerfall::setup() {}
