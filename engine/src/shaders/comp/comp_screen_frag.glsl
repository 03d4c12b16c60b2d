// Screen blend: 1 - (1 - below)(1 - layer), faded in by the layer's alpha times the opacity.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect layer; // unit 0
uniform sampler2DRect below; // unit 1

void main()
{
    vec4 l = texture2DRect(layer, gl_TexCoord[0].xy);
    vec4 b = texture2DRect(below, gl_TexCoord[1].xy);
    float a = l.a * gl_Color.a;
    vec3 screen = 1.0 - (1.0 - b.rgb) * (1.0 - l.rgb);
    gl_FragColor = vec4(mix(b.rgb, screen, a), a + b.a * (1.0 - a));
}
