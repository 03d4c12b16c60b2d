// The texture tinted by the current colour, cut out by the mask: the mask's luminance times its
// alpha scales the alpha.
#version 120

uniform sampler2D diffuse_map; // unit 0
uniform sampler2D mask;        // unit 1

void main()
{
    vec4 tex = texture2D(diffuse_map, gl_TexCoord[0].xy) * gl_Color;
    vec4 m = texture2D(mask, gl_TexCoord[0].xy);
    tex.a *= dot(m.rgb, vec3(0.299, 0.587, 0.114)) * m.a;
    gl_FragColor = tex;
}
