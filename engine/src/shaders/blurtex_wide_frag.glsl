// One pass for three of the nine-tap blurs (blurtex_frag.glsl run three times along
// sampledir): their 25-tap kernel, read as nine bilinear samples. The taps k and k + 1 (k odd)
// are paired as one sample at k + w(k + 1) / (w(k) + w(k + 1)) weighing w(k) + w(k + 1); the
// four outermost taps on each side, a quarter of a percent of the weight together, are left
// out and the rest scaled up to a sum of one. All four channels are blurred.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect source; // unit 0
uniform vec2 sampledir;       // texels between taps: (1, 0) or (0, 1)

vec4 pair(vec2 tc, vec2 step, float weight)
{
    return (texture2DRect(source, tc + step) + texture2DRect(source, tc - step)) * weight;
}

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec4 c = texture2DRect(source, tc) * 0.1345723983;
    c += pair(tc, sampledir * 1.4586603458, 0.2352826096);
    c += pair(tc, sampledir * 3.4025065234, 0.1367053242);
    c += pair(tc, sampledir * 5.3434047029, 0.0499563844);
    c += pair(tc, sampledir * 7.2781581820, 0.0107694825);
    gl_FragColor = c;
}
