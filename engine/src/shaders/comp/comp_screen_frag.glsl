// Screen blend: 1 - (1 - below)(1 - layer), faded in by the layer's alpha times the opacity.
#version 120
#include "comp_layer.glsl"

void main()
{
    vec4 l = layer_colour();
    vec4 b = below_colour();
    float a = l.a * gl_Color.a;
    vec3 screen = 1.0 - (1.0 - b.rgb) * (1.0 - l.rgb);
    gl_FragColor = vec4(mix(b.rgb, screen, a), a + b.a * (1.0 - a));
}
