// The hue adjustment of the production's fused grading passes (included; needs hsv.glsl): the
// hue turned by `turns` of the colour wheel, the distance from grey scaled by `saturation`,
// `brightness` added to every channel; as the engine's hue passes do it.

vec3 turn_hue(vec3 rgb, float turns, float saturation, float brightness)
{
    vec3 hsv = rgb_to_hsv(clamp(rgb, 0.0, 1.0));
    hsv.x = fract(hsv.x + turns);
    rgb = hsv_to_rgb(hsv);
    float grey = dot(rgb, vec3(1.0 / 3.0));
    return clamp(mix(vec3(grey), rgb, saturation) + brightness, 0.0, 1.0);
}
