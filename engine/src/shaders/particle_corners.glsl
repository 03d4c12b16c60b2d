// The particle layout shared by the sprite vertex stages (included; no #version of its own).

// The particle position: corner 0 reads it from the vertex position, corners 1, 2, 3 from
// texture-coordinate sets 0, 1, 2 (the same buffer at successive offsets).
vec3 particle_position(float c)
{
    if (c < 0.5)
        return gl_Vertex.xyz;
    if (c < 1.5)
        return gl_MultiTexCoord0.xyz;
    if (c < 2.5)
        return gl_MultiTexCoord1.xyz;
    return gl_MultiTexCoord2.xyz;
}
