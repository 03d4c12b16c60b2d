// Layer over the picture below; the layer's alpha times the opacity decides how much of it
// covers. Opacity 0 gives the picture below unchanged.
#version 120
#include "comp_layer.glsl"

void main()
{
    vec4 l = layer_colour();
    vec4 b = below_colour();
    float a = l.a * gl_Color.a;
    gl_FragColor = vec4(mix(b.rgb, l.rgb, a), a + b.a * (1.0 - a));
}
