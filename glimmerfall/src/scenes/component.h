// A reusable piece of a scene's picture (the rose, the scatter field): loaded with its scene,
// advanced with the demo time and drawn inside the scene's own camera and render target.
#pragma once

#include "scene.h"

class iComponent
{
public:
    virtual ~iComponent() = default;

    // Fetches meshes, textures and shaders; called from the owning scene's load().
    virtual void load() = 0;
    // Advances the animation to a demo time in ms (times may jump backwards after a seek).
    virtual void update(int in_time_ms) = 0;
    // Draws into the bound target with the caller's projection and modelview; leaves the GL
    // state, the matrices and the bound shader as it found them.
    virtual void draw() = 0;
    // Appends the component's tweakable values, each with its overlay slider, to a scene's
    // list; the list's owner owns the new entries.
    virtual void get_vars(tVarList& io_vars) = 0;
};
