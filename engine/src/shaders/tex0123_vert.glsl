// Unlit vertex stage with up to four sources: the vertex where the fixed-function pipeline puts
// it, texture-coordinate sets 0 to 3 through their texture matrices (two pictures and a mask, or
// a layer, the picture below and their glows), the current colour. With LAYER_UNDER (the
// compositing's variant) set 4 as well: the picture under the layer; with MIDDLE sets 5 to 7: a
// middle layer, its glow and the picture under it.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
    gl_TexCoord[2] = gl_TextureMatrix[2] * gl_MultiTexCoord2;
    gl_TexCoord[3] = gl_TextureMatrix[3] * gl_MultiTexCoord3;
#ifdef LAYER_UNDER
    gl_TexCoord[4] = gl_TextureMatrix[4] * gl_MultiTexCoord4;
#endif
#ifdef MIDDLE
    gl_TexCoord[5] = gl_TextureMatrix[5] * gl_MultiTexCoord5;
    gl_TexCoord[6] = gl_TextureMatrix[6] * gl_MultiTexCoord6;
    gl_TexCoord[7] = gl_TextureMatrix[7] * gl_MultiTexCoord7;
#endif
    gl_FrontColor = gl_Color;
}
