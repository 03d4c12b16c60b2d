// Start-up routines of the program, the two error checks every part calls after a batch of
// OpenGL or image-library work, and the exit handler that tears the singletons down.
#pragma once

#include <string>
#include <vector>

// Extension groups, the render-target pool, clear colour and viewport.
void init_gl();
// Checks the image-library versions (at least 167 each) and sets the library up for OpenGL
// with lower-left image origins; ends the program with -1 on failure.
void init_il();
// True when all three image-library versions are usable.
bool il_versions_ok(int il, int ilu, int ilut);
// The fixed OpenGL state every scene starts from.
void init_gl_state();
// The search paths: the production's folders first, in its order, then the engine's shaders and
// assets; then the shader manager.
void init_search_paths(const std::vector<std::string>& in_production_dirs = {});

// Reports one pending OpenGL error (the next call reports the next one); false when none.
bool check_gl_error(const std::string& location);
// Reports every pending image-library error; false when none.
bool check_il_error();

// The exit handler, registered with atexit once the start-up has succeeded.
void shutdown_on_exit();
