// A smoothed point drawn as a sprite one pixel wider than the point: a disc of the point's
// diameter whose rim fades over a pixel, as a smoothed point's coverage does.
#version 120

void main()
{
    float sprite = gl_Point.size;
    float from_centre = length(gl_PointCoord - vec2(0.5)) * sprite;
    float cover = clamp(0.5 * sprite - from_centre, 0.0, 1.0);
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * cover);
}
