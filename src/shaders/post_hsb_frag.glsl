// Hue, saturation and brightness: the hue turns about the grey axis by -H_adjust radians (a
// positive hue in degrees turns red towards green), the saturation scales the distance from
// grey by S_adjust and B_adjust is added to every channel. 0, 1, 0 is the identity.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform float H_adjust;
uniform float S_adjust;
uniform float B_adjust;

vec3 rotate_hue(vec3 c, float angle)
{
    const vec3 k = vec3(0.5773502692);
    float cs = cos(angle);
    return c * cs + cross(k, c) * sin(angle) + k * dot(k, c) * (1.0 - cs);
}

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec3 rgb = rotate_hue(c.rgb, -H_adjust);
    float grey = dot(rgb, vec3(1.0 / 3.0));
    rgb = mix(vec3(grey), rgb, S_adjust) + B_adjust;
    gl_FragColor = vec4(clamp(rgb, 0.0, 1.0), c.a);
}
