// Colour dodge: below / (1 - layer), clamped to white, faded in by the layer's alpha times the
// opacity. A white layer channel saturates the channel below (black stays black).
#version 120
#include "comp_layer.glsl"

void main()
{
    gl_FragColor = blend_dodge(layer_colour(), below_colour(), gl_Color.a);
}
