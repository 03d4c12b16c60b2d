// Levels on the 0..255 scale: the input range [inBlack, inWhite] is stretched to 0..1, bent by
// the gamma and mapped to [outBlack, outWhite]. 0, 255, 1, 0, 255 leaves the picture as it is.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform float inBlack;
uniform float inWhite;
uniform float Gamma; // > 0; above 1 brightens the midtones
uniform float outBlack;
uniform float outWhite;

void main()
{
    vec4 c = texture2DRect(source, gl_TexCoord[0].xy);
    float range = inWhite - inBlack;
    if (abs(range) < 0.001)
        range = 0.001;
    vec3 v = clamp((c.rgb * 255.0 - inBlack) / range, 0.0, 1.0);
    v = pow(v, vec3(1.0 / max(Gamma, 0.01)));
    gl_FragColor = vec4((outBlack + v * (outWhite - outBlack)) / 255.0, c.a);
}
