#version 450
// Positions arrive already projected on the CPU; this stage only passes them on.

layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec3 inColor;
layout(location = 2) in vec2 inUv;
layout(location = 3) in float inTextured;

layout(location = 0) out vec3 outColor;
layout(location = 1) out vec2 outUv;
layout(location = 2) flat out float outTextured;

void main() {
    gl_Position = inPosition;
    outColor = inColor;
    outUv = inUv;
    outTextured = inTextured;
}
