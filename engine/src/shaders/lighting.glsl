// Lighting shared by the lit vertex stages (included; no #version of its own).

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
