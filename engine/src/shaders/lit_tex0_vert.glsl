// Textured material, vertex stage: per-vertex lighting by light 0 and the material,
// texture-coordinate set 0.
#version 120

#include "lighting.glsl"

void main()
{
    vec4 p = gl_ModelViewMatrix * gl_Vertex;
    vec4 primary, secondary;
    light0(normalize(gl_NormalMatrix * gl_Normal), p.xyz, primary, secondary);
    gl_FrontColor = primary;
    gl_FrontSecondaryColor = secondary;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_Position = gl_ProjectionMatrix * p;
}
