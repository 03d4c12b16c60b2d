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

// Hue in turns (0..1), saturation, value.
vec3 rgb_to_hsv(vec3 c)
{
    float hi = max(c.r, max(c.g, c.b));
    float lo = min(c.r, min(c.g, c.b));
    float d = hi - lo;
    float h = 0.0;
    if (d > 0.0) {
        if (hi == c.r)
            h = (c.g - c.b) / d;
        else if (hi == c.g)
            h = 2.0 + (c.b - c.r) / d;
        else
            h = 4.0 + (c.r - c.g) / d;
        h = fract(h / 6.0);
    }
    return vec3(h, hi > 0.0 ? d / hi : 0.0, hi);
}

vec3 hsv_to_rgb(vec3 c)
{
    vec3 p = abs(fract(c.x + vec3(0.0, 2.0 / 3.0, 1.0 / 3.0)) * 6.0 - 3.0);
    return c.z * mix(vec3(1.0), clamp(p - 1.0, 0.0, 1.0), c.y);
}

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
