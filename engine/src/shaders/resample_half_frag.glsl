// Half-size resampling: the average of the 2 x 2 source texels under each target pixel.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec4 c = texture2DRect(source, tc + vec2(-0.5, -0.5));
    c += texture2DRect(source, tc + vec2(0.5, -0.5));
    c += texture2DRect(source, tc + vec2(-0.5, 0.5));
    c += texture2DRect(source, tc + vec2(0.5, 0.5));
    gl_FragColor = c * 0.25;
}
