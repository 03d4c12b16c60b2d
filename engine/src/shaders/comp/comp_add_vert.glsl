// Layer compositing, vertex stage: the full-screen quad with the layer's coordinates on unit 0,
// the picture below's on unit 1 (each in its own pixels) and the opacity in the colour's alpha.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_FrontColor = gl_Color;
}
