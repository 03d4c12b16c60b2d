// The texture tinted by the incoming colour (colour and alpha multiplied): the current colour,
// or the material's for self-illumination; unlit.
#version 120

uniform sampler2D diffuse_map; // unit 0

void main()
{
    gl_FragColor = texture2D(diffuse_map, gl_TexCoord[0].xy) * gl_Color;
}
