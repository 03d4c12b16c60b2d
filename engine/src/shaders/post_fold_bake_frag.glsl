// A mirror sheet's fold map: each pixel keeps the point of the picture the sheet shows there
// (its texture coordinates, in the picture's pixels).
#version 120

void main()
{
    gl_FragColor = vec4(gl_TexCoord[0].xy, 0.0, 1.0);
}
