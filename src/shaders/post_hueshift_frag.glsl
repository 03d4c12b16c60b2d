// Hue shift: like the HSB adjustment, but the hue also turns with the pixel's luminance,
// mult_adjust full turns from black to white, so a picture cycles through the colour wheel
// along its brightness.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform float H_adjust;       // radians, sign inverted
uniform float S_adjust;       // saturation factor
uniform float B_adjust;       // brightness offset
uniform float mult_adjust;    // hue turns per unit of luminance

vec3 rotate_hue(vec3 c, float angle)
{
    const vec3 k = vec3(0.5773502692);
    float cs = cos(angle);
    return c * cs + cross(k, c) * sin(angle) + k * dot(k, c) * (1.0 - cs);
}

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    float luma = dot(c.rgb, vec3(0.299, 0.587, 0.114));
    vec3 rgb = rotate_hue(c.rgb, -H_adjust + mult_adjust * luma * 6.2831853);
    float grey = dot(rgb, vec3(1.0 / 3.0));
    rgb = mix(vec3(grey), rgb, S_adjust) + B_adjust;
    gl_FragColor = vec4(clamp(rgb, 0.0, 1.0), c.a);
}
