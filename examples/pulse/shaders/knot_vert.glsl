// The knot's tube, vertex stage: eye-space position and normal for the lighting, the object-space
// position for the colour bands.
#version 120

varying vec3 v_eye;
varying vec3 v_normal;
varying vec3 v_object;

void main()
{
    v_eye = (gl_ModelViewMatrix * gl_Vertex).xyz;
    v_normal = gl_NormalMatrix * gl_Normal;
    v_object = gl_Vertex.xyz;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
