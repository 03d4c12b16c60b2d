// X-ray, vertex stage: eye-space normal and direction to the viewer for the view-angle test.
#version 120

varying vec3 normal;  // eye space
varying vec3 to_eye;  // eye space

void main()
{
    vec4 p = gl_ModelViewMatrix * gl_Vertex;
    normal = gl_NormalMatrix * gl_Normal;
    to_eye = -p.xyz;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_FrontMaterial.diffuse;
    gl_Position = gl_ProjectionMatrix * p;
}
