// What draws a particle system.
#pragma once

#include <string>

class cParticleSystem;

class iParticleSystemRender
{
public:
    virtual ~iParticleSystemRender() = default;
    // Draws the live particles with the named shader.
    virtual void render(const cParticleSystem& in_particlesystem, const std::string& in_shader) = 0;
    // Allocates the buffers for up to `max_num_particles` particles.
    virtual void init(int max_num_particles) = 0;
};
