#include "../common/Postprocess.hlsli"

cbuffer PixelateBuffer : register(b13)
{
    float PB_PixelSize;
    uint PB_RenderWidth;
    uint PB_RenderHeight;
    uint PB_Padding;
};

// The pass's own copy of the scene, of the render size.
Texture2D PixelateSource : register(t0);

float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    const float pixelSize = max(PB_PixelSize, 1.0);
    const float2 renderSize = float2(max(PB_RenderWidth, 1u), max(PB_RenderHeight, 1u));
    // Every pixel of a block shows the texel at the block's centre.
    const float2 blockCentre = (floor(anInput.TexCoord * renderSize / pixelSize) + 0.5) * pixelSize;
    const float2 texel = min(floor(blockCentre), renderSize - 1.0);
    return PixelateSource.SampleLevel(DefaultSampler, (texel + 0.5) / renderSize, 0.0);
}
