// Waving plants, vertex stage: vertices sway on sine waves, more the higher they are above
// y = 0 (bending with the square of the height); the phase runs with cur_t and the position
// (plus offset). Lit by light 0.
#version 120

uniform float cur_t;       // wave phase, radians
uniform vec3 offset;       // added to the position before the phase is taken
uniform float in_strength; // sway in object units at height 1

#include "lighting.glsl"

void main()
{
    vec3 q = gl_Vertex.xyz + offset;
    float phase = cur_t + 0.9 * q.x + 0.7 * q.z;
    float height = max(gl_Vertex.y, 0.0);
    vec3 sway = in_strength * height * height * vec3(sin(phase), 0.0, cos(1.3 * phase));
    vec4 p = gl_ModelViewMatrix * vec4(gl_Vertex.xyz + sway, 1.0);
    vec4 primary, secondary;
    light0(normalize(gl_NormalMatrix * gl_Normal), p.xyz, primary, secondary);
    gl_FrontColor = primary;
    gl_FrontSecondaryColor = secondary;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_Position = gl_ProjectionMatrix * p;
}
