// Screen blend: 1 - (1 - below)(1 - layer), faded in by the layer's alpha times the opacity.
#version 120
#include "comp_layer.glsl"

void main()
{
    gl_FragColor = blend_screen(layer_colour(), below_colour(), gl_Color.a);
}
