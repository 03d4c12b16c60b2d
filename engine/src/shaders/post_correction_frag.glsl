// Colour correction through a lookup picture: per channel, the input level picks a column of
// the lookup's middle row (256 columns, one per level) and that column's same channel is the
// output level. The alpha is kept.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform sampler2D lookup;     // unit 1, normalised coordinates

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    vec3 u = c.rgb * (255.0 / 256.0) + 0.5 / 256.0;
    float r = texture2D(lookup, vec2(u.r, 0.5)).r;
    float g = texture2D(lookup, vec2(u.g, 0.5)).g;
    float b = texture2D(lookup, vec2(u.b, 0.5)).b;
    gl_FragColor = vec4(r, g, b, c.a);
}
