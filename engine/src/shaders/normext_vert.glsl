// Normal extrusion, vertex stage: the mesh turned by inner_rotmat, pushed t_parm units out
// along its normals, turned by outer_rotmat; sphere-mapped and lit by light 0.
#version 120

uniform float t_parm;      // extrusion, object units
uniform mat4 inner_rotmat; // before the extrusion
uniform mat4 outer_rotmat; // after the extrusion

varying float extrusion;

#include "lighting.glsl"

void main()
{
    vec4 pos = inner_rotmat * gl_Vertex;
    vec3 n = mat3(inner_rotmat) * gl_Normal;
    pos.xyz += normalize(n) * t_parm;
    pos = outer_rotmat * pos;
    n = mat3(outer_rotmat) * n;

    vec4 p = gl_ModelViewMatrix * pos;
    vec3 en = normalize(gl_NormalMatrix * n);
    vec4 primary, secondary;
    light0(en, p.xyz, primary, secondary);
    gl_FrontColor = primary;
    gl_FrontSecondaryColor = secondary;
    vec3 r = reflect(normalize(p.xyz), en);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    gl_TexCoord[0] = vec4(r.xy / max(m, 0.0001) + 0.5, 0.0, 1.0);
    extrusion = t_parm;
    gl_Position = gl_ProjectionMatrix * p;
}
