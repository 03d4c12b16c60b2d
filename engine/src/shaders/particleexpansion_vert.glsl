// Particle sprites, vertex stage: each vertex finds its particle's position by its corner
// number (texture-coordinate set 3) and becomes that corner of a camera-facing quad whose edge
// is 0.1 x the GL point size in eye units. Corners 0..3: (-1,-1), (1,-1), (-1,1), (1,1).
#version 120

varying vec2 corner; // -1..1 across the sprite

#include "particle_corners.glsl"

void main()
{
    float c = floor(gl_MultiTexCoord3.x + 0.5);
    corner = vec2(mod(c, 2.0) * 2.0 - 1.0, floor(c / 2.0) * 2.0 - 1.0);
    vec4 eye = gl_ModelViewMatrix * vec4(particle_position(c), 1.0);
    eye.xy += corner * (0.05 * gl_Point.size);
    gl_Position = gl_ProjectionMatrix * eye;
    gl_FrontColor = gl_Color;
}
