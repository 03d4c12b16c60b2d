// The kaleidoscope through its fold map: the picture (unit 0) read where the map (unit 1) says,
// transparent black where the map holds -1e6 (no part of the sheet covers the pixel).
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect a; // unit 0: the picture
uniform sampler2DRect b; // unit 1: the fold map

void main()
{
    vec2 at = texture2DRect(b, gl_TexCoord[1].xy).xy;
    gl_FragColor = at.x < -1.0e5 ? vec4(0.0) : texture2DRect(a, at);
}
