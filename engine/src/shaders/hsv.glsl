// Colour-space conversions shared by the hue adjustments (included; no #version of its own).

// Hue in turns (0..1), saturation, value.
vec3 rgb_to_hsv(vec3 c)
{
    float hi = max(c.r, max(c.g, c.b));
    float lo = min(c.r, min(c.g, c.b));
    float d = hi - lo;
    float h = 0.0;
    if (d > 0.0) {
        if (hi == c.r)
            h = (c.g - c.b) / d;
        else if (hi == c.g)
            h = 2.0 + (c.b - c.r) / d;
        else
            h = 4.0 + (c.r - c.g) / d;
        h = fract(h / 6.0);
    }
    return vec3(h, hi > 0.0 ? d / hi : 0.0, hi);
}

vec3 hsv_to_rgb(vec3 c)
{
    vec3 p = abs(fract(c.x + vec3(0.0, 2.0 / 3.0, 1.0 / 3.0)) * 6.0 - 3.0);
    return c.z * mix(vec3(1.0), clamp(p - 1.0, 0.0, 1.0), c.y);
}
