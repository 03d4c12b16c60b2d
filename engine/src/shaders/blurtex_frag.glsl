// One pass of the separable gaussian blur (sigma about 2 texels): nine taps along sampledir,
// read as five bilinear samples. All four channels are blurred.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform vec2 sampledir;       // texels between taps: (1, 0) or (0, 1)

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec2 near = sampledir * 1.3846153846;
    vec2 far = sampledir * 3.2307692308;
    vec4 c = texture2DRect(source, tc) * 0.2270270270;
    c += (texture2DRect(source, tc + near) + texture2DRect(source, tc - near)) * 0.3162162162;
    c += (texture2DRect(source, tc + far) + texture2DRect(source, tc - far)) * 0.0702702703;
    gl_FragColor = c;
}
