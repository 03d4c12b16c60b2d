// The six-fold view in one pass: the copy of the cloud, turned about the picture's centre by
// 0, 60, ..., 300 degrees, added up. Outside the copy nothing is added; the picture is opaque.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect copy; // unit 0

void main()
{
    vec2 from_centre = gl_TexCoord[0].xy;
    vec2 centre = gl_TexCoord[1].xy;
    const float c = 0.5;       // cos 60
    const float s = 0.8660254; // sin 60
    vec3 sum = vec3(0.0);
    for (int i = 0; i < 6; ++i) {
        vec2 at = centre + from_centre;
        vec2 inside = step(vec2(0.0), at) * step(at, centre * 2.0);
        sum += texture2DRect(copy, at).rgb * (inside.x * inside.y);
        from_centre = vec2(c * from_centre.x - s * from_centre.y,
                           s * from_centre.x + c * from_centre.y);
    }
    gl_FragColor = vec4(min(sum, 1.0), 1.0);
}
