// The layer added onto the picture below, weighted by its alpha times the opacity.
#version 120
#include "comp_layer.glsl"

void main()
{
    gl_FragColor = blend_add(layer_colour(), below_colour(), gl_Color.a);
}
