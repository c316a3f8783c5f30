#ifndef GAUSSIAN_HLSLI
#define GAUSSIAN_HLSLI
#include "Postprocess.hlsli"

// Nine taps of a Gaussian with a sigma of about 2 along one axis. The weights sum to 0.983, not
// one: a blurred image comes out slightly darker.
static const float GAUSSIAN_WEIGHTS[5] = { 0.20236, 0.17820, 0.12162, 0.06434, 0.02639 };

float4 GaussianBlur(float2 aTexCoord, float2 aStep)
{
    float4 result = SourceTexture.Sample(DefaultSampler, aTexCoord) * GAUSSIAN_WEIGHTS[0];
    [unroll]
    for (int i = 1; i < 5; ++i)
    {
        result += SourceTexture.Sample(DefaultSampler, aTexCoord + aStep * i) * GAUSSIAN_WEIGHTS[i];
        result += SourceTexture.Sample(DefaultSampler, aTexCoord - aStep * i) * GAUSSIAN_WEIGHTS[i];
    }
    return result;
}

#endif
