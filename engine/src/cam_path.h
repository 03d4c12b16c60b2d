// Recorded camera flights: keys of eye, centre and up read from a text file, evaluated at a
// progress in [0, 1].
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "math/vec3.h"

class CCamPath
{
public:
    struct sKey
    {
        Vec3<float> eye;
        Vec3<float> centre;
        Vec3<float> up;
    };

    // Reads the keys of `file_name` (a full path); false, with a message, when it cannot be
    // opened. Replaces any keys loaded before.
    bool load(const std::string& file_name);
    // Reads keys from file text: groups like "(1.5,0,-2)", three per key (eye, centre, up),
    // converted from the file's z-up to the demo's y-up axes. Reading stops, with a warning,
    // at the first key that does not parse; the keys before it are kept.
    void parse(std::string_view text);

    Vec3<float> eye(float t) const;
    Vec3<float> centre(float t) const;
    Vec3<float> up(float t) const;

    const std::vector<sKey>& keys() const { return m_keys; }
    bool empty() const { return m_keys.empty(); }

private:
    Vec3<float> evaluate(float t, Vec3<float> sKey::*which) const;

    std::vector<sKey> m_keys; // in file order
    std::string m_name;       // for messages
};
