// Normal extrusion, vertex stage: the mesh turned by inner_rotmat, pushed t_parm units out
// along its normals, turned by outer_rotmat; sphere-mapped and lit by light 0.
#version 120

uniform float t_parm;      // extrusion, object units
uniform mat4 inner_rotmat; // before the extrusion
uniform mat4 outer_rotmat; // after the extrusion

varying float extrusion;

// Light 0 on the front material as the fixed-function pipeline computes it per vertex (local
// viewer, separate specular): the primary colour and the specular colour.
void light0(vec3 n, vec3 p, out vec4 primary, out vec4 secondary)
{
    vec4 lp = gl_LightSource[0].position;
    vec3 l = lp.w == 0.0 ? normalize(lp.xyz) : normalize(lp.xyz - p);
    float att = 1.0;
    if (lp.w != 0.0) {
        float d = length(lp.xyz - p);
        att = 1.0 / max(gl_LightSource[0].constantAttenuation +
                            gl_LightSource[0].linearAttenuation * d +
                            gl_LightSource[0].quadraticAttenuation * d * d,
                        0.0001);
    }
    float ndl = max(dot(n, l), 0.0);
    float ndh = max(dot(n, normalize(l - normalize(p))), 0.0);
    float specular = (ndl > 0.0 && ndh > 0.0) ? pow(ndh, gl_FrontMaterial.shininess) : 0.0;
    primary = gl_FrontLightModelProduct.sceneColor +
              att * (gl_FrontLightProduct[0].ambient + gl_FrontLightProduct[0].diffuse * ndl);
    primary.a = gl_FrontMaterial.diffuse.a;
    secondary = att * gl_FrontLightProduct[0].specular * specular;
}

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
