// The layer added onto the picture below, weighted by its alpha times the opacity.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect layer; // unit 0
uniform sampler2DRect below; // unit 1

void main()
{
    vec4 l = texture2DRect(layer, gl_TexCoord[0].xy);
    vec4 b = texture2DRect(below, gl_TexCoord[1].xy);
    float a = l.a * gl_Color.a;
    gl_FragColor = vec4(min(b.rgb + l.rgb * a, 1.0), a + b.a * (1.0 - a));
}
