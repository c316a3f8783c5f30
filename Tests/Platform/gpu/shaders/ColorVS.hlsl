// Positions in clip space moved by a per-instance offset and a constant; colour passed through.
cbuffer Offset : register(b2)
{
    float4 constantOffset;
};

struct VertexInput
{
    float3 position : POSITION;
    float4 color : COLOR0;
    float2 instanceOffset : TEXCOORD1;
};

struct VertexOutput
{
    float4 position : SV_POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD3;
};

VertexOutput main(VertexInput anInput)
{
    VertexOutput output;
    output.position = float4(anInput.position.xy + anInput.instanceOffset + constantOffset.xy, anInput.position.z, 1.0);
    output.color = anInput.color;
    output.uv = float2(anInput.position.x * 0.5 + 0.5, 0.5 - anInput.position.y * 0.5);
    return output;
}
