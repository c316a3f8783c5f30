// Samples slot 3 with sampler 1, tinted by the constant in slot 5.
Texture2D colorTexture : register(t3);
SamplerState textureSampler : register(s1);

cbuffer Tint : register(b5)
{
    float4 tint;
};

struct VertexOutput
{
    float4 position : SV_POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD3;
};

float4 main(VertexOutput anInput) : SV_TARGET
{
    return colorTexture.Sample(textureSampler, anInput.uv) * tint;
}
