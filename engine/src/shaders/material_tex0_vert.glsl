// Unlit material, vertex stage: the material's diffuse colour, texture-coordinate set 0.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_FrontMaterial.diffuse;
}
