// Unlit vertex stage: the vertex where the fixed-function pipeline puts it, texture-coordinate
// set 0 through its texture matrix, the current colour. Full-screen passes and plain textured
// meshes share it.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
