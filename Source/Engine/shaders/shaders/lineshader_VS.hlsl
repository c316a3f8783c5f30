#include "../common/FrameConstants.hlsli"

struct LineVertexInput
{
    float3 Position : POSITION;
    float4 Color : TEXCOORD0;
};

struct LinePixelInput
{
    float4 Position : SV_POSITION;
    float4 Color : COLOR0;
};

// Line points are given in world space.
LinePixelInput main(LineVertexInput anInput)
{
    LinePixelInput output;
    output.Position = WorldToClip(float4(anInput.Position, 1.0));
    output.Color = anInput.Color;
    return output;
}
