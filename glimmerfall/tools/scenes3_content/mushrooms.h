// The mushroom models of the cave, built standing on y = 0 and growing up +y: the two glowing
// kinds with their x-ray volumes, a low-detail cluster, the tiny scattered ones and the
// floating spore pod. All share the atlas "mushroom_skin.png".
#pragma once

#include "image_writer.h"
#include "mesh_builder.h"

namespace content {

// Regions of the atlas (u0, v0, u1, v1).
extern const double kCapA[4];
extern const double kCapB[4];
extern const double kStem[4];
extern const double kVeins[4];

constexpr const char* kMushroomSkin = "mushroom_skin.png";

// A wide umbrella cap on a stout stem, about 2 units tall (group A, magenta light).
void add_mushroom_a(cShapeBuilder& b, int detail, const double* cap_uv = kCapA);
// A tall bell-capped mushroom, about 3 units tall (group B, cyan light).
void add_mushroom_b(cShapeBuilder& b, int detail);
// The x-ray shells around the caps of the two kinds.
void add_volume_a(cShapeBuilder& b);
void add_volume_b(cShapeBuilder& b);
// A few units of low-detail mushrooms in a clump.
void add_low_clump(cShapeBuilder& b, double seed);
// A tiny mushroom, about 0.3 units tall.
void add_tiny(cShapeBuilder& b, double cap_tilt);
// The spore pod: a small spiked ellipsoid about 0.3 units across, centred on the origin.
void add_spore_pod(cShapeBuilder& b);

// The atlas: cap patterns, stem fibres and translucent veins, `size` texels square.
assets::sImage mushroom_skin(int size);

} // namespace content
