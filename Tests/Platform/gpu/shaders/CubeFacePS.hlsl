// Reads a cube map in the direction of +X.
TextureCube cubeTexture : register(t0);
SamplerState cubeSampler : register(s0);

struct VertexOutput
{
    float4 position : SV_POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD3;
};

float4 main(VertexOutput anInput) : SV_TARGET
{
    return cubeTexture.Sample(cubeSampler, float3(1.0, 0.0, 0.0));
}
