// The knot's tube: crimson and amber bands winding along it, a key light with a hot highlight and
// a pink rim; the colour's alpha (0..1) is the kick's flash.
#version 120

varying vec3 v_eye;
varying vec3 v_normal;
varying vec3 v_object;

void main()
{
    vec3 n = normalize(v_normal);
    vec3 view = normalize(-v_eye);
    vec3 light = normalize(vec3(0.5, 0.8, 0.6));
    float flash = gl_Color.a;

    float band = 0.5 + 0.5 * sin(2.5 * v_object.z + 1.5 * atan(v_object.y, v_object.x));
    vec3 base = mix(vec3(0.55, 0.05, 0.22), vec3(1.0, 0.5, 0.12), band);
    float diffuse = max(dot(n, light), 0.0);
    float highlight = pow(max(dot(reflect(-light, n), view), 0.0), 28.0);
    float rim = pow(1.0 - max(dot(n, view), 0.0), 3.0);

    vec3 colour = base * (0.18 + 0.82 * diffuse) + vec3(1.0, 0.85, 0.6) * highlight;
    colour += vec3(1.0, 0.3, 0.55) * rim * (0.6 + 1.4 * flash);
    colour += base * 0.45 * flash;
    gl_FragColor = vec4(colour, 1.0);
}
