#version 120
#include "comp_dodge.glsl"
