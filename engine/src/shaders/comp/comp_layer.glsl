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
//                black is the whole picture, and unit 0 is not read;
//   MIDDLE       one more layer (unit 5) lies between the layer and the picture below: it is
//                blended onto that picture first, at the opacity in the third component of its
//                coordinates, with MIDDLE_OVER, MIDDLE_ADD, MIDDLE_SCREEN or MIDDLE_DODGE,
//                after its own MIDDLE_UNDER (unit 7) and MIDDLE_GLOW (unit 6) as the layer's.
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
#ifdef MIDDLE
uniform sampler2DRect middle; // unit 5
#endif
#ifdef MIDDLE_GLOW
uniform sampler2DRect middle_glow; // unit 6
#endif
#ifdef MIDDLE_UNDER
uniform sampler2DRect middle_under; // unit 7
#endif

// The blends: `l` onto `b`, faded in by the layer's alpha times `opacity`; the alpha gathers
// the coverages. Opacity 0 gives `b` unchanged.
vec4 blend_over(vec4 l, vec4 b, float opacity)
{
    float a = l.a * opacity;
    return vec4(mix(b.rgb, l.rgb, a), a + b.a * (1.0 - a));
}

vec4 blend_add(vec4 l, vec4 b, float opacity)
{
    float a = l.a * opacity;
    return vec4(min(b.rgb + l.rgb * a, 1.0), a + b.a * (1.0 - a));
}

// 1 - (1 - below)(1 - layer).
vec4 blend_screen(vec4 l, vec4 b, float opacity)
{
    float a = l.a * opacity;
    vec3 screen = 1.0 - (1.0 - b.rgb) * (1.0 - l.rgb);
    return vec4(mix(b.rgb, screen, a), a + b.a * (1.0 - a));
}

// below / (1 - layer), clamped to white: a white layer channel saturates the channel below
// (black stays black).
vec4 blend_dodge(vec4 l, vec4 b, float opacity)
{
    float a = l.a * opacity;
    vec3 dodge = min(b.rgb / max(1.0 - l.rgb, 1.0 / 512.0), 1.0);
    return vec4(mix(b.rgb, dodge, a), a + b.a * (1.0 - a));
}

vec4 with_glow(vec4 c, vec4 g)
{
    return vec4(min(c.rgb + g.rgb, 1.0), max(c.a, g.a));
}

// `l` laid over `u` at full opacity.
vec4 laid_over(vec4 l, vec4 u)
{
    return vec4(mix(u.rgb, l.rgb, l.a), l.a + u.a * (1.0 - l.a));
}

vec4 layer_colour()
{
#ifdef ALONE
    return vec4(0.0); // at no cover every blend gives the picture below
#else
    vec4 l = texture2DRect(layer, gl_TexCoord[0].xy);
#ifdef LAYER_UNDER
    l = laid_over(l, texture2DRect(layer_under, gl_TexCoord[4].xy));
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
#ifdef MIDDLE
    vec4 m = texture2DRect(middle, gl_TexCoord[5].xy);
#ifdef MIDDLE_UNDER
    m = laid_over(m, texture2DRect(middle_under, gl_TexCoord[7].xy));
#endif
#ifdef MIDDLE_GLOW
    m = with_glow(m, texture2DRect(middle_glow, gl_TexCoord[6].xy));
#endif
#if defined(MIDDLE_ADD)
    b = blend_add(m, b, gl_TexCoord[5].z);
#elif defined(MIDDLE_SCREEN)
    b = blend_screen(m, b, gl_TexCoord[5].z);
#elif defined(MIDDLE_DODGE)
    b = blend_dodge(m, b, gl_TexCoord[5].z);
#else
    b = blend_over(m, b, gl_TexCoord[5].z);
#endif
#endif
    return b;
}
