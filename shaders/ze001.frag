#version 450
// One sampled image serves two purposes: its RGB is the character texture (white
// where there is none), its alpha the HUD glyph coverage.

layout(set = 0, binding = 0) uniform sampler2D characterAndGlyphs;

layout(location = 0) in vec3 inColor;
layout(location = 1) in vec2 inUv;
layout(location = 2) flat in float inTextured;

layout(location = 0) out vec4 outColor;

void main() {
    vec3 c = inColor;
    if (inTextured < -0.5) {
        // Procedural tiles: 2 x 2 unit cells with darkened seams and a faint grain.
        vec2 cell = fract(inUv * 0.5);
        vec2 edge = min(cell, 1.0 - cell);
        float seam = 1.0 - smoothstep(0.004, 0.014, min(edge.x, edge.y));
        float grain = sin(inUv.x * 23.7 + sin(inUv.y * 7.1)) * sin(inUv.y * 31.3) * 0.025;
        c = c * (0.98 + grain) * (1.0 - seam * 0.16);
        outColor = vec4(c, 1.0);
    } else if (inTextured > 1.5) {
        // Glyph quads span a whole 1/32 atlas cell. Keep the filter footprint inside
        // that cell, or the neighbouring glyph bleeds in along the quad's edges once
        // the text is small enough to sample the coarser levels.
        vec2 cell = floor(inUv * 32.0) / 32.0;
        float lod = ceil(max(textureQueryLod(characterAndGlyphs, inUv).x, 0.0));
        float margin = 0.5 * exp2(lod) / float(textureSize(characterAndGlyphs, 0).x);
        vec2 uv = clamp(inUv, cell + margin, cell + (1.0 / 32.0) - margin);
        outColor = vec4(c, texture(characterAndGlyphs, uv).a);
    } else if (inTextured > 0.5) {
        outColor = vec4(c * texture(characterAndGlyphs, inUv).rgb, 1.0);
    } else {
        outColor = vec4(c, 1.0);
    }
}
