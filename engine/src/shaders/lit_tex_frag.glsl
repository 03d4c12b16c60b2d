// Material with a diffuse texture: texture times the lit colour plus the specular highlight;
// the alpha is the material's (the texture's alpha is ignored).
#version 120

uniform sampler2D diffuse_map; // unit 0

void main()
{
    vec4 tex = texture2D(diffuse_map, gl_TexCoord[0].xy);
    gl_FragColor = vec4(min(tex.rgb * gl_Color.rgb + gl_SecondaryColor.rgb, 1.0), gl_Color.a);
}
