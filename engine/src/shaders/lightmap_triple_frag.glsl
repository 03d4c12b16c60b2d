// Three lightmaps: the neutral light plus two coloured light sources, each scaled by its
// intensity; the two sources are tinted by lightmap_col. Times the material's diffuse colour.
#version 120

uniform sampler2D lightmap_neutral; // unit 0
uniform sampler2D lightmap_a;       // unit 1
uniform sampler2D lightmap_b;       // unit 2
uniform vec3 intensities;           // neutral, a, b
uniform vec3 lightmap_col;          // tint of a and b

void main()
{
    vec2 tc = gl_TexCoord[0].xy;
    vec3 neutral = texture2D(lightmap_neutral, tc).rgb * intensities.x;
    vec3 sources = texture2D(lightmap_a, tc).rgb * intensities.y +
                   texture2D(lightmap_b, tc).rgb * intensities.z;
    gl_FragColor = vec4(min((neutral + sources * lightmap_col) * gl_Color.rgb, 1.0), gl_Color.a);
}
