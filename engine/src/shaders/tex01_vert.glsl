// Unlit vertex stage with two sources: the vertex where the fixed-function pipeline puts it,
// texture-coordinate sets 0 and 1 through their texture matrices, the current colour. The
// full-screen passes that read two sources share it.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_FrontColor = gl_Color;
}
