// The current colour added onto the texture (a tint towards white); the alphas multiplied.
#version 120

uniform sampler2D diffuse_map; // unit 0

void main()
{
    vec4 tex = texture2D(diffuse_map, gl_TexCoord[0].xy);
    gl_FragColor = vec4(min(tex.rgb + gl_Color.rgb, 1.0), tex.a * gl_Color.a);
}
