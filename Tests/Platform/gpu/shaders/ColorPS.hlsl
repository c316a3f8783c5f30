struct VertexOutput
{
    float4 position : SV_POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD3;
};

float4 main(VertexOutput anInput) : SV_TARGET
{
    return anInput.color;
}
