// Full-screen quads: the state bracket that makes a quad independent of the 3D state left by
// scenes, the quad itself with texture coordinates fitted to each source, and ready-made
// calls for one, two or three sources. Shader, blending and target are the caller's.
#pragma once

class iRenderTarget;

// Pushes current and enable bits, turns lighting, depth test, alpha test, fog and depth writes
// off, and maps the unit square onto the viewport (identity projection, orthographic
// modelview); opaque white. Does not nest: an inner bracket overwrites the saved depth mask.
void begin_fsq();
// The same, keeping the current colour and the alpha test (for layer compositing).
void begin_fsq_keep_colour();
// Pops what begin_fsq() pushed and restores the depth write mask.
void end_fsq();

// The unit quad at z = 0 with texture coordinates 0..1 (normalised 2D textures).
void draw_quad();
// The unit quad with texture coordinates 0..w, 0..h (rectangle textures, in pixels).
void draw_quad(float in_w, float in_h);
// The unit quad sampling the whole of a render target.
void draw_quad(const iRenderTarget& in_rt);
// Coordinates for unit 0 from `a` and for unit 1 from `b`, each over its own full size.
void draw_quad_2(const iRenderTarget& in_a, const iRenderTarget& in_b);

// Binds a source of a full-screen pass on a unit (GL_TEXTURE0 + i): unfiltered when it has the
// viewport's size, the quad then reading it at its pixel centres, one to one; filtered (a
// stretched source) otherwise.
void bind_source(iRenderTarget& in_rt, unsigned int in_unit);

// Draws `rt` (bound on unit 0 for the call) over the bound target or the window.
void RenderFSQ(iRenderTarget& in_rt);
// The quad with 0..1 coordinates; the caller has bound a 2D texture.
void RenderFSQ();
// Two sources the caller has bound on units 0 and 1 with the shader that combines them.
void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b);
// Three render targets the caller has bound on units 0, 1 and 2.
void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b, const iRenderTarget& in_c);
// Two render targets and a third source of `in_c_w` x `in_c_h` texture units (1 x 1 for a
// normalised 2D texture such as a mask picture) on unit 2.
void RenderFSQ(const iRenderTarget& in_a, const iRenderTarget& in_b, float in_c_w, float in_c_h);
