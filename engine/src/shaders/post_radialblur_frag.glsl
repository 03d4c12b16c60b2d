// Radial blur: every pixel averages num_samples samples along the line towards blur_center,
// over at most dist pixels (never past the centre). The weights run linearly from 1 at the
// pixel to `propagation` at the far end; the colour is then scaled by `multiplier`.
// blur_center and dist are in pixels of the target drawn into (the viewport); the source may
// be smaller, so steps are converted to its texels.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform vec2 blur_center;
uniform float dist;
uniform float num_samples; // 1..100
uniform float propagation; // 0..2
uniform float multiplier;  // 0..5

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec2 texels_per_pixel = vec2(dFdx(tc.x), dFdy(tc.y));
    vec2 to_center = blur_center - gl_FragCoord.xy;
    float len = length(to_center);
    vec2 streak = len > 0.0 ? to_center / len * min(max(dist, 0.0), len) : vec2(0.0);
    int n = int(clamp(num_samples, 1.0, 100.0));
    vec4 sum = vec4(0.0);
    float weights = 0.0;
    for (int i = 0; i < 100; ++i) {
        if (i >= n)
            break;
        float t = n > 1 ? float(i) / float(n - 1) : 0.0;
        float w = max(mix(1.0, propagation, t), 0.0);
        sum += texture2DRect(source, tc + streak * t * texels_per_pixel) * w;
        weights += w;
    }
    vec4 c = sum / max(weights, 0.0001);
    gl_FragColor = vec4(c.rgb * multiplier, c.a);
}
