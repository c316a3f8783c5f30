struct CustomShapePixelInput
{
    float4 Position : SV_POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
};

Texture2D ShapeTexture : register(t1);
SamplerState DefaultSampler : register(s0);

float4 main(CustomShapePixelInput anInput) : SV_TARGET
{
    return ShapeTexture.Sample(DefaultSampler, anInput.TexCoord) * anInput.Color;
}
