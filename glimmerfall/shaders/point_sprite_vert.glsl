// Points drawn as soft discs, vertex stage: the disc's diameter is the current point size, the
// colour the current colour.
#version 120

void main()
{
    gl_Position = ftransform();
    gl_PointSize = gl_Point.size;
    gl_FrontColor = gl_Color;
}
