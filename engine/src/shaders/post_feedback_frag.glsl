// Feedback: the picture (unit 0) laid over the trail (unit 1), both read through the trail's
// transform, every channel times the vertex colour (1 - fade). One pass for what the picture
// over the trail, then that picture moved and darkened, would give.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect a; // unit 0: the picture
uniform sampler2DRect b; // unit 1: the trail

void main()
{
    vec4 p = texture2DRect(a, gl_TexCoord[0].xy);
    vec4 t = texture2DRect(b, gl_TexCoord[1].xy);
    gl_FragColor = gl_Color * vec4(mix(t.rgb, p.rgb, p.a), p.a + t.a * (1.0 - p.a));
}
