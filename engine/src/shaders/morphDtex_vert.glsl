// Morphing mesh, vertex stage: position and normal blended by cur_t from the mesh drawn
// (0) to the second mesh in texture-coordinate sets 3 and 4 (1); lit like a Dtex material.
#version 120

uniform float cur_t; // 0..1

#include "lighting.glsl"

void main()
{
    vec4 pos = vec4(mix(gl_Vertex.xyz, gl_MultiTexCoord3.xyz, cur_t), 1.0);
    vec3 n = normalize(mix(gl_Normal, gl_MultiTexCoord4.xyz, cur_t));
    vec4 p = gl_ModelViewMatrix * pos;
    vec4 primary, secondary;
    light0(normalize(gl_NormalMatrix * n), p.xyz, primary, secondary);
    gl_FrontColor = primary;
    gl_FrontSecondaryColor = secondary;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_Position = gl_ProjectionMatrix * p;
}
