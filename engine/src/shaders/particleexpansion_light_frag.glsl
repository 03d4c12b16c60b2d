// Lit particle sprites, fragment stage: a soft round spot whose colour runs from min_color
// (unlit) to max_color (lit), times the current colour.
#version 120

uniform vec3 min_color;
uniform vec3 max_color;

varying vec2 corner;
varying float light;

void main()
{
    float fall = clamp(1.0 - dot(corner, corner), 0.0, 1.0);
    gl_FragColor = vec4(mix(min_color, max_color, light) * gl_Color.rgb, gl_Color.a * fall * fall);
}
