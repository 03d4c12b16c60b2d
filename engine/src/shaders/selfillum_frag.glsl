// Self-illumination: the texture at full brightness, tinted by the material's diffuse colour,
// whatever the lights do.
#version 120

uniform sampler2D diffuse_map; // unit 0

void main()
{
    gl_FragColor = texture2D(diffuse_map, gl_TexCoord[0].xy) * gl_Color;
}
