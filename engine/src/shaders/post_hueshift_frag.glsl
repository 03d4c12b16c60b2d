// Hue shift: like the HSB adjustment, but the hue also turns with the pixel's luminance,
// mult_adjust full turns from black to white, so a picture runs through the colour wheel along
// its brightness. The alpha is kept.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform float H_adjust;       // radians, sign inverted
uniform float S_adjust;       // saturation factor
uniform float B_adjust;       // added to every channel
uniform float mult_adjust;    // hue turns per unit of luminance

#include "hsv.glsl"

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec3 rgb = clamp(c.rgb, 0.0, 1.0);
    float luma = dot(rgb, vec3(0.299, 0.587, 0.114));
    vec3 hsv = rgb_to_hsv(rgb);
    hsv.x = fract(hsv.x - H_adjust / 6.2831853 + mult_adjust * luma);
    rgb = hsv_to_rgb(hsv);
    float grey = dot(rgb, vec3(1.0 / 3.0));
    rgb = mix(vec3(grey), rgb, S_adjust) + B_adjust;
    gl_FragColor = vec4(clamp(rgb, 0.0, 1.0), c.a);
}
