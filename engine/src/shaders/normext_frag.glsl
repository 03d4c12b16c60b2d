// Normal extrusion, fragment stage: the sphere map times the lit colour, fading out as the
// extrusion approaches max_extrude.
#version 120

uniform sampler2D sphere_map; // unit 0
uniform float max_extrude;    // extrusion at which the surface has faded out

varying float extrusion;

void main()
{
    vec4 tex = texture2D(sphere_map, gl_TexCoord[0].xy);
    float fade = 1.0 - clamp(extrusion / max(max_extrude, 0.0001), 0.0, 1.0);
    gl_FragColor = vec4(min(tex.rgb * gl_Color.rgb + gl_SecondaryColor.rgb, 1.0),
                        tex.a * gl_Color.a * fade);
}
