// A soft disc over the point sprite: the colour's alpha at the centre, falling smoothly to none
// at the rim, so that points added up glow where they crowd together.
#version 120

void main()
{
    vec2 from_centre = gl_PointCoord * 2.0 - 1.0;
    float fall = max(1.0 - dot(from_centre, from_centre), 0.0);
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * fall * fall);
}
