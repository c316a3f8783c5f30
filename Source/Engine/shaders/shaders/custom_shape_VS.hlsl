#include "../common/FrameConstants.hlsli"

struct CustomShapeVertexInput
{
    float3 Position : POSITION;
    float4 Color : TEXCOORD0;
    float2 TexCoord : TEXCOORD1;
};

struct CustomShapePixelInput
{
    float4 Position : SV_POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
};

// The shape's own transform.
cbuffer CustomShapeBuffer : register(b4)
{
    row_major float4x4 SB_ToWorld;
};

CustomShapePixelInput main(CustomShapeVertexInput anInput)
{
    CustomShapePixelInput output;
    output.Position = WorldToClip(mul(float4(anInput.Position, 1.0), SB_ToWorld));
    output.Color = anInput.Color;
    output.TexCoord = anInput.TexCoord;
    return output;
}
