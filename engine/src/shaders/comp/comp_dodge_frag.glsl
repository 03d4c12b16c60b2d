// Colour dodge: below / (1 - layer), clamped to white, faded in by the layer's alpha times the
// opacity. A white layer channel saturates the channel below (black stays black).
#version 120
#include "comp_layer.glsl"

void main()
{
    vec4 l = layer_colour();
    vec4 b = below_colour();
    float a = l.a * gl_Color.a;
    vec3 dodge = min(b.rgb / max(1.0 - l.rgb, 1.0 / 512.0), 1.0);
    gl_FragColor = vec4(mix(b.rgb, dodge, a), a + b.a * (1.0 - a));
}
