#ifndef POSTPROCESS_HLSLI
#define POSTPROCESS_HLSLI

struct PostprocessPixelInput
{
    float4 Position : SV_POSITION;
    // (0, 0) at the target's top-left corner, (1, 1) at its bottom right.
    float2 TexCoord : TEXCOORD0;
};

// What the pass reads: the previous target, bound by the caller at slot 1.
Texture2D SourceTexture : register(t1);
SamplerState DefaultSampler : register(s0);

float3 SampleSource(float2 aTexCoord)
{
    return SourceTexture.Sample(DefaultSampler, aTexCoord).rgb;
}

// One pixel of the target in texture coordinates; the passes read sources of the target's size.
float2 TargetTexelSize(float2 aTexCoord)
{
    return float2(abs(ddx(aTexCoord.x)), abs(ddy(aTexCoord.y)));
}

#endif
