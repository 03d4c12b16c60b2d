// Ending the program on a fatal condition (see fatal.h).
#include "fatal.h"

#include <cstdlib>
#include <iostream>

namespace vnt {

void fatal_exit(int status)
{
    std::cout.flush();
    std::cerr.flush();
#ifdef VANTOR_FUZZING
    throw fatal_error(status);
#else
    std::exit(status);
#endif
}

} // namespace vnt
