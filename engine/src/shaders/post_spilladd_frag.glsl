// Spill: the picture plus the second picture (a glow), a + b; the more opaque of the two
// alphas is kept so the glow can spill over transparent parts.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect a; // unit 0
uniform sampler2DRect b; // unit 1

void main()
{
    vec4 ca = texture2DRect(a, gl_TexCoord[0].xy);
    vec4 cb = texture2DRect(b, gl_TexCoord[1].xy);
    gl_FragColor = vec4(min(ca.rgb + cb.rgb, 1.0), max(ca.a, cb.a));
}
