// The layer added onto the picture below, weighted by its alpha times the opacity.
#version 120
#include "comp_layer.glsl"

void main()
{
    vec4 l = layer_colour();
    vec4 b = below_colour();
    float a = l.a * gl_Color.a;
    gl_FragColor = vec4(min(b.rgb + l.rgb * a, 1.0), a + b.a * (1.0 - a));
}
