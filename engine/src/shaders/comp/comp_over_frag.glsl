#version 120
#include "comp_over.glsl"
