// A point drawn as a sprite: placed and coloured as the fixed pipeline would.
#version 120

void main()
{
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
