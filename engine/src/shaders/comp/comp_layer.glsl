// What the compositing blends read: the layer (unit 0) and the picture below (unit 1), each
// with its own coordinates. Variants (defined names):
//   LAYER_GLOW   the layer's glow picture (unit 2) is added to the layer first, as the glow's
//                own combine pass would have: the colours summed and clamped, the more opaque
//                alpha kept;
//   BOTTOM       the picture below is the bottom layer's own picture, laid over opaque black
//                here at the opacity in the third component of its coordinates (the over, add
//                and screen blends all give its colour times its alpha there, and an opaque
//                result);
//   BOTTOM_GLOW  that bottom layer's glow (unit 3) is added to it first;
//   LAYER_UNDER  the layer is laid over a picture first (unit 4, stretched over the layer), as
//                an over pass of its own would have: a scene's trail;
//   ALONE        (with BOTTOM) there is no layer above the bottom one: the bottom layer over
//                black is the whole picture, and unit 0 is not read.
// Either way the layer or the layer below costs no full-size pass of its own.
#extension GL_ARB_texture_rectangle : enable

#ifndef ALONE
uniform sampler2DRect layer; // unit 0
#endif
uniform sampler2DRect below; // unit 1
#ifdef LAYER_GLOW
uniform sampler2DRect layer_glow; // unit 2
#endif
#ifdef BOTTOM_GLOW
uniform sampler2DRect bottom_glow; // unit 3
#endif
#ifdef LAYER_UNDER
uniform sampler2DRect layer_under; // unit 4
#endif

vec4 with_glow(vec4 c, vec4 g)
{
    return vec4(min(c.rgb + g.rgb, 1.0), max(c.a, g.a));
}

vec4 layer_colour()
{
#ifdef ALONE
    return vec4(0.0); // at no cover every blend gives the picture below
#else
    vec4 l = texture2DRect(layer, gl_TexCoord[0].xy);
#ifdef LAYER_UNDER
    vec4 u = texture2DRect(layer_under, gl_TexCoord[4].xy);
    l = vec4(mix(u.rgb, l.rgb, l.a), l.a + u.a * (1.0 - l.a));
#endif
#ifdef LAYER_GLOW
    l = with_glow(l, texture2DRect(layer_glow, gl_TexCoord[2].xy));
#endif
    return l;
#endif
}

vec4 below_colour()
{
    vec4 b = texture2DRect(below, gl_TexCoord[1].xy);
#ifdef BOTTOM_GLOW
    b = with_glow(b, texture2DRect(bottom_glow, gl_TexCoord[3].xy));
#endif
#ifdef BOTTOM
    b = vec4(b.rgb * (b.a * gl_TexCoord[1].z), 1.0);
#endif
    return b;
}
