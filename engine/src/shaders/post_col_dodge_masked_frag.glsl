// Colour dodge of a by b shown through a mask: the mask's luminance times its alpha blends
// from the plain picture a (0) to the dodged one (1).
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect a; // unit 0
uniform sampler2DRect b; // unit 1
uniform sampler2D mask;  // unit 2, normalised coordinates

void main()
{
    vec4 ca = texture2DRect(a, gl_TexCoord[0].xy);
    vec4 cb = texture2DRect(b, gl_TexCoord[1].xy);
    vec4 m = texture2D(mask, gl_TexCoord[2].xy);
    float amount = dot(m.rgb, vec3(0.299, 0.587, 0.114)) * m.a;
    vec3 dodge = min(ca.rgb / max(1.0 - cb.rgb, 1.0 / 512.0), 1.0);
    gl_FragColor = vec4(mix(ca.rgb, dodge, amount), ca.a);
}
