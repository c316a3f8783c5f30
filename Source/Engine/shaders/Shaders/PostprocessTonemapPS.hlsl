#include "../common/Postprocess.hlsli"

// The filmic curve fitted to the ACES reference transform (Narkowicz): maps [0, inf) into [0, 1).
float3 TonemapAces(float3 aColor)
{
    const float a = 2.51;
    const float b = 0.03;
    const float c = 2.43;
    const float d = 0.59;
    const float e = 0.14;
    return saturate((aColor * (a * aColor + b)) / (aColor * (c * aColor + d) + e));
}

// The passes make the screen's picture, which is opaque whatever alpha the scene left behind:
// a window system that composites by alpha would otherwise show the desktop through it.
float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    const float4 source = SourceTexture.Sample(DefaultSampler, anInput.TexCoord);
    return float4(TonemapAces(source.rgb), 1.0);
}
