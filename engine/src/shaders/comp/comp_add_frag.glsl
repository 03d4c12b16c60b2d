#version 120
#include "comp_add.glsl"
