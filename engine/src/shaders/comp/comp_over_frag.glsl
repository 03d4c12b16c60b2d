// Layer over the picture below; the layer's alpha times the opacity decides how much of it
// covers. Opacity 0 gives the picture below unchanged.
#version 120
#include "comp_layer.glsl"

void main()
{
    gl_FragColor = blend_over(layer_colour(), below_colour(), gl_Color.a);
}
