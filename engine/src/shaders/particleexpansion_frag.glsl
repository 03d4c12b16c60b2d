// Particle sprites, fragment stage: a soft round spot in the current colour, opaque in the
// middle and fading to nothing at the quad's inscribed circle.
#version 120

varying vec2 corner;

void main()
{
    float fall = clamp(1.0 - dot(corner, corner), 0.0, 1.0);
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * fall * fall);
}
