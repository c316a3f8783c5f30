#include "../common/Postprocess.hlsli"

static const float VIGNETTE_INNER_RADIUS = 0.35;
static const float VIGNETTE_OUTER_RADIUS = 0.85;
static const float VIGNETTE_STRENGTH = 0.6;

float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    const float4 source = SourceTexture.Sample(DefaultSampler, anInput.TexCoord);
    const float distanceFromCentre = length(anInput.TexCoord - 0.5) * 1.41421356;
    const float darkening = smoothstep(VIGNETTE_INNER_RADIUS, VIGNETTE_OUTER_RADIUS, distanceFromCentre) * VIGNETTE_STRENGTH;
    return float4(source.rgb * (1.0 - darkening), source.a);
}
