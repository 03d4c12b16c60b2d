// Untextured material: the lit colour plus the specular highlight; the material's alpha.
#version 120

void main()
{
    gl_FragColor = vec4(min(gl_Color.rgb + gl_SecondaryColor.rgb, 1.0), gl_Color.a);
}
