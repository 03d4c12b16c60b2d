#version 120
#include "comp_screen.glsl"
