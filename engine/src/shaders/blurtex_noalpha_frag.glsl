// One pass of the separable gaussian blur on the colour only; the alpha is dropped and the
// result is opaque.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform vec2 sampledir;       // texels between taps: (1, 0) or (0, 1)

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec2 near = sampledir * 1.3846153846;
    vec2 far = sampledir * 3.2307692308;
    vec3 c = texture2DRect(source, tc).rgb * 0.2270270270;
    c += (texture2DRect(source, tc + near).rgb + texture2DRect(source, tc - near).rgb) *
         0.3162162162;
    c += (texture2DRect(source, tc + far).rgb + texture2DRect(source, tc - far).rgb) *
         0.0702702703;
    gl_FragColor = vec4(c, 1.0);
}
