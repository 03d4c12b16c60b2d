// The attractor's single-view grading in one pass, on the picture as the kaleidoscope sheet
// samples it: the hue shift (the hue also turning with the luminance), then the hue, saturation
// and brightness adjustment. Each step as its own pass would do it; the alpha is kept.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
// Hue shift: hue (radians, sign inverted), saturation factor, added brightness, hue turns per
// unit of luminance.
uniform vec4 shift;
// Then: hue (radians, sign inverted), saturation factor, added brightness.
uniform vec3 adjust;

#include "hsv.glsl"
#include "hue_turn.glsl"

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec3 rgb = clamp(c.rgb, 0.0, 1.0);
    float luma = dot(rgb, vec3(0.299, 0.587, 0.114));
    rgb = turn_hue(rgb, -shift.x / 6.2831853 + shift.w * luma, shift.y, shift.z);
    rgb = turn_hue(rgb, -adjust.x / 6.2831853, adjust.y, adjust.z);
    gl_FragColor = vec4(rgb, c.a);
}
