// Hue, saturation and brightness: the hue turns by -H_adjust radians on the colour wheel (a
// positive hue in degrees turns red towards yellow and green, 120 degrees makes it green), the
// saturation scales the distance from grey by S_adjust and B_adjust is added to every channel.
// 0, 1, 0 is the identity; the alpha is kept.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform float H_adjust;       // radians, sign inverted
uniform float S_adjust;       // saturation factor
uniform float B_adjust;       // added to every channel

#include "hsv.glsl"

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec3 hsv = rgb_to_hsv(clamp(c.rgb, 0.0, 1.0));
    hsv.x = fract(hsv.x - H_adjust / 6.2831853);
    vec3 rgb = hsv_to_rgb(hsv);
    float grey = dot(rgb, vec3(1.0 / 3.0));
    rgb = mix(vec3(grey), rgb, S_adjust) + B_adjust;
    gl_FragColor = vec4(clamp(rgb, 0.0, 1.0), c.a);
}
