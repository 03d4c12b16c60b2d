// The mandala's grading in one pass: the soft light drawn apart added (colours summed,
// coverages gathered, as drawing it first would), the colour correction through its lookup
// picture (per channel, the level picks a column of the lookup's middle row), then the hue,
// saturation and brightness adjustment; each step as its own pass would do it. The alpha (the
// coverages) is not graded.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform sampler2D lookup;     // unit 1, normalised coordinates
uniform sampler2DRect light;  // unit 2, `light_scale` times the picture's size
uniform vec3 adjust;          // hue (radians, sign inverted), saturation factor, added brightness
uniform float light_scale;

#include "hsv.glsl"
#include "hue_turn.glsl"

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec4 l = texture2DRect(light, gl_TexCoord[0].xy * light_scale);
    c = vec4(min(c.rgb + l.rgb, 1.0), c.a + l.a * (1.0 - c.a));
    vec3 u = c.rgb * (255.0 / 256.0) + 0.5 / 256.0;
    vec3 corrected = vec3(texture2D(lookup, vec2(u.r, 0.5)).r, texture2D(lookup, vec2(u.g, 0.5)).g,
                          texture2D(lookup, vec2(u.b, 0.5)).b);
    gl_FragColor = vec4(turn_hue(corrected, -adjust.x / 6.2831853, adjust.y, adjust.z), c.a);
}
