// X-ray: the more a surface is seen edge-on, the more opaque and bright it is; faces towards
// the viewer are see-through. lightemit scales the glow (0: invisible).
#version 120

uniform sampler2D diffuse_map; // unit 0
uniform float lightemit;

varying vec3 normal;
varying vec3 to_eye;

void main()
{
    float facing = abs(dot(normalize(normal), normalize(to_eye)));
    float rim = 1.0 - facing;
    float glow = lightemit * rim * rim;
    vec4 tex = texture2D(diffuse_map, gl_TexCoord[0].xy);
    gl_FragColor = vec4(min(tex.rgb * gl_Color.rgb * (1.0 + glow), 1.0),
                        tex.a * clamp(glow, 0.0, 1.0));
}
