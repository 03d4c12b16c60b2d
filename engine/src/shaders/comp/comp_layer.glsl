// What the compositing blends read: the layer (unit 0) and the picture below (unit 1). With
// LAYER_GLOW defined, the layer's glow picture (unit 2, its own coordinates) is added to the
// layer first, as the glow's own combine pass would have: the colours summed and clamped, the
// more opaque alpha kept. The layer then costs no full-size pass for its glow.
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect layer; // unit 0
uniform sampler2DRect below; // unit 1
#ifdef LAYER_GLOW
uniform sampler2DRect glow; // unit 2
#endif

vec4 layer_colour()
{
    vec4 l = texture2DRect(layer, gl_TexCoord[0].xy);
#ifdef LAYER_GLOW
    vec4 g = texture2DRect(glow, gl_TexCoord[2].xy);
    l = vec4(min(l.rgb + g.rgb, 1.0), max(l.a, g.a));
#endif
    return l;
}

vec4 below_colour()
{
    return texture2DRect(below, gl_TexCoord[1].xy);
}
