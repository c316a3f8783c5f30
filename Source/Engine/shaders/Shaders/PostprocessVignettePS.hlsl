#include "../common/Postprocess.hlsli"

static const float VIGNETTE_INNER_RADIUS = 0.35;
static const float VIGNETTE_OUTER_RADIUS = 0.85;
static const float VIGNETTE_STRENGTH = 0.6;

// The passes make the screen's picture, which is opaque whatever alpha the scene left behind:
// a window system that composites by alpha would otherwise show the desktop through it.
float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    const float4 source = SourceTexture.Sample(DefaultSampler, anInput.TexCoord);
    const float distanceFromCentre = length(anInput.TexCoord - 0.5) * 1.41421356;
    const float darkening = smoothstep(VIGNETTE_INNER_RADIUS, VIGNETTE_OUTER_RADIUS, distanceFromCentre) * VIGNETTE_STRENGTH;
    return float4(source.rgb * (1.0 - darkening), 1.0);
}
