// With the layer's glow added first (see comp_layer.glsl).
#version 120
#define LAYER_GLOW
#include "comp_over.glsl"
