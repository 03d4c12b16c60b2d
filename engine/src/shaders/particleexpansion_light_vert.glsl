// Lit particle sprites, vertex stage: the particle layout of the plain sprites; the light at
// light_position reaches up to max_dist with a soft edge of seg_width_norm x max_dist, and the
// sprite's edge particle_size pulses a little with cur_t at a phase of its own per particle.
#version 120

uniform float cur_t;          // seconds
uniform vec3 light_position;  // same space as the particles
uniform float max_dist;       // no light beyond
uniform float seg_width_norm; // soft edge of the lit zone, share of max_dist 0..1
uniform float particle_size;  // sprite edge, eye units

varying vec2 corner; // -1..1 across the sprite
varying float light; // 0..1

#include "particle_corners.glsl"

void main()
{
    float c = floor(gl_MultiTexCoord3.x + 0.5);
    vec3 pos = particle_position(c);
    corner = vec2(mod(c, 2.0) * 2.0 - 1.0, floor(c / 2.0) * 2.0 - 1.0);

    float edge = max(max_dist * clamp(seg_width_norm, 0.0, 1.0), 0.0001);
    light = clamp((max_dist - distance(pos, light_position)) / edge, 0.0, 1.0);

    float phase = fract(sin(dot(pos, vec3(12.9898, 78.233, 37.719))) * 43758.5453) * 6.2831853;
    float size = particle_size * (0.85 + 0.15 * sin(cur_t * 6.2831853 + phase));
    vec4 eye = gl_ModelViewMatrix * vec4(pos, 1.0);
    eye.xy += corner * (0.5 * size);
    gl_Position = gl_ProjectionMatrix * eye;
    gl_FrontColor = gl_Color;
}
