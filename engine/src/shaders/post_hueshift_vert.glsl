// Hue shift, vertex stage: the full-screen quad with the source's pixel coordinates on unit 0.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
