#include "../common/FrameConstants.hlsli"
#include "../common/Postprocess.hlsli"

static const float GRAIN_STRENGTH = 0.08;

// A cheap hash giving a value in [0, 1) per pixel and frame.
float Noise(float2 aPixel, float aTime)
{
    const float2 seed = aPixel + frac(aTime * 7.31) * float2(113.1, 71.7);
    return frac(sin(dot(seed, float2(12.9898, 78.233))) * 43758.5453);
}

// The passes make the screen's picture, which is opaque whatever alpha the scene left behind:
// a window system that composites by alpha would otherwise show the desktop through it.
float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    const float4 source = SourceTexture.Sample(DefaultSampler, anInput.TexCoord);
    const float grain = (Noise(floor(anInput.Position.xy), FB_TotalTime) - 0.5) * GRAIN_STRENGTH;
    return float4(saturate(source.rgb + grain), 1.0);
}
