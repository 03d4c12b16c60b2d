// Unlit vertex stage with three sources: as tex01_vert.glsl, with texture-coordinate set 2
// through its texture matrix as well (a mask, or the glow a layer is composited with).
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_TexCoord[2] = gl_TextureMatrix[2] * gl_MultiTexCoord2;
    gl_FrontColor = gl_Color;
}
