// Colour dodge of the picture a by the picture b: a / (1 - b), clamped; a's alpha.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect a; // unit 0
uniform sampler2DRect b; // unit 1

void main()
{
    vec4 ca = texture2DRect(a, gl_TexCoord[0].xy);
    vec4 cb = texture2DRect(b, gl_TexCoord[1].xy);
    vec3 dodge = min(ca.rgb / max(1.0 - cb.rgb, 1.0 / 512.0), 1.0);
    gl_FragColor = vec4(dodge, ca.a);
}
