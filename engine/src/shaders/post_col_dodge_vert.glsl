// Colour dodge, vertex stage: the full-screen quad with each source's pixel coordinates on its
// unit.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_FrontColor = gl_Color;
}
