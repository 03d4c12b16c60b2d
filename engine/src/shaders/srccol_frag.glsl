// The texture tinted by the current colour (colour and alpha multiplied); unlit.
#version 120

uniform sampler2D diffuse_map; // unit 0

void main()
{
    gl_FragColor = texture2D(diffuse_map, gl_TexCoord[0].xy) * gl_Color;
}
