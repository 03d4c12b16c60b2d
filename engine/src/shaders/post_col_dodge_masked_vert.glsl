// Masked colour dodge, vertex stage: the full-screen quad with coordinates for the two pictures
// (pixels) and the mask (0..1) on units 0, 1 and 2.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_TexCoord[2] = gl_TextureMatrix[2] * gl_MultiTexCoord2;
    gl_FrontColor = gl_Color;
}
